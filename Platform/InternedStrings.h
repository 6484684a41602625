#pragma once

#include <QString>

#include <string>
#include <string_view>
#include <unordered_map>

// One shared QString for each short text that a reader meets again and again (keys, "YES", "NO"):
// a large file then costs a reference instead of a separate string per occurrence.
class InternedStrings
{
public:
    // The string remembered for this UTF-8 text, or null.
    const QString* find(std::string_view text) const
    {
        if (text.size() > MaximumLength)
            return nullptr;
        const auto known = m_strings.find(text);
        return known == m_strings.end() ? nullptr : &known->second;
    }

    // Keeps string for text while the text is short and the table has room.
    void remember(std::string_view text, const QString& string)
    {
        if (text.size() <= MaximumLength && m_strings.size() < MaximumCount)
            m_strings.emplace(text, string);
    }

private:
    struct TextHash
    {
        using is_transparent = void;
        size_t operator()(std::string_view text) const { return std::hash<std::string_view>()(text); }
    };
    static constexpr size_t MaximumLength = 32;
    static constexpr size_t MaximumCount = 4096;
    std::unordered_map<std::string, QString, TextHash, std::equal_to<>> m_strings;
};
