#include "RtfWriter.h"

#include "StyledText.h"

#include <QBuffer>

namespace {

int twips(qreal points)
{
    return qRound(points * 20);
}

int halfPoints(const QFont& font)
{
    return font.pointSizeF() > 0 ? qRound(font.pointSizeF() * 2) : 24;
}

} // namespace

RtfWriter::RtfWriter(const StyledText& text)
    : _text(text)
{
}

void RtfWriter::setPackageFileNames(const QStringList& names)
{
    _packageFileNames = names;
    _inPackage = true;
}

QByteArray RtfWriter::rtf()
{
    writeHeader();
    for (const StyledText::Paragraph& paragraph : _text.paragraphs()) {
        if (paragraph.range.length == 0)
            continue; // the empty end of the text after a final separator
        writeParagraphStyle(paragraph.style);
        writeParagraph(paragraph);
    }
    symbol("}");
    return _out;
}

void RtfWriter::writeHeader()
{
    const QFont defaultFont = StyledText::defaultFont();
    qsizetype runStart = 0;
    for (const StyledText::Run& run : _text.runs()) {
        const QString family = run.attributes.font.value_or(defaultFont).family();
        if (hasCharacters(run, runStart) && !_fontFamilies.contains(family))
            _fontFamilies.append(family);
        runStart += run.length;
    }
    if (_fontFamilies.isEmpty())
        _fontFamilies.append(defaultFont.family());

    symbol("{");
    word("\\rtf1");
    word("\\ansi");
    word("\\ansicpg1252");
    word("\\deff0");
    word("\\deftab", twips(ParagraphStyle::defaultTabInterval));
    symbol("\n{");
    word("\\fonttbl");
    for (qsizetype i = 0; i < _fontFamilies.size(); ++i) {
        symbol("{");
        word("\\f", int(i));
        word("\\fnil");
        word("\\fcharset0");
        text(_fontFamilies.at(i));
        symbol(";}");
    }
    symbol("}\n");
}

bool RtfWriter::hasCharacters(const StyledText::Run& run, qsizetype start) const
{
    const QStringView characters = QStringView(_text.string()).sliced(start, run.length);
    return std::any_of(characters.begin(), characters.end(),
                       [](QChar c) { return c != QChar::ObjectReplacementCharacter; });
}

void RtfWriter::writeParagraph(const StyledText::Paragraph& paragraph)
{
    const QString& characters = _text.string();
    const QFont defaultFont = StyledText::defaultFont();
    const qsizetype contentEnd = paragraph.range.end() - paragraph.separatorLength;
    qsizetype position = paragraph.range.location;
    for (const StyledText::Run& run : paragraph.runs) {
        bool formatWritten = false;
        for (qsizetype i = position; i < std::min(position + run.length, contentEnd); ++i) {
            if (characters.at(i) == QChar::ObjectReplacementCharacter) {
                if (run.attributes.attachment)
                    writeAttachment(*run.attributes.attachment);
                continue;
            }
            if (!formatWritten)
                writeCharacterFormat(run.attributes.font.value_or(defaultFont));
            formatWritten = true;
            writeCharacter(characters.at(i));
        }
        position += run.length;
    }
    if (paragraph.separatorLength > 0) {
        // The paragraph mark carries a font too; it sets the height of an empty line.
        writeCharacterFormat(paragraph.runs.back().attributes.font.value_or(defaultFont));
        word("\\par");
        symbol("\n");
    }
}

void RtfWriter::writeParagraphStyle(const ParagraphStyle& style)
{
    word("\\pard");
    switch (style.alignment) {
    case ParagraphStyle::Left: word("\\ql"); break;
    case ParagraphStyle::Right: word("\\qr"); break;
    case ParagraphStyle::Centered: word("\\qc"); break;
    }
    if (style.headIndent > 0) {
        word("\\li", twips(style.headIndent));
        word("\\fi", -twips(style.headIndent));
    }
    for (qreal stop : style.tabStops)
        word("\\tx", twips(stop));
}

void RtfWriter::writeCharacterFormat(const QFont& font)
{
    const int fontIndex = int(_fontFamilies.indexOf(font.family()));
    if (fontIndex != _font)
        word("\\f", _font = fontIndex);
    if (halfPoints(font) != _halfPoints)
        word("\\fs", _halfPoints = halfPoints(font));
    if (font.bold() != _bold)
        word((_bold = font.bold()) ? "\\b" : "\\b0");
    if (font.italic() != _italic)
        word((_italic = font.italic()) ? "\\i" : "\\i0");
}

void RtfWriter::writeCharacter(QChar c)
{
    if (c == u'\t')
        word("\\tab");
    else if (c == QChar::LineSeparator)
        word("\\line");
    else if (c.unicode() >= 0x20)
        text(QStringView(&c, 1));
    // Other control characters have no meaning in a document and are left out.
}

void RtfWriter::writeAttachment(const TextAttachment& attachment)
{
    if (_inPackage)
        writePackageReference(attachment);
    else
        writePicture(attachment);
    ++_attachmentNumber;
}

void RtfWriter::writePicture(const TextAttachment& attachment)
{
    QByteArray data = attachment.fileData();
    QByteArray blip = "\\pngblip";
    if (attachment.imageFormat() == "jpeg" || attachment.imageFormat() == "jpg") {
        blip = "\\jpegblip";
    } else if (attachment.imageFormat() != "png") {
        // Word processors read PNG and JPEG pictures only.
        data.clear();
        QBuffer buffer(&data);
        buffer.open(QIODevice::WriteOnly);
        attachment.image().save(&buffer, "PNG");
    }
    const QSizeF size = attachment.sizeInPoints();
    symbol("{");
    word("\\pict");
    word(blip);
    word("\\picw", attachment.image().width());
    word("\\pich", attachment.image().height());
    word("\\picwgoal", twips(size.width()));
    word("\\pichgoal", twips(size.height()));
    const QByteArray hex = data.toHex();
    for (qsizetype i = 0; i < hex.size(); i += 128)
        symbol("\n" + hex.mid(i, 128));
    symbol("}");
}

void RtfWriter::writePackageReference(const TextAttachment& attachment)
{
    const QSizeF size = attachment.sizeInPoints();
    symbol("{{\\*");
    word("\\NeXTGraphic");
    text(_packageFileNames.value(_attachmentNumber, attachment.fileName()));
    symbol(" ");
    word("\\width", twips(size.width()));
    symbol(" ");
    word("\\height", twips(size.height()));
    symbol("}\\'ac}");
}

void RtfWriter::word(const QByteArray& controlWord)
{
    _out += controlWord;
    _needsDelimiter = true;
}

void RtfWriter::word(const char* controlWord, int value)
{
    word(controlWord + QByteArray::number(value));
}

void RtfWriter::symbol(const QByteArray& bytes)
{
    _out += bytes;
    _needsDelimiter = false;
}

void RtfWriter::text(QStringView characters)
{
    for (QChar c : characters) {
        const char16_t unit = c.unicode();
        if (unit == u'\\' || unit == u'{' || unit == u'}') {
            symbol(QByteArray("\\") + char(unit));
        } else if (unit >= 0x7F) {
            // Signed 16-bit, as readers expect; characters beyond the BMP go as their two
            // surrogates. The "?" is what readers without Unicode show.
            symbol("\\u" + QByteArray::number(qint16(unit)) + '?');
        } else {
            if (_needsDelimiter)
                _out += ' ';
            _out += char(unit);
            _needsDelimiter = false;
        }
    }
}
