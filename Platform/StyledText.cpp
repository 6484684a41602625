#include "StyledText.h"

#include "RtfWriter.h"
#include "RtfdPackageWriter.h"
#include "TextDocumentConverter.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QLocale>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextDocument>

namespace {

bool isParagraphSeparator(QChar c)
{
    return c == u'\n' || c == u'\r' || c == QChar::ParagraphSeparator;
}

bool fail(QString* errorString, const QString& message)
{
    if (errorString)
        *errorString = message;
    return false;
}

bool commit(QSaveFile& file, QString* errorString)
{
    if (!file.commit())
        return fail(errorString, QStringLiteral("Cannot write %1: %2").arg(file.fileName(), file.errorString()));
    return true;
}

bool writeAtomically(const QString& path, const QByteArray& bytes, QString* errorString)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(errorString, QStringLiteral("Cannot write %1: %2").arg(path, file.errorString()));
    file.write(bytes);
    return commit(file, errorString);
}

QPageSize pageSizeFor(const QLocale& locale)
{
    const bool letter = locale.measurementSystem() == QLocale::ImperialUSSystem
        || locale.territory() == QLocale::Canada;
    return QPageSize(letter ? QPageSize::Letter : QPageSize::A4);
}

} // namespace

StyledText::StyledText(const QString& text, const TextAttributes& attributes)
{
    append(text, attributes);
}

StyledText StyledText::attachmentForImagePath(const QString& path)
{
    const std::optional<TextAttachment> attachment = TextAttachment::fromImageFile(path);
    if (!attachment)
        return {};
    return StyledText(QString(QChar::ObjectReplacementCharacter),
                      TextAttributes{std::nullopt, ParagraphStyle{ParagraphStyle::Centered}, attachment});
}

QFont StyledText::defaultFont()
{
    // The general font is often a generic alias ("Sans Serif"); files need the real family.
    QFont font(qGuiApp ? QFontInfo(QFontDatabase::systemFont(QFontDatabase::GeneralFont)).family()
                       : QStringLiteral("Helvetica"));
    font.setPointSizeF(12);
    return font;
}

qsizetype StyledText::length() const
{
    return _text.size();
}

bool StyledText::isEmpty() const
{
    return _text.isEmpty();
}

const QString& StyledText::string() const
{
    return _text;
}

const QList<StyledText::Run>& StyledText::runs() const
{
    return _runs;
}

TextAttributes StyledText::attributesAt(qsizetype index) const
{
    qsizetype start = 0;
    for (const Run& run : _runs) {
        if (index >= start && index < start + run.length)
            return run.attributes;
        start += run.length;
    }
    return {};
}

StyledText::Range StyledText::fullRange() const
{
    return {0, length()};
}

StyledText::Range StyledText::paragraphRange(qsizetype index) const
{
    index = std::clamp<qsizetype>(index, 0, length());
    const qsizetype start = paragraphStart(index);
    return {start, paragraphEnd(index) - start};
}

QList<StyledText::Paragraph> StyledText::paragraphs() const
{
    QList<Paragraph> result;
    qsizetype runIndex = 0;
    qsizetype runStart = 0;
    ParagraphStyle previousStyle;
    const auto addParagraph = [&](qsizetype start, qsizetype end) {
        Paragraph paragraph{{start, end - start}, 0, previousStyle, {}};
        paragraph.separatorLength = separatorLength(paragraph.range);
        // Runs that end inside this paragraph are done with after it; the last may go on.
        for (; runIndex < _runs.size() && runStart < end; runStart += _runs.at(runIndex++).length) {
            const Run& run = _runs.at(runIndex);
            const qsizetype runEnd = runStart + run.length;
            paragraph.runs.append({std::min(runEnd, end) - std::max(runStart, start), run.attributes});
            if (runEnd > end)
                break;
        }
        if (!paragraph.runs.isEmpty()) {
            paragraph.style = paragraph.runs.front().attributes.paragraphStyle.value_or(ParagraphStyle{});
            previousStyle = paragraph.runs.back().attributes.paragraphStyle.value_or(ParagraphStyle{});
        }
        result.append(paragraph);
    };
    qsizetype start = 0;
    while (start < length()) {
        const qsizetype end = paragraphEnd(start);
        addParagraph(start, end);
        start = end;
    }
    if (isEmpty() || isParagraphSeparator(_text.back()))
        addParagraph(length(), length());
    return result;
}

