#include "TextAttachment.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

TextAttachment::TextAttachment(const QString& filePath, const QByteArray& fileData, const QByteArray& imageFormat,
                               const QImage& image)
    : _filePath(filePath)
    , _fileData(fileData)
    , _imageFormat(imageFormat.toLower())
    , _image(image)
{
}

std::optional<TextAttachment> TextAttachment::fromImageFile(const QString& path)
{
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly) || file.size() > maximumFileSize)
        return std::nullopt;
    QByteArray data = file.readAll();
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QImage image = reader.read();
    if (image.isNull())
        return std::nullopt;
    return TextAttachment(path, data, reader.format(), image);
}

TextAttachment TextAttachment::fromImage(const QString& filePath, const QImage& image)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return TextAttachment(filePath, data, "png", image);
}

QString TextAttachment::filePath() const
{
    return _filePath;
}

QString TextAttachment::fileName() const
{
    return QFileInfo(_filePath).fileName();
}

QByteArray TextAttachment::fileData() const
{
    return _fileData;
}

QByteArray TextAttachment::imageFormat() const
{
    return _imageFormat;
}

QImage TextAttachment::image() const
{
    return _image;
}

QSizeF TextAttachment::sizeInPoints() const
{
    constexpr qreal metersPerInch = 0.0254;
    // Files store their resolution in whole dots per meter, so 72 dpi comes back a hair off;
    // hundredths of a point are finer than any output needs.
    const auto points = [](int pixels, int dotsPerMeter) {
        const qreal exact = dotsPerMeter > 0 ? pixels * 72.0 / (dotsPerMeter * metersPerInch) : qreal(pixels);
        return qRound(exact * 100) / 100.0;
    };
    return QSizeF(points(_image.width(), _image.dotsPerMeterX()), points(_image.height(), _image.dotsPerMeterY()));
}

bool TextAttachment::operator==(const TextAttachment& other) const
{
    // The bytes decide the image, so two readings of one file are the same attachment.
    return _filePath == other._filePath && _imageFormat == other._imageFormat && _fileData == other._fileData;
}
