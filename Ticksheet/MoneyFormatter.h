#pragma once

#include "TicksheetExport.h"

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

// Turns amounts into text and back with a three-section pattern
// "positive;zero;negative", e.g. "$ #,##0.00;$ 0.00;[Red]($ #,##0.00)".
//
// In each section the numeric placeholder runs from the first "#" or "0" to the
// last "0" and is replaced by the value rounded to cents: the integer digits
// grouped in threes with the thousands separator, the decimal separator and two
// digits. Everything around the placeholder is copied as it stands; a leading
// "[Red]" writes nothing and only marks the section for red display. The
// characters inside the placeholder do not matter, so the separators can be
// changed without rewriting the pattern.
//
// Choices of ours:
// - Rounding to cents is rint(value * 100) in double, halves to even, as
//   everywhere else amounts are rounded.
// - The section follows the sign of the rounded value, so -0.004 is written
//   through the zero section as "0.00", never as "(0.00)".
// - NaN and infinities are written through the zero section.
// - A pattern with one section uses it for zero as well and writes negatives
//   with a leading "-"; with two sections the second is the negative one. An
//   empty section is the bare number.
// - Splitting on ";" is verbatim: a separator or symbol containing ";" breaks
//   the pattern into more sections, of which only the first three count.
class TICKSHEET_EXPORT MoneyFormatter
{
public:
    MoneyFormatter(const QString& pattern, const QString& decimalSeparator,
                   const QString& thousandsSeparator);

    QString pattern() const { return _pattern; }
    QString decimalSeparator() const { return _decimalSeparator; }
    QString thousandsSeparator() const { return _thousandsSeparator; }

    QString format(double value) const;
    // True when the section that formats value is marked "[Red]".
    bool isRed(double value) const;
    // Reads back anything format() writes and plain numbers written with the
    // decimal separator (optional "-", grouping optional). Answers nothing for
    // empty text and anything else.
    std::optional<double> parse(const QString& text) const;

private:
    struct Section
    {
        bool red = false;
        bool hasPlaceholder = false;
        bool minusInFront = false; // negatives of a pattern without a negative section
        QString prefix;
        QString suffix;
    };
    enum SectionIndex { Positive = 0, Zero = 1, Negative = 2 };

    static Section parseSection(const QString& text);
    static SectionIndex sectionIndexFor(double value);
    static double centsOf(double value);
    QString digitsFor(double value, SectionIndex index) const;
    QString grouped(const QString& integerDigits) const;

    std::optional<double> parseSectionMatch(const QString& text) const;
    std::optional<double> parseLoosely(QString text) const;
    QString stripSymbol(const QString& text) const;
    std::optional<double> parseUnsignedNumber(const QString& text) const;
    bool isGroupedInteger(const QString& text) const;

    QString _pattern;
    QString _decimalSeparator;
    QString _thousandsSeparator;
    std::array<Section, 3> _sections;
    QStringList _symbolPrefixes; // longest first
    QStringList _symbolSuffixes;
};
