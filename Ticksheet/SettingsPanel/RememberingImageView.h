#pragma once

#include <QFrame>
#include <QPixmap>
#include <QString>

class QMimeData;

// The logo well: shows an image scaled to fit and accepts one dropped image file, whose path it
// remembers before announcing the drop through imageDropped.
class RememberingImageView : public QFrame
{
    Q_OBJECT
    Q_PROPERTY(bool hasImage READ hasImage)

public:
    explicit RememberingImageView(QWidget* parent = nullptr);

    // The path of the last image file dropped here; empty until one is.
    QString pathToImage() const;

    // Shows the image of the file; nothing for "" or a file that holds no readable image.
    void showImageAtPath(const QString& path);
    bool hasImage() const;

signals:
    void imageDropped();

protected:
    void paintEvent(QPaintEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // The one local image file the drag carries; empty for several files or anything else.
    static QString droppedImagePath(const QMimeData* data);

    QString _pathToImage;
    QPixmap _image;
};
