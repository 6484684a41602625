#pragma once

#include "PlugIns/SharePriceAskerInterface.h"
#include "VelmorModalPrompt.h"

#include "ui_SharePriceAsker.h"

class MoneyFormatter;

// Asks for the price of one share, written with the document's money pattern. The field's
// separators are its own (the priceField's "decimalSeparator" and "thousandsSeparator" layout
// properties); only the pattern follows the document.
class SharePriceAsker : public VelmorModalPrompt<SharePriceAsker>, public SharePriceAskerInterface
{
    Q_OBJECT
    Q_INTERFACES(SharePriceAskerInterface)

public:
    explicit SharePriceAsker(QWidget* parent = nullptr);

    // The module's own shared instance; it lives until the process ends.
    static SharePriceAsker* singleInstance();
    static void setSingleInstance(SharePriceAsker* instance);

    float getPrice(float price, MyDocument* document) override;

private:
    MoneyFormatter priceFormatter(const MyDocument& document) const;

    Ui::SharePriceAsker ui;
};
