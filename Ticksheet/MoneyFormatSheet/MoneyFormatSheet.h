#pragma once

#include "PlugIns/MoneyFormatSheetInterface.h"
#include "VelmorModalPrompt.h"

#include "ui_MoneyFormatSheet.h"

#include <QButtonGroup>

// Edits one client document's money format: currency symbol, thousands and decimal separators,
// and whether the symbol goes before (tag 0) or after (tag 1) the number. Also makes the edited
// values the defaults for new documents, or puts the built-in defaults back into the settings.
class MoneyFormatSheet : public VelmorModalPrompt<MoneyFormatSheet>, public MoneyFormatSheetInterface
{
    Q_OBJECT
    Q_INTERFACES(MoneyFormatSheetInterface)

public:
    explicit MoneyFormatSheet(QWidget* parent = nullptr);

    // The module's own shared instance; it lives until the process ends.
    static MoneyFormatSheet* singleInstance();
    static void setSingleInstance(MoneyFormatSheet* instance);

    void runModalForOwner(MyDocument* document) override;

    void loadStuff(const MyDocument& document);
    // Applies the fields to the document as one undo step "Currency Format".
    void setStuff(MyDocument& document) const;

public slots:
    void setTheseAsDefaultsAction();
    void resetDefaultsAction();

private:
    bool symbolAfter() const;

    Ui::MoneyFormatSheet ui;
    QButtonGroup _beforeAfterMatrix;
};
