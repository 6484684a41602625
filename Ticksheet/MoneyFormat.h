#pragma once

#include "MoneyFormatter.h"
#include "TicksheetExport.h"

#include <QString>

// A document's money format: currency symbol, separators and where the symbol
// goes. Builds the patterns and formatters from them and aligns amounts in the
// plain-text layouts. A value: the document makes one from its fields when
// asked, so every text follows the format as it is at that moment.
class TICKSHEET_EXPORT MoneyFormat
{
public:
    MoneyFormat(const QString& moneySymbol, const QString& thousandsSeparator,
                const QString& decimalSeparator, bool symbolAfterNumber);

    QString moneySymbol() const { return _moneySymbol; }
    QString thousandsSeparator() const { return _thousandsSeparator; }
    QString decimalSeparator() const { return _decimalSeparator; }
    bool symbolAfterNumber() const { return _symbolAfterNumber; }

    // "#,##0.00;0.00;(#,##0.00)" with the defaults.
    QString numberPattern() const;
    // "$ #,##0.00;$ 0.00;[Red]($ #,##0.00)", or with the symbol after the number.
    QString moneyPattern() const;
    MoneyFormatter numberFormatter() const;
    MoneyFormatter moneyFormatter() const;

    // Number text right-aligned in the default width, with the symbol.
    QString formatMoney(float value) const;
    // Number text with no symbol and no alignment.
    QString formatFloat(float value) const;
    QString formattedValue(float value, bool money) const;
    // One aligned totals line; plain amounts end in the same column as amounts
    // with a leading symbol.
    QString formatTotal(float value, const MoneyFormatter& formatter, bool money,
                        bool checkParen) const;
    int floatWithoutMoneyPadLength() const;

    // Right-aligns text in width columns. A leading symbol stands in front of
    // the field; a trailing one takes its last column. With checkParen a text
    // not ending in ")" ends one column early, in line with negatives. Longer
    // text is never cut.
    QString pad(const QString& text, int width, bool money, bool checkParen) const;
    QString pad(const QString& text, int width, bool money) const;
    QString pad(const QString& text, int width) const;
    QString pad(const QString& text) const;

    // With a "," decimal separator, drops every digit past the second after the
    // first comma (no rounding); otherwise the text is returned as it is.
    QString fix(const QString& text) const;
    // With a "," decimal separator, every "." becomes ",".
    QString toComma(const QString& text) const;

private:
    bool decimalSeparatorIsComma() const;

    QString _moneySymbol;
    QString _thousandsSeparator;
    QString _decimalSeparator;
    bool _symbolAfterNumber;
};
