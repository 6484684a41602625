#pragma once

#include <QObject>

class MyDocument;

// The modal editor of a client document's money format (symbol, separators, symbol position).
class MoneyFormatSheetInterface
{
public:
    virtual ~MoneyFormatSheetInterface() = default;

    // Shows the document's money format and waits for the user; on OK applies the edits to the
    // document as one undo step, on Cancel leaves it untouched.
    virtual void runModalForOwner(MyDocument* document) = 0;
};

#define MoneyFormatSheetInterface_iid "com.velmor.Tallywick.MoneyFormatSheet/1.0"
Q_DECLARE_INTERFACE(MoneyFormatSheetInterface, MoneyFormatSheetInterface_iid)
