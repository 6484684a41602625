#pragma once

#include "StyledText.h"

#include <QByteArray>
#include <QFont>
#include <QStringList>

class TextAttachment;
struct ParagraphStyle;

// Writes styled text as RTF (ANSI code page 1252, every other character as a \u escape).
// Attachments are embedded as pictures, or, for an RTFD package, referred to by file name.
class RtfWriter
{
public:
    explicit RtfWriter(const StyledText& text);

    // Names of the package's attached files, one per attachment in text order; refers to the
    // attachments by these names instead of embedding them.
    void setPackageFileNames(const QStringList& names);

    QByteArray rtf();

private:
    void writeHeader();
    // Whether a run holds anything but attachments, which need no font.
    bool hasCharacters(const StyledText::Run& run, qsizetype start) const;
    void writeParagraph(const StyledText::Paragraph& paragraph);
    void writeParagraphStyle(const ParagraphStyle& style);
    void writeCharacterFormat(const QFont& font);
    void writeCharacter(QChar c);
    void writeAttachment(const TextAttachment& attachment);
    void writePicture(const TextAttachment& attachment);
    void writePackageReference(const TextAttachment& attachment);

    void word(const QByteArray& controlWord);
    void word(const char* controlWord, int value);
    void symbol(const QByteArray& bytes);
    void text(QStringView characters);

    const StyledText& _text;
    QStringList _packageFileNames;
    bool _inPackage = false;
    qsizetype _attachmentNumber = 0;
    QStringList _fontFamilies;
    QByteArray _out;
    // A control word just written needs a space before literal text.
    bool _needsDelimiter = false;
    int _font = -1;
    int _halfPoints = -1;
    bool _bold = false;
    bool _italic = false;
};
