#pragma once

#include "PlatformExport.h"
#include "TextAttributes.h"

#include <QList>
#include <QString>

#include <memory>
#include <optional>

class QTextDocument;

// Attributed text: characters plus runs of attributes (font, paragraph style, image attachment).
// Invoices and reports are built as styled text, shown through a QTextDocument and saved as RTF,
// RTFD, plain text or PDF.
//
// Paragraphs end at "\n", "\r", "\r\n" or U+2029; the separator belongs to the paragraph it ends.
// The paragraph style is kept per character like any attribute, but a paragraph is laid out with
// the style of its first character (an empty last paragraph with that of the character before
// it). Setting a paragraph style over a range therefore sets it on every paragraph the range
// touches, whole, as a word processor does.
//
// Indexes and ranges outside the text are clamped to it; an insert outside it does nothing.
class PLATFORM_EXPORT StyledText
{
public:
    struct Range
    {
        qsizetype location = 0;
        qsizetype length = 0;

        qsizetype end() const { return location + length; }
        bool operator==(const Range& other) const = default;
    };

    struct Run
    {
        qsizetype length = 0;
        TextAttributes attributes;

        bool operator==(const Run& other) const = default;
    };

    struct Paragraph
    {
        Range range; // separator included
        qsizetype separatorLength = 0; // 0 for a last paragraph without one
        ParagraphStyle style; // the style it is laid out with
        QList<Run> runs; // its own runs, cut at its ends
    };

    StyledText() = default;
    explicit StyledText(const QString& text, const TextAttributes& attributes = {});

    // One object-replacement character holding the image at path, in a centred paragraph; empty
    // when no image can be made from the file.
    static StyledText attachmentForImagePath(const QString& path);
    // The font of characters that carry none: the system's general font family at 12 points.
    static QFont defaultFont();

    qsizetype length() const;
    bool isEmpty() const;
    // The plain characters; each attachment is one U+FFFC.
    const QString& string() const;
    // Adjacent runs always differ, and no run is empty.
    const QList<Run>& runs() const;
    TextAttributes attributesAt(qsizetype index) const;
    Range fullRange() const;

    // The paragraph holding index, its separator included.
    Range paragraphRange(qsizetype index) const;
    // Every paragraph in order, in one pass over the text; the text's end counts as one more,
    // empty paragraph when the text is empty or ends with a separator.
    QList<Paragraph> paragraphs() const;
    // The style the paragraph holding index is laid out with.
    ParagraphStyle paragraphStyleAt(qsizetype index) const;

    void append(const QString& text, const TextAttributes& attributes = {});
    void append(const StyledText& other);
    void insert(qsizetype index, const StyledText& other);
    void setFont(const QFont& font, Range range);
    void setParagraphStyle(const ParagraphStyle& style, Range range);
    // Replaces one character by another everywhere; lengths and attributes stay as they were.
    void replaceCharacter(QChar before, QChar after);
    StyledText mid(qsizetype position, qsizetype length = -1) const;

    // The first occurrence, matched exactly; none for an empty string.
    std::optional<Range> find(const QString& text) const;
    bool containsAttachment() const;
    // One entry per attachment character, in text order.
    QList<TextAttachment> attachments() const;

    // A new document for display, printing and PDF; the caller owns it.
    std::unique_ptr<QTextDocument> toTextDocument() const;
    static StyledText fromTextDocument(const QTextDocument& document);

    // RTF with attachments embedded as pictures.
    QByteArray toRtf() const;

    // Every writer replaces the file atomically and leaves an existing file untouched on failure.
    bool writeRtf(const QString& path, QString* errorString = nullptr) const;
    // A package folder holding "TXT.rtf" and a copy of every attached file.
    bool writeRtfd(const QString& folderPath, QString* errorString = nullptr) const;
    // The plain characters in UTF-8.
    bool writePlainText(const QString& path, QString* errorString = nullptr) const;
    // A4 or Letter depending on the locale.
    bool writePdf(const QString& path, QString* errorString = nullptr) const;

    bool operator==(const StyledText& other) const = default;

private:
    Range clamped(Range range) const;
    qsizetype paragraphStart(qsizetype index) const;
    qsizetype paragraphEnd(qsizetype index) const;
    qsizetype separatorLength(const Range& paragraph) const;
    bool isParagraphBoundary(qsizetype index) const;
    qsizetype splitRunAt(qsizetype index);
    template<typename Change> void changeAttributes(Range range, Change change);
    void normalizeRuns();

    QString _text;
    QList<Run> _runs;
};
