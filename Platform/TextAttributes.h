#pragma once

#include "ParagraphStyle.h"
#include "TextAttachment.h"

#include <QFont>

#include <optional>

// The attributes of one character of styled text. An absent font or paragraph style means the
// defaults; an attachment only counts on an object-replacement character (U+FFFC).
struct TextAttributes
{
    TextAttributes() = default;
    TextAttributes(const std::optional<QFont>& font, const std::optional<ParagraphStyle>& paragraphStyle = {},
                   const std::optional<TextAttachment>& attachment = {})
        : font(font)
        , paragraphStyle(paragraphStyle)
        , attachment(attachment)
    {
    }

    std::optional<QFont> font;
    std::optional<ParagraphStyle> paragraphStyle;
    std::optional<TextAttachment> attachment;

    bool operator==(const TextAttributes& other) const = default;
};
