#include "SharePriceAsker.h"

#include "MoneyFormatter.h"
#include "MyDocument.h"

namespace {

SharePriceAsker* sharedAsker = nullptr;

} // namespace

SharePriceAsker::SharePriceAsker(QWidget* parent)
    : VelmorModalPrompt(parent)
{
    ui.setupUi(this);
    connect(ui.okButton, &QPushButton::clicked, this, &VelmorModalWindowController::ok);
    connect(ui.cancelButton, &QPushButton::clicked, this, &VelmorModalWindowController::cancel);
}

SharePriceAsker* SharePriceAsker::singleInstance()
{
    return sharedAsker;
}

void SharePriceAsker::setSingleInstance(SharePriceAsker* instance)
{
    sharedAsker = instance;
}

MoneyFormatter SharePriceAsker::priceFormatter(const MyDocument& document) const
{
    return MoneyFormatter(document.moneyFormat(), ui.priceField->property("decimalSeparator").toString(),
                          ui.priceField->property("thousandsSeparator").toString());
}

float SharePriceAsker::getPrice(float price, MyDocument* document)
{
    if (!document)
        return price;
    const MoneyFormatter formatter = priceFormatter(*document);
    const QString shown = formatter.format(price);
    ui.priceField->setText(shown);
    ui.priceField->selectAll();

    if (exec() != QDialog::Accepted)
        return price;
    // Unchanged text answers the very price shown, not its rounding to cents; text that does not
    // read as an amount keeps the price rather than setting it to nothing.
    const QString text = ui.priceField->text();
    if (text == shown)
        return price;
    return static_cast<float>(formatter.parse(text).value_or(price));
}