qsizetype StyledText::separatorLength(const Range& paragraph) const
{
    if (paragraph.length == 0 || !isParagraphSeparator(_text.at(paragraph.end() - 1)))
        return 0;
    const bool crlf = paragraph.length >= 2 && _text.at(paragraph.end() - 1) == u'\n'
        && _text.at(paragraph.end() - 2) == u'\r';
    return crlf ? 2 : 1;
}

ParagraphStyle StyledText::paragraphStyleAt(qsizetype index) const
{
    const Range paragraph = paragraphRange(index);
    const qsizetype governing = paragraph.length > 0 ? paragraph.location : paragraph.location - 1;
    if (governing < 0)
        return {};
    return attributesAt(governing).paragraphStyle.value_or(ParagraphStyle{});
}

void StyledText::append(const QString& text, const TextAttributes& attributes)
{
    if (text.isEmpty())
        return;
    _text += text;
    if (!_runs.isEmpty() && _runs.back().attributes == attributes)
        _runs.back().length += text.size();
    else
        _runs.append({text.size(), attributes});
}

void StyledText::append(const StyledText& other)
{
    for (const Run& run : other._runs) {
        if (!_runs.isEmpty() && _runs.back().attributes == run.attributes)
            _runs.back().length += run.length;
        else
            _runs.append(run);
    }
    _text += other._text;
}

void StyledText::insert(qsizetype index, const StyledText& other)
{
    if (index < 0 || index > length() || other.isEmpty())
        return;
    const qsizetype at = splitRunAt(index);
    QList<Run> runs = _runs.first(at);
    runs += other._runs;
    runs += _runs.sliced(at);
    _runs = std::move(runs);
    _text.insert(index, other._text);
    normalizeRuns();
}

void StyledText::setFont(const QFont& font, Range range)
{
    changeAttributes(clamped(range), [&font](TextAttributes& attributes) { attributes.font = font; });
}

void StyledText::setParagraphStyle(const ParagraphStyle& style, Range range)
{
    range = clamped(range);
    const qsizetype last = range.length > 0 ? range.end() - 1 : range.location;
    const qsizetype start = paragraphStart(range.location);
    const qsizetype end = last < length() ? paragraphEnd(last) : length();
    changeAttributes({start, end - start}, [&style](TextAttributes& attributes) { attributes.paragraphStyle = style; });
}

void StyledText::replaceCharacter(QChar before, QChar after)
{
    _text.replace(before, after);
}

StyledText StyledText::mid(qsizetype position, qsizetype count) const
{
    const Range range = clamped({position, count < 0 ? length() - position : count});
    StyledText result;
    qsizetype start = 0;
    for (const Run& run : _runs) {
        const qsizetype from = std::max(start, range.location);
        const qsizetype to = std::min(start + run.length, range.end());
        if (from < to)
            result.append(_text.mid(from, to - from), run.attributes);
        start += run.length;
    }
    return result;
}

std::optional<StyledText::Range> StyledText::find(const QString& text) const
{
    if (text.isEmpty())
        return std::nullopt;
    const qsizetype index = _text.indexOf(text);
    if (index < 0)
        return std::nullopt;
    return Range{index, text.size()};
}

bool StyledText::containsAttachment() const
{
    return !attachments().isEmpty();
}

QList<TextAttachment> StyledText::attachments() const
{
    QList<TextAttachment> result;
    qsizetype start = 0;
    for (const Run& run : _runs) {
        if (run.attributes.attachment) {
            for (qsizetype i = start; i < start + run.length; ++i) {
                if (_text.at(i) == QChar::ObjectReplacementCharacter)
                    result.append(*run.attributes.attachment);
            }
        }
        start += run.length;
    }
    return result;
}

std::unique_ptr<QTextDocument> StyledText::toTextDocument() const
{
    return TextDocumentConverter::toDocument(*this);
}

