#pragma once

#include "PlatformExport.h"

#include <QByteArray>
#include <QImage>
#include <QSizeF>
#include <QString>

#include <optional>

// An image file attached to styled text: its path, the file's bytes as read when attached (so
// that saving does not depend on the file still being there) and the decoded image.
class PLATFORM_EXPORT TextAttachment
{
public:
    TextAttachment() = default;
    TextAttachment(const QString& filePath, const QByteArray& fileData, const QByteArray& imageFormat,
                   const QImage& image);

    // None when the file cannot be read, is unreasonably large or holds no image we can decode.
    static std::optional<TextAttachment> fromImageFile(const QString& path);
    // For an image that has no file of its own, e.g. one pasted into a text view: kept as PNG.
    static TextAttachment fromImage(const QString& filePath, const QImage& image);

    QString filePath() const;
    QString fileName() const;
    QByteArray fileData() const;
    // Lower-case format name as the image reader reported it: "png", "jpeg", "gif", ...
    QByteArray imageFormat() const;
    QImage image() const;
    // The image's size at its own resolution (72 dpi when it states none).
    QSizeF sizeInPoints() const;

    bool operator==(const TextAttachment& other) const;

    static constexpr qint64 maximumFileSize = 64LL * 1024 * 1024;

private:
    QString _filePath;
    QByteArray _fileData;
    QByteArray _imageFormat;
    QImage _image;
};
