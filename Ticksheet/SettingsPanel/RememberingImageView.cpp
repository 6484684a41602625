#include "RememberingImageView.h"

#include <QDropEvent>
#include <QImageReader>
#include <QMimeData>
#include <QPainter>

RememberingImageView::RememberingImageView(QWidget* parent)
    : QFrame(parent)
{
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setAcceptDrops(true);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

QString RememberingImageView::pathToImage() const
{
    return _pathToImage;
}

void RememberingImageView::showImageAtPath(const QString& path)
{
    _image = QPixmap();
    if (!path.isEmpty()) {
        QImageReader reader(path);
        reader.setAutoTransform(true);
        _image = QPixmap::fromImageReader(&reader);
    }
    update();
}

bool RememberingImageView::hasImage() const
{
    return !_image.isNull();
}

void RememberingImageView::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    if (_image.isNull())
        return;
    const QRect area = contentsRect().adjusted(4, 4, -4, -4);
    QSize size = _image.size();
    if (size.width() > area.width() || size.height() > area.height())
        size.scale(area.size(), Qt::KeepAspectRatio);
    QRect target(QPoint(), size);
    target.moveCenter(area.center());
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(target, _image);
}

QString RememberingImageView::droppedImagePath(const QMimeData* data)
{
    if (!data || !data->hasUrls())
        return {};
    const QList<QUrl> urls = data->urls();
    // Several files give no single logo; remembering one of them would store the wrong path.
    if (urls.size() != 1 || !urls.first().isLocalFile())
        return {};
    const QString path = urls.first().toLocalFile();
    return QImageReader(path).canRead() ? path : QString();
}

void RememberingImageView::dragEnterEvent(QDragEnterEvent* event)
{
    if (droppedImagePath(event->mimeData()).isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
}

void RememberingImageView::dragMoveEvent(QDragMoveEvent* event)
{
    if (droppedImagePath(event->mimeData()).isEmpty())
        event->ignore();
    else
        event->acceptProposedAction();
}

void RememberingImageView::dropEvent(QDropEvent* event)
{
    const QString path = droppedImagePath(event->mimeData());
    if (path.isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    _pathToImage = path;
    showImageAtPath(path);
    emit imageDropped();
}
