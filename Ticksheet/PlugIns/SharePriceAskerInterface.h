#pragma once

#include <QObject>

class MyDocument;

// The modal prompt for the price of one share of a client's equity.
class SharePriceAskerInterface
{
public:
    virtual ~SharePriceAskerInterface() = default;

    // Shows the price in the document's money format and waits for the user: the confirmed price,
    // or the given price unchanged when the user cancels. The caller applies it.
    virtual float getPrice(float price, MyDocument* document) = 0;
};

#define SharePriceAskerInterface_iid "com.velmor.Tallywick.SharePriceAsker/1.0"
Q_DECLARE_INTERFACE(SharePriceAskerInterface, SharePriceAskerInterface_iid)
