#include "MyDocument.h"

#include "ClientWindow.h"
#include "PlugIns/MoneyFormatSheetInterface.h"
#include "UndoManager.h"

// The document's money format. Formatters are built afresh on every request so that a change
// of the format, or its undo, shows in every text produced afterwards.

MoneyFormat MyDocument::moneyFormatValue() const
{
    return MoneyFormat(_moneySymbol, _thousandsSeparator, _decimalSeparator, _symbolAfterNumber);
}

void MyDocument::updateFormattersOfWindows() const
{
    for (ClientWindow* window : windowControllers())
        window->updateFormatters();
}

void MyDocument::setMoneyText(QString MyDocument::*field, void (MyDocument::*setter)(const QString&),
                              const QString& value)
{
    if (value.isEmpty() || this->*field == value)
        return;
    undoManager()->registerUndo([this, setter, old = this->*field] { (this->*setter)(old); });
    this->*field = value;
    updateFormattersOfWindows();
}

void MyDocument::setMoneySymbol(const QString& symbol)
{
    setMoneyText(&MyDocument::_moneySymbol, &MyDocument::setMoneySymbol, symbol);
}

void MyDocument::setThousandsSeparator(const QString& separator)
{
    setMoneyText(&MyDocument::_thousandsSeparator, &MyDocument::setThousandsSeparator, separator);
}

void MyDocument::setDecimalSeparator(const QString& separator)
{
    setMoneyText(&MyDocument::_decimalSeparator, &MyDocument::setDecimalSeparator, separator);
}

void MyDocument::setSymbolAfterNumber(bool after)
{
    if (_symbolAfterNumber == after)
        return;
    undoManager()->registerUndo([this, old = _symbolAfterNumber] { setSymbolAfterNumber(old); });
    _symbolAfterNumber = after;
    updateFormattersOfWindows();
}

MoneyFormatter MyDocument::numberFormatter() const
{
    return moneyFormatValue().numberFormatter();
}

MoneyFormatter MyDocument::moneyFormatter() const
{
    return moneyFormatValue().moneyFormatter();
}

QString MyDocument::moneyFormat() const
{
    return moneyFormatValue().moneyPattern();
}

QString MyDocument::formatMoney(float value) const
{
    return moneyFormatValue().formatMoney(value);
}

QString MyDocument::formatFloat(float value) const
{
    return moneyFormatValue().formatFloat(value);
}

QString MyDocument::formattedValue(float value, bool money) const
{
    return moneyFormatValue().formattedValue(value, money);
}

QString MyDocument::formatTotal(float value, const MoneyFormatter& formatter, bool money, bool checkParen) const
{
    return moneyFormatValue().formatTotal(value, formatter, money, checkParen);
}

int MyDocument::floatWithoutMoneyPadLength() const
{
    return moneyFormatValue().floatWithoutMoneyPadLength();
}

QString MyDocument::pad(const QString& text, int width, bool money, bool checkParen) const
{
    return moneyFormatValue().pad(text, width, money, checkParen);
}

QString MyDocument::pad(const QString& text, int width, bool money) const
{
    return moneyFormatValue().pad(text, width, money);
}

QString MyDocument::pad(const QString& text, int width) const
{
    return moneyFormatValue().pad(text, width);
}

QString MyDocument::pad(const QString& text) const
{
    return moneyFormatValue().pad(text);
}

QString MyDocument::fix(const QString& text) const
{
    return moneyFormatValue().fix(text);
}

void MyDocument::changeMoneyFormatAction()
{
    auto* sheet = qobject_cast<MoneyFormatSheetInterface*>(sharedInstanceOfClassName(QStringLiteral("MoneyFormatSheet")));
    if (sheet)
        sheet->runModalForOwner(this);
}
