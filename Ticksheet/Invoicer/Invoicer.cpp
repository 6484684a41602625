#include "Invoicer.h"

#include "Localized.h"
#include "MyDocument.h"
#include "StyledText.h"

Invoicer::Invoicer(QWidget* parent)
    : VDReporter(parent)
{
    setObjectName(QStringLiteral("Invoicer"));
}

Invoicer* Invoicer::sharedInstance()
{
    static Invoicer* shared = new Invoicer;
    return shared;
}

void Invoicer::loadInvoiceForDocument(MyDocument* client)
{
    if (client)
        showInvoice(client, client->invoiceString(), false);
}

void Invoicer::loadRichInvoiceForDocument(MyDocument* client)
{
    if (client)
        showInvoice(client, client->richInvoiceString(), true);
}

// The invoice just shown is of that document; another one is not printed in its place.
void Invoicer::printInvoiceAction(MyDocument* client)
{
    if (client && client == document)
        VDReporter::printInvoiceAction();
}

// Without a logo to be found the rich invoice is the plain one: it is then shown and mailed as
// plain text, so no first character is mistaken for the logo.
void Invoicer::showInvoice(MyDocument* client, const StyledText& invoice, bool rich)
{
    document = client;
    documents.clear();
    isRich = rich && invoice.string().startsWith(QChar::ObjectReplacementCharacter);
    loadText(invoice, isRich);
    setWindowTitle(localized("Invoice: %1").arg(client->clientAndProject()));
    showWindow();
}