StyledText StyledText::fromTextDocument(const QTextDocument& document)
{
    return TextDocumentConverter::fromDocument(document);
}

QByteArray StyledText::toRtf() const
{
    return RtfWriter(*this).rtf();
}

bool StyledText::writeRtf(const QString& path, QString* errorString) const
{
    return writeAtomically(path, toRtf(), errorString);
}

bool StyledText::writeRtfd(const QString& folderPath, QString* errorString) const
{
    RtfdPackageWriter writer(*this);
    if (writer.write(folderPath))
        return true;
    return fail(errorString, writer.errorString());
}

bool StyledText::writePlainText(const QString& path, QString* errorString) const
{
    return writeAtomically(path, _text.toUtf8(), errorString);
}

bool StyledText::writePdf(const QString& path, QString* errorString) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(errorString, QStringLiteral("Cannot write %1: %2").arg(path, file.errorString()));
    {
        QPdfWriter writer(&file);
        writer.setPageSize(pageSizeFor(QLocale()));
        writer.setPageMargins(QMarginsF(54, 54, 54, 54), QPageLayout::Point);
        // The page is laid out as on screen, one page the size of the printable area, and
        // scaled to the writer: a layout made for the writer itself would leave paragraph
        // margins unscaled and so lose the hanging indent.
        const std::unique_ptr<QTextDocument> document = toTextDocument();
        document->setDocumentMargin(0);
        document->setPageSize(writer.pageLayout().paintRect(QPageLayout::Point).size()
                              * TextDocumentConverter::pixelsPerPoint());
        document->print(&writer);
    }
    if (file.size() == 0) {
        file.cancelWriting();
        return fail(errorString, QStringLiteral("Cannot write %1: the PDF could not be drawn").arg(path));
    }
    return commit(file, errorString);
}

StyledText::Range StyledText::clamped(Range range) const
{
    const qsizetype start = std::clamp<qsizetype>(range.location, 0, length());
    const qsizetype end = std::clamp<qsizetype>(range.location + std::max<qsizetype>(range.length, 0), start, length());
    return {start, end - start};
}

bool StyledText::isParagraphBoundary(qsizetype index) const
{
    if (index <= 0)
        return true;
    const bool insideCrLf = _text.at(index - 1) == u'\r' && index < length() && _text.at(index) == u'\n';
    return isParagraphSeparator(_text.at(index - 1)) && !insideCrLf;
}

qsizetype StyledText::paragraphStart(qsizetype index) const
{
    while (!isParagraphBoundary(index))
        --index;
    return index;
}

qsizetype StyledText::paragraphEnd(qsizetype index) const
{
    for (qsizetype i = index; i < length(); ++i) {
        if (isParagraphSeparator(_text.at(i)))
            return (_text.at(i) == u'\r' && i + 1 < length() && _text.at(i + 1) == u'\n') ? i + 2 : i + 1;
    }
    return length();
}

qsizetype StyledText::splitRunAt(qsizetype index)
{
    qsizetype start = 0;
    for (qsizetype i = 0; i < _runs.size(); ++i) {
        if (start == index)
            return i;
        const qsizetype runLength = _runs.at(i).length;
        if (index < start + runLength) {
            Run tail = _runs.at(i);
            tail.length = start + runLength - index;
            _runs[i].length = index - start;
            _runs.insert(i + 1, tail);
            return i + 1;
        }
        start += runLength;
    }
    return _runs.size();
}

template<typename Change>
void StyledText::changeAttributes(Range range, Change change)
{
    if (range.length <= 0)
        return;
    const qsizetype first = splitRunAt(range.location);
    const qsizetype last = splitRunAt(range.end());
    for (qsizetype i = first; i < last; ++i)
        change(_runs[i].attributes);
    normalizeRuns();
}

void StyledText::normalizeRuns()
{
    QList<Run> runs;
    runs.reserve(_runs.size());
    for (const Run& run : std::as_const(_runs)) {
        if (run.length <= 0)
            continue;
        if (!runs.isEmpty() && runs.back().attributes == run.attributes)
            runs.back().length += run.length;
        else
            runs.append(run);
    }
    _runs = std::move(runs);
}
