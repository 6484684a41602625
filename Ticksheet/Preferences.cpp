#include "Preferences.h"

#include "Constants.h"
#include "Localized.h"
#include "NotificationCenter.h"
#include "SettingsStore.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QGuiApplication>

#include <limits>

namespace {

const QString Yes = QStringLiteral("YES");
const QString No = QStringLiteral("NO");
// Earlier versions kept the pay rate under the label key "Rate"; see rateString().
const QString LegacyRateKey = QStringLiteral("Rate");

struct FontFace {
    QString family;
    qreal pointSize;
};

// The font database needs a GUI application; headless callers (command line, tests without
// a GUI application) get a plain fixed-pitch face instead.
FontFace systemFixedFace()
{
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        const QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        return {font.family(), font.pointSizeF()};
    }
    return {QStringLiteral("Monospace"), 10};
}

QFont fontOf(const FontFace& face)
{
    QFont font(face.family);
    font.setStyleHint(QFont::Monospace);
    font.setPointSizeF(face.pointSize);
    return font;
}

bool isFontAvailable(const QString& family)
{
    if (family.isEmpty())
        return false;
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return true; // nothing to check against; the face is used as named
    return QFontDatabase::hasFamily(family);
}

bool isNumber(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
        return true;
    default:
        return false;
    }
}

qint64 integerValue(const QString& text)
{
    return SettingsStore::toInteger(QVariant(text));
}

Preferences::Setter setterFor(QVariantMap& target)
{
    return [&target](const QString& key, const QVariant& value) { target.insert(key, value); };
}

Preferences::Setter setterFor(SettingsStore& target)
{
    return [&target](const QString& key, const QVariant& value) { target.setValue(key, value); };
}

// The label defaults in the settings window's row order.
using DefaultText = QString (*)();
const DefaultText labelDefaults[] = {
    &Preferences::defaultInvoiceString,
    &Preferences::defaultReString,
    &Preferences::defaultDashString,
    &Preferences::defaultThroughString,
    &Preferences::defaultHeader2String,
    &Preferences::defaultHeader1String,
    &Preferences::defaultHeader3String,
    &Preferences::defaultDueNowString,
    &Preferences::defaultRemitString,
    &Preferences::defaultCreditString,
    &Preferences::defaultTotalHoursString,
    &Preferences::defaultEarnedString,
    &Preferences::defaultExpensesString,
    &Preferences::defaultSubtotalString,
    &Preferences::defaultEquityString,
    &Preferences::defaultSharesString,
    &Preferences::defaultCashString,
    &Preferences::defaultTaxString,
    &Preferences::defaultTotalString,
    &Preferences::defaultPdString,
    &Preferences::defaultRawHoursString,
    &Preferences::defaultGrandTotalString,
    &Preferences::defaultStillUnpaidString,
    &Preferences::defaultYesString,
    &Preferences::defaultNoString,
    &Preferences::defaultClientString,
    &Preferences::defaultProjectString,
    &Preferences::defaultDateString,
    &Preferences::defaultStartString,
    &Preferences::defaultEndString,
    &Preferences::defaultTimeString,
    &Preferences::defaultRateString,
    &Preferences::defaultAmountString,
    &Preferences::defaultDescriptionString,
    &Preferences::defaultPaidString,
};

} // namespace

// Registry

void Preferences::loadDictionary(QVariantMap& target)
{
    loadDictionary(setterFor(target));
}

void Preferences::loadDictionary(const Setter& set)
{
    set(TwentyFourHour, No);
    set(EuroDates, No);
    set(RemitAddress, QStringLiteral("\t\tCompany Name\n\t\tAddress\n\t\tCity, State, Zip\n"));
    set(CompanyLogoPath, QStringLiteral(""));
    set(KeepBackupFile, No);
    set(TaxRate, QStringLiteral("5.875"));
    set(TaxableByDefault, No);
    set(Rate, QStringLiteral("125"));
    set(EquityPercent, QStringLiteral("0"));
    set(ShareCost, QStringLiteral("800"));
    set(ResumeAction, QStringLiteral("0"));
    set(Mailer, QStringLiteral("Mail"));
    set(ExpenseDescriptions, QVariantList());
    set(JobDescriptions, QVariantList());
    set(AutoCheckForUpdates, Yes);
    set(OpenOnLaunch, QVariantList());

    const FontFace fixed = systemFixedFace();
    set(ReportFontSize, QString::number(fixed.pointSize, 'f', 6)); // "%f", whatever the user's locale
    set(ReportFont, fixed.family);

    set(IgnoreMoney, No);
    set(TaxGrossIncome, Yes);
    resetCurrencyDefaults(set);
    resetStringDefaults(set);
}

