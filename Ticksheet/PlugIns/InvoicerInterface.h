#pragma once

#include <QObject>

class MyDocument;

// Shows a client document's invoices in a report viewer. No caller reads a result.
class InvoicerInterface
{
public:
    virtual ~InvoicerInterface() = default;

    // Shows the document's plain-text invoice.
    virtual void loadInvoiceForDocument(MyDocument* document) = 0;
    // Shows the document's rich invoice (takes the next invoice number).
    virtual void loadRichInvoiceForDocument(MyDocument* document) = 0;
    // Prints the invoice just shown for the document.
    virtual void printInvoiceAction(MyDocument* document) = 0;
};

#define InvoicerInterface_iid "com.velmor.Tallywick.Invoicer/1.0"
Q_DECLARE_INTERFACE(InvoicerInterface, InvoicerInterface_iid)
