#include "TextDocumentConverter.h"

#include "StyledText.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>
#include <QVariant>

// The resolution Qt's text layout measures document pixels in.
Q_GUI_EXPORT int qt_defaultDpiY();

namespace {

// The attached file's path travels with the image in the document.
constexpr int attachmentPathProperty = QTextFormat::UserProperty + 1;

QTextCharFormat characterFormat(const TextAttributes& attributes)
{
    QTextCharFormat format;
    if (attributes.font)
        format.setFont(*attributes.font);
    return format;
}

QTextImageFormat imageFormat(QTextDocument& document, const TextAttachment& attachment, int number)
{
    const QUrl name(QStringLiteral("attachment:%1/%2").arg(number).arg(attachment.fileName()));
    document.addResource(QTextDocument::ImageResource, name, attachment.image());
    const QSizeF size = attachment.sizeInPoints() * TextDocumentConverter::pixelsPerPoint();
    QTextImageFormat format;
    format.setName(name.toString());
    format.setWidth(size.width());
    format.setHeight(size.height());
    format.setProperty(attachmentPathProperty, attachment.filePath());
    return format;
}

QImage documentImage(const QTextDocument& document, const QTextImageFormat& format)
{
    const QVariant resource = document.resource(QTextDocument::ImageResource, QUrl(format.name()));
    if (resource.canConvert<QImage>())
        return resource.value<QImage>();
    return {};
}

} // namespace

std::unique_ptr<QTextDocument> TextDocumentConverter::toDocument(const StyledText& text)
{
    auto document = std::make_unique<QTextDocument>();
    document->setDefaultFont(StyledText::defaultFont());
    QTextOption option = document->defaultTextOption();
    option.setTabStopDistance(ParagraphStyle::defaultTabInterval * pixelsPerPoint());
    document->setDefaultTextOption(option);

    QTextCursor cursor(document.get());
    int imageNumber = 0;
    std::optional<TextAttributes> previousSeparator;
    for (const StyledText::Paragraph& paragraph : text.paragraphs()) {
        // A block's own character format is that of the separator before it, which sets the
        // height of an empty line.
        if (previousSeparator) {
            cursor.insertBlock(blockFormat(paragraph.style), characterFormat(*previousSeparator));
        } else {
            cursor.setBlockFormat(blockFormat(paragraph.style));
            if (!paragraph.runs.isEmpty())
                cursor.setBlockCharFormat(characterFormat(paragraph.runs.front().attributes));
        }
        insertContent(cursor, text.string(), paragraph, imageNumber);
        previousSeparator = paragraph.runs.isEmpty() ? TextAttributes() : paragraph.runs.back().attributes;
    }
    document->setModified(false);
    return document;
}

void TextDocumentConverter::insertContent(QTextCursor& cursor, const QString& characters,
                                          const StyledText::Paragraph& paragraph, int& imageNumber)
{
    const qsizetype contentEnd = paragraph.range.end() - paragraph.separatorLength;
    qsizetype position = paragraph.range.location;
    for (const StyledText::Run& run : paragraph.runs) {
        const QTextCharFormat format = characterFormat(run.attributes);
        QString pending;
        for (qsizetype i = position; i < std::min(position + run.length, contentEnd); ++i) {
            if (characters.at(i) != QChar::ObjectReplacementCharacter) {
                pending += characters.at(i);
                continue;
            }
            cursor.insertText(pending, format);
            pending.clear();
            if (run.attributes.attachment) {
                QTextImageFormat image = imageFormat(*cursor.document(), *run.attributes.attachment, ++imageNumber);
                image.merge(format);
                cursor.insertImage(image);
            }
        }
        cursor.insertText(pending, format);
        position += run.length;
    }
}

StyledText TextDocumentConverter::fromDocument(const QTextDocument& document)
{
    StyledText text;
    ParagraphStyle previousStyle;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const ParagraphStyle style = paragraphStyle(block.blockFormat());
        if (block != document.begin())
            text.append(QStringLiteral("\n"),
                        TextAttributes{block.charFormat().font().resolve(document.defaultFont()), previousStyle});
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
            const QTextCharFormat format = fragment.fragment().charFormat();
            TextAttributes attributes{format.font().resolve(document.defaultFont()), style};
            const QString characters = fragment.fragment().text();
            if (format.isImageFormat()) {
                const QTextImageFormat image = format.toImageFormat();
                QString path = image.property(attachmentPathProperty).toString();
                if (path.isEmpty())
                    path = QUrl(image.name()).toLocalFile();
                const std::optional<TextAttachment> fromFile = TextAttachment::fromImageFile(path);
                attributes.attachment = fromFile ? *fromFile : TextAttachment::fromImage(path, documentImage(document, image));
            }
            text.append(characters, attributes);
        }
        previousStyle = style;
    }
    return text;
}

qreal TextDocumentConverter::pixelsPerPoint()
{
    return qt_defaultDpiY() / 72.0;
}

QTextBlockFormat TextDocumentConverter::blockFormat(const ParagraphStyle& style)
{
    QTextBlockFormat format;
    switch (style.alignment) {
    case ParagraphStyle::Left: format.setAlignment(Qt::AlignLeft); break;
    case ParagraphStyle::Right: format.setAlignment(Qt::AlignRight); break;
    case ParagraphStyle::Centered: format.setAlignment(Qt::AlignHCenter); break;
    }
    QList<QTextOption::Tab> tabs;
    for (qreal stop : style.tabStops)
        tabs.append(QTextOption::Tab(stop * pixelsPerPoint(), QTextOption::LeftTab));
    format.setTabPositions(tabs);
    // A hanging indent: the margin holds every line at the head indent, the first line is
    // pulled back to the margin.
    format.setLeftMargin(style.headIndent * pixelsPerPoint());
    format.setTextIndent(-style.headIndent * pixelsPerPoint());
    return format;
}

ParagraphStyle TextDocumentConverter::paragraphStyle(const QTextBlockFormat& format)
{
    const auto points = [](qreal pixels) { return qRound(pixels / pixelsPerPoint() * 100) / 100.0; };
    ParagraphStyle style;
    if (format.alignment() & Qt::AlignRight)
        style.alignment = ParagraphStyle::Right;
    else if (format.alignment() & Qt::AlignHCenter)
        style.alignment = ParagraphStyle::Centered;
    for (const QTextOption::Tab& tab : format.tabPositions())
        style.tabStops.append(points(tab.position));
    style.headIndent = points(format.leftMargin());
    return style;
}
