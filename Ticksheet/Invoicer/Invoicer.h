#pragma once

#include "PlugIns/InvoicerInterface.h"
#include "VDReporter.h"

// The one invoice viewer of the program: shows a client document's plain or rich invoice.
class Invoicer : public VDReporter, public InvoicerInterface
{
    Q_OBJECT
    Q_INTERFACES(InvoicerInterface)

public:
    explicit Invoicer(QWidget* parent = nullptr);

    // Made on first request; lives until the process ends.
    static Invoicer* sharedInstance();

    void loadInvoiceForDocument(MyDocument* document) override;
    void loadRichInvoiceForDocument(MyDocument* document) override;
    using VDReporter::printInvoiceAction;
    void printInvoiceAction(MyDocument* document) override;

private:
    void showInvoice(MyDocument* client, const StyledText& invoice, bool rich);
};
