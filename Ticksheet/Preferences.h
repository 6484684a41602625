#pragma once

#include "TicksheetExport.h"

#include <QFont>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>

#include <functional>

class SettingsStore;

// The application's settings registry, the report labels, the report font and the invoice
// counter. One set per user, so everything is class-level.
class TICKSHEET_EXPORT Preferences
{
public:
    Preferences() = delete;

    // Receives the defaults one key at a time, in registration order.
    using Setter = std::function<void(const QString& key, const QVariant& value)>;

    // Registry
    static void loadDictionary(QVariantMap& target);
    static void loadDictionary(const Setter& target);
    static void initialize();
    static void restoreToDefaultCondition();

    static void resetCurrencyDefaults(QVariantMap& target);
    static void resetCurrencyDefaults(SettingsStore& target);
    static void resetCurrencyDefaults(const Setter& target);
    static void resetStringDefaults(QVariantMap& target);
    static void resetStringDefaults(SettingsStore& target);
    static void resetStringDefaults(const Setter& target);

    // The default texts of the 35 report labels in the order the settings window lists them;
    // each is also the settings key of its label.
    static QStringList defaultStrings();

    // Labels
    static QString preferenceForString(const QString& key);
    static QFont reportFont();

    static QString invoiceString();
    static QString reString();
    static QString dashString();
    static QString throughString();
    static QString header2String();
    static QString header1String();
    static QString header3String();
    static QString dueNowString();
    static QString remitString();
    static QString creditString();
    static QString totalHoursString();
    static QString earnedString();
    static QString expensesString();
    static QString subtotalString();
    static QString equityString();
    static QString sharesString();
    static QString cashString();
    static QString taxString();
    static QString totalString();
    static QString pdString();
    static QString rawHoursString();
    static QString grandTotalString();
    static QString stillUnpaidString();
    static QString yesString();
    static QString noString();
    static QString clientString();
    static QString projectString();
    static QString dateString();
    static QString startString();
    static QString endString();
    static QString timeString();
    static QString rateString();
    static QString amountString();
    static QString descriptionString();
    static QString paidString();
    static QString unpaidString();

    static QString defaultInvoiceString();
    static QString defaultReString();
    static QString defaultDashString();
    static QString defaultThroughString();
    static QString defaultHeader2String();
    static QString defaultHeader1String();
    static QString defaultHeader3String();
    static QString defaultDueNowString();
    static QString defaultRemitString();
    static QString defaultCreditString();
    static QString defaultTotalHoursString();
    static QString defaultEarnedString();
    static QString defaultExpensesString();
    static QString defaultSubtotalString();
    static QString defaultEquityString();
    static QString defaultSharesString();
    static QString defaultCashString();
    static QString defaultTaxString();
    static QString defaultTotalString();
    static QString defaultPdString();
    static QString defaultRawHoursString();
    static QString defaultGrandTotalString();
    static QString defaultStillUnpaidString();
    static QString defaultYesString();
    static QString defaultNoString();
    static QString defaultClientString();
    static QString defaultProjectString();
    static QString defaultDateString();
    static QString defaultStartString();
    static QString defaultEndString();
    static QString defaultTimeString();
    static QString defaultRateString();
    static QString defaultAmountString();
    static QString defaultDescriptionString();
    static QString defaultPaidString();
    static QString defaultUnpaidString();

    // Invoice counter
    static bool wantsInvoiceNumber();
    static bool wantsInvoiceNumber(const QString& text);
    static QString currentInvoiceNumber();
    static void setNextInvoiceNumber(qint64 number);
    static void setNextInvoiceNumberString(const QString& text);
    static QString nextInvoiceNumber();
};
