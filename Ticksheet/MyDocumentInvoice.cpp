#include "MyDocument.h"

#include "Bundle.h"
#include "CalendarFormat.h"
#include "Clock.h"
#include "Constants.h"
#include "PlugIns/InvoicerInterface.h"
#include "Preferences.h"
#include "SettingsStore.h"
#include "TextAttachment.h"

#include <QFontDatabase>

#include <algorithm>

// Plain and rich invoices. The texts are laid out with tabs and space-padded columns so that they
// read the same in a text view, on paper and in a mail message; the report font is fixed-pitch.

namespace {

enum class TableLayout { Full, HoursOnly, Expense };

const QString BuiltInLogoName = QStringLiteral("velmorlogo_huge");
const QString BuiltInLogoExtension = QStringLiteral("gif");

QString settingText(const QString& key)
{
    const QString value = SettingsStore::shared().stringForKey(key);
    return value.isNull() ? QStringLiteral("") : value;
}

QString tableHeading(TableLayout layout)
{
    const QString eight = MyDocument::dashes(8);
    const QString rule = MyDocument::dashes(22);
    switch (layout) {
    case TableLayout::Expense:
        return Preferences::header3String() + eight + QStringLiteral("\t\t") + eight + QStringLiteral("\t\t") + rule + u'\n';
    case TableLayout::HoursOnly:
        return Preferences::header1String() + eight + u'\t' + eight + u'\t' + eight + QStringLiteral("\t\t") + rule + u'\n';
    case TableLayout::Full:
        break;
    }
    return Preferences::header2String() + eight + u'\t' + eight + u'\t' + eight + u'\t' + eight + u'\t' + rule
         + u'\n';
}

// The logo file of the rich invoice: the user's own when it holds an image, else the built-in
// one; empty when there is neither.
QString invoiceLogoPath()
{
    const QString chosen = settingText(CompanyLogoPath);
    if (!chosen.isEmpty() && TextAttachment::fromImageFile(chosen))
        return chosen;
    return Bundle::pathForResource(BuiltInLogoName, BuiltInLogoExtension);
}

InvoicerInterface* invoicer()
{
    return qobject_cast<InvoicerInterface*>(MyDocument::sharedInstanceOfClassName(QStringLiteral("Invoicer")));
}

} // namespace

StyledText MyDocument::invoiceString()
{
    QString text = settingText(RemitAddress);
    text += coreString(false);
    if (!ignoreMoney()) {
        const bool nothingOwed = totalGrandTotalInWorkList(applicableWork()) <= 0;
        text += nothingOwed ? Preferences::creditString() : Preferences::remitString();
    }
    return StyledText(text, TextAttributes(Preferences::reportFont(), defaultParagraphStyle()));
}

QString MyDocument::coreString(bool rich)
{
    const WorkList invoiced = applicableWork();
    const MoneyFormatter formatter = numberFormatter();

    _invoiceNumber = QString();
    if (Preferences::wantsInvoiceNumber())
        _invoiceNumber = Preferences::nextInvoiceNumber();

    QString text = QStringLiteral("\n");
    if (!rich)
        text += QStringLiteral("\t\t\t\t\t");
    text += dateString() + u'\n';
    text += _clientAddress;
    if (!_projectName.isEmpty())
        text += QStringLiteral("\n\n") + Preferences::reString() + u' ' + _projectName;
    text += QStringLiteral("\n\n");
    if (!rich)
        text += QStringLiteral("\t\t");
    text += Preferences::invoiceString();
    if (!_invoiceNumber.isEmpty())
        text += QStringLiteral("\t\t# ") + _invoiceNumber;
    text += workDescription(invoiced, formatter);
    text += totalsString(invoiced, formatter);
    return text;
}

QString MyDocument::workDescription(const WorkList& list, const MoneyFormatter& formatter) const
{
    const auto [sessions, expenses] = splitWorkLists(list);
    QString text = QStringLiteral("\n\n");
    if (!sessions.isEmpty())
        text += workDescription(sessions, formatter, false);
    if (!expenses.isEmpty())
        text += QStringLiteral("\n\n") + workDescription(expenses, formatter, true);
    text += u'\n';
    return text;
}

QString MyDocument::workDescription(const WorkList& list, const MoneyFormatter& formatter, bool isExpense) const
{
    const TableLayout layout = isExpense ? TableLayout::Expense
                             : ignoreMoney() ? TableLayout::HoursOnly
                                             : TableLayout::Full;
    // Only this table's own rates decide whether its positive rates make room for a ")".
    const bool negatives = anyNegativesIn(list);
    const auto number = [&](double value) { return fix(formatter.format(value)); };

    QString text = tableHeading(layout);
    for (const std::shared_ptr<PieceWork>& work : list) {
        text += work->dateStringPadded() + u'\t';
        if (layout == TableLayout::Expense) {
            text += u'\t';
        } else {
            if (layout == TableLayout::HoursOnly)
                text += work->dayOfWeek() + u'\t';
            text += pad(number(work->actualTimeOnJob()), 7, false);
        }
        if (layout != TableLayout::HoursOnly)
            text += pad(number(work->rate()), 10, false, negatives) + u'\t';
        if (layout == TableLayout::Full)
            text += pad(number(work->amount()), 8, false) + u'\t';
        else
            text += u'\t';
        text += work->workDescription();
        if (work->paid())
            text += u' ' + Preferences::pdString();
        text += u'\n';
    }
    return text;
}

