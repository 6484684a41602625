#include "MoneyFormatSheet.h"

#include "Constants.h"
#include "Localized.h"
#include "MyDocument.h"
#include "Preferences.h"
#include "SettingsStore.h"
#include "UndoManager.h"

namespace {

MoneyFormatSheet* sharedSheet = nullptr;

enum SymbolPosition { SymbolBefore = 0, SymbolAfter = 1 };

} // namespace

MoneyFormatSheet::MoneyFormatSheet(QWidget* parent)
    : VelmorModalPrompt(parent)
{
    ui.setupUi(this);
    connect(ui.okButton, &QPushButton::clicked, this, &VelmorModalWindowController::ok);
    connect(ui.cancelButton, &QPushButton::clicked, this, &VelmorModalWindowController::cancel);
    _beforeAfterMatrix.addButton(ui.symbolBeforeButton, SymbolBefore);
    _beforeAfterMatrix.addButton(ui.symbolAfterButton, SymbolAfter);
    connect(ui.setTheseAsDefaultsButton, &QPushButton::clicked, this, &MoneyFormatSheet::setTheseAsDefaultsAction);
    connect(ui.resetDefaultsButton, &QPushButton::clicked, this, &MoneyFormatSheet::resetDefaultsAction);
}

MoneyFormatSheet* MoneyFormatSheet::singleInstance()
{
    return sharedSheet;
}

void MoneyFormatSheet::setSingleInstance(MoneyFormatSheet* instance)
{
    sharedSheet = instance;
}

void MoneyFormatSheet::runModalForOwner(MyDocument* document)
{
    if (!document)
        return;
    loadStuff(*document);
    if (exec() == QDialog::Accepted)
        setStuff(*document);
}

void MoneyFormatSheet::loadStuff(const MyDocument& document)
{
    _beforeAfterMatrix.button(document.symbolAfterNumber() ? SymbolAfter : SymbolBefore)->setChecked(true);
    ui.decimalField->setText(document.decimalSeparator());
    ui.symbolField->setText(document.moneySymbol());
    ui.thousandsField->setText(document.thousandsSeparator());
}

bool MoneyFormatSheet::symbolAfter() const
{
    return _beforeAfterMatrix.checkedId() == SymbolAfter;
}

void MoneyFormatSheet::setStuff(MyDocument& document) const
{
    UndoManager* undo = document.undoManager();
    undo->beginUndoGrouping();
    document.setSymbolAfterNumber(symbolAfter());
    document.setThousandsSeparator(ui.thousandsField->text());
    document.setDecimalSeparator(ui.decimalField->text());
    document.setMoneySymbol(ui.symbolField->text());
    undo->setActionName(localized("Currency Format"));
    undo->endUndoGrouping();
}

void MoneyFormatSheet::setTheseAsDefaultsAction()
{
    SettingsStore& settings = SettingsStore::shared();
    settings.setValue(CurrencySymbol, ui.symbolField->text());
    settings.setValue(DecimalSeparator, ui.decimalField->text());
    settings.setValue(ThousandsSeparator, ui.thousandsField->text());
    settings.setValue(CurrencySymbolAfter, symbolAfter() ? QStringLiteral("YES") : QStringLiteral("NO"));
    settings.flush();
}

void MoneyFormatSheet::resetDefaultsAction()
{
    SettingsStore& settings = SettingsStore::shared();
    Preferences::resetCurrencyDefaults(settings);
    settings.flush();
}