void Preferences::initialize()
{
    QVariantMap defaults;
    loadDictionary(defaults);
    // Apart from loadDictionary so that restoring the defaults leaves the counter alone.
    defaults.insert(InvoiceNumber, QStringLiteral("1000"));
    // Not a user preference: restoring the defaults leaves it alone too. Tests point it elsewhere.
    defaults.insert(VersionListURL, QStringLiteral("https://tallywick.example/versionlist.xml"));
    SettingsStore::shared().registerDefaults(defaults);
}

void Preferences::restoreToDefaultCondition()
{
    SettingsStore& store = SettingsStore::shared();
    loadDictionary(setterFor(store));
    store.flush();
}

void Preferences::resetCurrencyDefaults(QVariantMap& target)
{
    resetCurrencyDefaults(setterFor(target));
}

void Preferences::resetCurrencyDefaults(SettingsStore& target)
{
    resetCurrencyDefaults(setterFor(target));
}

void Preferences::resetCurrencyDefaults(const Setter& set)
{
    set(CurrencySymbol, QStringLiteral("$"));
    set(DecimalSeparator, QStringLiteral("."));
    set(ThousandsSeparator, QStringLiteral(","));
    set(CurrencySymbolAfter, No);
}

void Preferences::resetStringDefaults(QVariantMap& target)
{
    resetStringDefaults(setterFor(target));
}

void Preferences::resetStringDefaults(SettingsStore& target)
{
    resetStringDefaults(setterFor(target));
}

void Preferences::resetStringDefaults(const Setter& set)
{
    for (const QString& text : defaultStrings())
        set(text, text);
}

QStringList Preferences::defaultStrings()
{
    QStringList texts;
    texts.reserve(std::size(labelDefaults));
    for (DefaultText defaultText : labelDefaults)
        texts << defaultText();
    return texts;
}

// Labels

QString Preferences::preferenceForString(const QString& key)
{
    const QString stored = SettingsStore::shared().value(key).toString();
    return stored.isEmpty() ? key : stored;
}

QFont Preferences::reportFont()
{
    const SettingsStore& store = SettingsStore::shared();
    const FontFace chosen {store.stringForKey(ReportFont), store.realForKey(ReportFontSize)};
    if (chosen.pointSize > 0 && isFontAvailable(chosen.family))
        return fontOf(chosen);
    return fontOf(systemFixedFace());
}

QString Preferences::invoiceString() { return preferenceForString(defaultInvoiceString()); }
QString Preferences::reString() { return preferenceForString(defaultReString()); }
QString Preferences::dashString() { return preferenceForString(defaultDashString()); }
QString Preferences::throughString() { return preferenceForString(defaultThroughString()); }
QString Preferences::header2String() { return preferenceForString(defaultHeader2String()); }
QString Preferences::header1String() { return preferenceForString(defaultHeader1String()); }
QString Preferences::header3String() { return preferenceForString(defaultHeader3String()); }
QString Preferences::dueNowString() { return preferenceForString(defaultDueNowString()); }
QString Preferences::remitString() { return preferenceForString(defaultRemitString()); }
QString Preferences::creditString() { return preferenceForString(defaultCreditString()); }
QString Preferences::totalHoursString() { return preferenceForString(defaultTotalHoursString()); }
QString Preferences::earnedString() { return preferenceForString(defaultEarnedString()); }
QString Preferences::expensesString() { return preferenceForString(defaultExpensesString()); }
QString Preferences::subtotalString() { return preferenceForString(defaultSubtotalString()); }
QString Preferences::equityString() { return preferenceForString(defaultEquityString()); }
QString Preferences::sharesString() { return preferenceForString(defaultSharesString()); }
QString Preferences::cashString() { return preferenceForString(defaultCashString()); }
QString Preferences::taxString() { return preferenceForString(defaultTaxString()); }
QString Preferences::totalString() { return preferenceForString(defaultTotalString()); }
QString Preferences::pdString() { return preferenceForString(defaultPdString()); }
QString Preferences::rawHoursString() { return preferenceForString(defaultRawHoursString()); }
QString Preferences::grandTotalString() { return preferenceForString(defaultGrandTotalString()); }
QString Preferences::stillUnpaidString() { return preferenceForString(defaultStillUnpaidString()); }
QString Preferences::yesString() { return preferenceForString(defaultYesString()); }
QString Preferences::noString() { return preferenceForString(defaultNoString()); }
QString Preferences::clientString() { return preferenceForString(defaultClientString()); }
QString Preferences::projectString() { return preferenceForString(defaultProjectString()); }
QString Preferences::dateString() { return preferenceForString(defaultDateString()); }
QString Preferences::startString() { return preferenceForString(defaultStartString()); }
QString Preferences::endString() { return preferenceForString(defaultEndString()); }
QString Preferences::timeString() { return preferenceForString(defaultTimeString()); }
QString Preferences::amountString() { return preferenceForString(defaultAmountString()); }
QString Preferences::descriptionString() { return preferenceForString(defaultDescriptionString()); }
QString Preferences::paidString() { return preferenceForString(defaultPaidString()); }
QString Preferences::unpaidString() { return preferenceForString(defaultUnpaidString()); }