QString MyDocument::totalsString(const WorkList& list, const MoneyFormatter& formatter) const
{
    const bool moneyIgnored = ignoreMoney();
    // Unlike the tables, the totals share one column, so any negative rate shifts every line.
    const bool negatives = anyNegativesIn(list);
    const bool hasExpenses = !splitWorkLists(list).second.isEmpty();
    const auto line = [&](const QString& label, float value, bool money) {
        return QStringLiteral("\t\t\t") + label + QStringLiteral(":\t") + formatTotal(value, formatter, money, negatives);
    };

    QString text = line(Preferences::totalHoursString(), hoursInWorkList(list), false) + u'\n';
    if (!moneyIgnored)
        text += line(Preferences::earnedString(), totalEarnedInWorkList(list), true);
    if (hasExpenses)
        text += u'\n' + line(Preferences::expensesString(), totalExpensesInWorkList(list), true) + QStringLiteral("\n\n");
    if (!moneyIgnored) {
        if (hasExpenses)
            text += line(Preferences::subtotalString(), totalExpensesAndEarnedInWorkList(list), true);
        text += QStringLiteral("\n\n");
        if (_equityPercent > 0) {
            text += line(Preferences::equityString(), totalEquityInList(list), true) + u'\n';
            text += line(Preferences::sharesString(), totalSharesInWorkList(list), false) + QStringLiteral("\n\n");
            text += line(Preferences::cashString(), totalCashInList(list), true) + u'\n';
        }
    }
    // With money ignored, tax is still owed on taxable expenses.
    const bool showsTax = _taxable && (!moneyIgnored || totalExpensesTaxableInList(list) > 0);
    if (showsTax)
        text += line(Preferences::taxString(), totalTaxedInWorkList(list), true) + QStringLiteral("\n\n");
    if (showsTax || hasExpenses)
        text += line(Preferences::totalString(), totalUnpaidInWorkList(list), true);
    text += QStringLiteral("\n\n");
    return text;
}

std::pair<WorkList, WorkList> MyDocument::splitWorkLists(const WorkList& list)
{
    std::pair<WorkList, WorkList> split;
    for (const std::shared_ptr<PieceWork>& work : list)
        (work->isLineItem() ? split.second : split.first).append(work);
    return split;
}

bool MyDocument::anyNegativesIn(const WorkList& list)
{
    return std::any_of(list.cbegin(), list.cend(),
                       [](const std::shared_ptr<PieceWork>& work) { return work->rate() < 0; });
}

QString MyDocument::dashes(int count)
{
    return count > 0 ? Preferences::dashString().repeated(count) : QString();
}

QString MyDocument::dateString()
{
    const bool euro = SettingsStore::shared().boolForKey(EuroDates);
    return CalendarFormat::format(Clock::now(), euro ? QStringLiteral("%d.%m.%Y") : QStringLiteral("%A, %B %d %Y"),
                                  CalendarFormat::Names::Locale);
}

ParagraphStyle MyDocument::defaultParagraphStyle()
{
    ParagraphStyle style;
    addTabStops(style);
    return style;
}

void MyDocument::addTabStops(ParagraphStyle& style)
{
    // The description column starts at 288; long descriptions wrap under it.
    style.tabStops = {82, 144, 216, 288, 360, 432, 504};
    style.headIndent = 288;
}

ParagraphStyle MyDocument::alignedStyle(int alignment)
{
    if (alignment == ParagraphStyle::Right || alignment == ParagraphStyle::Centered)
        return ParagraphStyle(static_cast<ParagraphStyle::Alignment>(alignment));
    if (alignment == ParagraphStyle::Left)
        return defaultParagraphStyle();
    return ParagraphStyle();
}

StyledText MyDocument::richInvoiceString()
{
    const QString remitAddress = settingText(RemitAddress);
    const QString logoPath = invoiceLogoPath();
    if (logoPath.isEmpty())
        return invoiceString();

    const QFont font = Preferences::reportFont();
    StyledText text(coreString(true), TextAttributes(font, alignedStyle(ParagraphStyle::Left)));
    text.insert(0, attStringForImagePath(logoPath));

    if (const auto title = text.find(Preferences::invoiceString())) {
        text.setFont(font, *title);
        text.setParagraphStyle(alignedStyle(ParagraphStyle::Centered), *title);
    }
    if (const auto date = text.find(dateString()))
        text.setParagraphStyle(alignedStyle(ParagraphStyle::Right), *date);

    if (ignoreMoney())
        return text;

    const TextAttributes closing(font, ParagraphStyle());
    if (totalGrandTotalInWorkList(applicableWork()) <= 0) {
        text.append(Preferences::creditString(), closing);
    } else {
        text.append(Preferences::dueNowString(), closing);
        text.append(remitAddress, closing);
    }
    return text;
}

QFont MyDocument::italicFont()
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSizeF(12);
    font.setItalic(true);
    return font;
}

void MyDocument::viewInvoiceAction()
{
    if (InvoicerInterface* shown = invoicer())
        shown->loadInvoiceForDocument(this);
}

void MyDocument::viewRichInvoiceAction()
{
    if (InvoicerInterface* shown = invoicer())
        shown->loadRichInvoiceForDocument(this);
}

void MyDocument::printDocument()
{
    viewRichInvoiceAction();
    if (InvoicerInterface* shown = invoicer())
        shown->printInvoiceAction(this);
}
