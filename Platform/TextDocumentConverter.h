#pragma once

#include "StyledText.h"

#include <QtGlobal>

#include <memory>

class QTextBlockFormat;
class QTextDocument;
class QTextCursor;

// Converts styled text to a QTextDocument and back. Lengths in points become document pixels at
// the default resolution, which Qt scales to the printer's when it prints.
class TextDocumentConverter
{
public:
    static std::unique_ptr<QTextDocument> toDocument(const StyledText& text);
    static StyledText fromDocument(const QTextDocument& document);

    static qreal pixelsPerPoint();

private:
    static QTextBlockFormat blockFormat(const ParagraphStyle& style);
    static ParagraphStyle paragraphStyle(const QTextBlockFormat& format);
    static void insertContent(QTextCursor& cursor, const QString& characters, const StyledText::Paragraph& paragraph,
                              int& imageNumber);
};