// Settings of earlier versions held the pay rate as a number under "Rate", the key of this
// label; move it to its own key once and give the label its text back.
QString Preferences::rateString()
{
    SettingsStore& store = SettingsStore::shared();
    const QVariant stored = store.value(LegacyRateKey);
    if (!isNumber(stored))
        return preferenceForString(defaultRateString());
    store.setValue(Rate, static_cast<float>(stored.toDouble()));
    store.setValue(LegacyRateKey, defaultRateString());
    store.flush();
    return defaultRateString();
}

QString Preferences::defaultInvoiceString() { return localized("**** I N V O I C E ****"); }
QString Preferences::defaultReString() { return localized("RE:"); }
QString Preferences::defaultDashString() { return QStringLiteral("-"); }
QString Preferences::defaultThroughString() { return localized("through"); }
QString Preferences::defaultHeader2String() { return localized("Date:\tHours:\tRate:\tAmount:\tDescription:\n"); }
QString Preferences::defaultHeader1String() { return localized("Date:\tDay:  \tHours:\t\tDescription:\n"); }
QString Preferences::defaultHeader3String() { return localized("Date:\t\tExpense:\t\tDescription:\n"); }
QString Preferences::defaultDueNowString() { return localized("TOTAL is due in full now - please remit to:\n\n"); }
QString Preferences::defaultRemitString() { return localized("TOTAL is due in full now - please remit to address at top."); }
QString Preferences::defaultCreditString() { return localized("You have a credit balance; nothing is due at this time."); }
QString Preferences::defaultTotalHoursString() { return localized("Hours"); }
QString Preferences::defaultEarnedString() { return localized("Earned"); }
QString Preferences::defaultExpensesString() { return localized("Expenses"); }
QString Preferences::defaultSubtotalString() { return localized("Subtotal"); }
QString Preferences::defaultEquityString() { return localized("Equity"); }
QString Preferences::defaultSharesString() { return localized("Shares"); }
QString Preferences::defaultCashString() { return localized("Cash"); }
QString Preferences::defaultTaxString() { return localized("Tax"); }
QString Preferences::defaultTotalString() { return localized("Total"); }
QString Preferences::defaultPdString() { return localized("(pd)"); }
QString Preferences::defaultRawHoursString() { return localized("Earnings"); }
QString Preferences::defaultGrandTotalString() { return localized("Grand Total"); }
QString Preferences::defaultStillUnpaidString() { return localized("Unpaid"); }
QString Preferences::defaultYesString() { return localized("Yes"); }
QString Preferences::defaultNoString() { return localized("No"); }
QString Preferences::defaultClientString() { return localized("Client"); }
QString Preferences::defaultProjectString() { return localized("Project"); }
QString Preferences::defaultDateString() { return localized("Date"); }
QString Preferences::defaultStartString() { return localized("Start Time"); }
QString Preferences::defaultEndString() { return localized("End Time"); }
QString Preferences::defaultTimeString() { return localized("Time"); }
QString Preferences::defaultRateString() { return localized("Rate"); }
QString Preferences::defaultAmountString() { return localized("Amount"); }
QString Preferences::defaultDescriptionString() { return localized("Description"); }
QString Preferences::defaultPaidString() { return localized("Paid"); }
QString Preferences::defaultUnpaidString() { return localized("Unpaid"); }

// Invoice counter

bool Preferences::wantsInvoiceNumber()
{
    return SettingsStore::shared().integerForKey(InvoiceNumber) > 0;
}

bool Preferences::wantsInvoiceNumber(const QString& text)
{
    if (text.isEmpty() || text == QLatin1String(" "))
        return false;
    return integerValue(text) != 0;
}

QString Preferences::currentInvoiceNumber()
{
    const qint64 number = SettingsStore::shared().integerForKey(InvoiceNumber);
    return number == 0 ? QString() : QString::number(number);
}

void Preferences::setNextInvoiceNumber(qint64 number)
{
    SettingsStore& store = SettingsStore::shared();
    store.setValue(InvoiceNumber, number);
    store.flush();
}

void Preferences::setNextInvoiceNumberString(const QString& text)
{
    if (wantsInvoiceNumber(text)) {
        setNextInvoiceNumber(integerValue(text));
        return;
    }
    SettingsStore& store = SettingsStore::shared();
    store.setValue(InvoiceNumber, QStringLiteral(""));
    store.flush();
}

QString Preferences::nextInvoiceNumber()
{
    const QString taken = currentInvoiceNumber();
    const qint64 current = integerValue(taken);
    // A counter at the largest number stays there rather than wrapping to negative (off).
    const qint64 next = current == std::numeric_limits<qint64>::max() ? current : current + 1;
    setNextInvoiceNumber(next);
    NotificationCenter::shared().post(InvoiceNumberUpdatedNotification, QVariant(next));
    return taken;
}
