#include "MyDocument.h"

#include "Alert.h"
#include "CalendarFormat.h"
#include "Constants.h"
#include "Localized.h"
#include "PlugIns/ReporterInterface.h"
#include "Preferences.h"
#include "SettingsStore.h"

#include <algorithm>

namespace {

using Documents = QList<MyDocument*>;
using DocumentTotal = float (MyDocument::*)(const WorkList&) const;

bool moneyIgnored()
{
    return SettingsStore::shared().boolForKey(IgnoreMoney);
}

TextAttributes reportAttributes(ParagraphStyle::Alignment alignment)
{
    return TextAttributes(Preferences::reportFont(), MyDocument::alignedStyle(alignment));
}

QDateTime startOf(const QDate& date)
{
    return date.startOfDay();
}

QString formattedDate(const QDate& date)
{
    return CalendarFormat::format(startOf(date), MyDocument::dateFormat());
}

// "<start> through <end>", as the headings of reports and summaries name a span.
QString spanText(const QDate& start, const QDate& end)
{
    return QStringLiteral("%1 %2 %3").arg(formattedDate(start), Preferences::throughString(), formattedDate(end));
}

// Eight columns when equity is needed, six otherwise; the third stays empty (tabs kept) when
// money is ignored.
QString summaryLine(QStringList columns, bool equity)
{
    if (moneyIgnored())
        columns[2].clear();
    if (!equity)
        columns.resize(6);
    return columns.join(u'\t') + u'\n';
}

QString summaryHeader(bool equity)
{
    const QStringList headings {Preferences::expensesString(), Preferences::totalHoursString(),
                                Preferences::rawHoursString(), Preferences::taxString(),
                                Preferences::totalString(),    Preferences::stillUnpaidString(),
                                Preferences::sharesString(),   Preferences::cashString()};
    const QString rule = MyDocument::dashes(6);
    const QStringList rules(headings.size(), rule);
    return summaryLine(headings, equity) + summaryLine(rules, equity);
}

// The row ends without a line break; the caller adds the blank line.
QString summaryRow(const QStringList& values, bool equity)
{
    QString row = summaryLine(values, equity);
    row.chop(1);
    return row;
}

// Each document adds its own total of its entries in the span, last document first.
float sumOver(const Documents& documents, const QDate& start, const QDate& end, DocumentTotal total)
{
    float sum = 0;
    for (auto document = documents.crbegin(); document != documents.crend(); ++document) {
        if (!*document)
            continue;
        const WorkList inSpan = (*document)->workInDates(startOf(start), startOf(end));
        sum += ((*document)->*total)(inSpan);
    }
    return sum;
}

ReporterInterface* reporter()
{
    return qobject_cast<ReporterInterface*>(MyDocument::sharedInstanceOfClassName(QStringLiteral("Reporter")));
}

} // namespace

// Reports ------------------------------------------------------------------------------------

StyledText MyDocument::reportStringForDates(const QDate& start, const QDate& end) const
{
    const WorkList inSpan = workInDates(startOf(start), startOf(end));
    const MoneyFormatter formatter = numberFormatter();
    const TextAttributes body = reportAttributes(ParagraphStyle::Left);

    StyledText report(QStringLiteral("\n%1\n").arg(dateString()), reportAttributes(ParagraphStyle::Right));
    report.append(QStringLiteral("\n%1: %2\n").arg(clientAndProject(), spanText(start, end)), body);
    report.append(workDescription(inSpan, formatter), body);
    report.append(totalsString(inSpan, formatter), body);
    report.append(QStringLiteral("\n\n"));
    return report;
}

// A logo file that is missing or holds no image adds nothing.
StyledText MyDocument::richReportOfMonthsInDates(const QDate& start, const QDate& end) const
{
    StyledText report = reportStringForDates(start, end);
    const QString logoPath = SettingsStore::shared().stringForKey(CompanyLogoPath);
    if (!logoPath.isEmpty())
        report.insert(0, attStringForImagePath(logoPath));
    return report;
}

// Entries without a readable start time are passed over; an empty list answers an invalid
// date-time.
QDateTime MyDocument::firstDate() const
{
    QDateTime first;
    for (const auto& work : _workList) {
        const QDateTime start = work->startTime();
        if (start.isValid() && (!first.isValid() || start < first))
            first = start;
    }
    return first;
}

// An empty list answers an invalid date-time, not the current time: there is nothing to end.
QDateTime MyDocument::lastDate() const
{
    if (_workList.isEmpty())
        return {};
    QDateTime last;
    for (const auto& work : _workList) {
        const QDateTime end = endTime(*work);
        if (end.isValid() && (!last.isValid() || end > last))
            last = end;
    }
    return last.isValid() ? last : PieceWork::nowToNearestMinute(true);
}

QDateTime MyDocument::endTime(const PieceWork& work)
{
    if (work.isLineItem() || !work.endTime().isValid())
        return work.startTime();
    return work.endTime();
}

QString MyDocument::dateFormat()
{
    return SettingsStore::shared().boolForKey(EuroDates) ? QStringLiteral("%d.%m.%Y") : QStringLiteral("%m/%d/%Y");
}

QString MyDocument::clientAndProject() const
{
    if (_clientName.isEmpty() && _projectName.isEmpty())
        return QStringLiteral("??");
    if (_projectName.isEmpty())
        return _clientName;
    if (_clientName.isEmpty())
        return _projectName;
    return QStringLiteral("%1 - %2").arg(_clientName, _projectName);
}

// Summaries ----------------------------------------------------------------------------------

QString MyDocument::summaryHeaderFor(const QList<MyDocument*>& documents)
{
    return summaryHeader(equityNeeded(documents));
}

float MyDocument::hoursSummary(const QList<MyDocument*>& documents, const QDate& start, const QDate& end)
{
    return sumOver(documents, start, end, &MyDocument::hoursInWorkList);
}

float MyDocument::expensesSummary(const QList<MyDocument*>& documents, const QDate& start, const QDate& end)
{
    return sumOver(documents, start, end, &MyDocument::totalExpensesInWorkList);
}

float MyDocument::earnedSummary(const QList<MyDocument*>& documents, const QDate& start, const QDate& end)
{
    return sumOver(documents, start, end, &MyDocument::totalEarnedInWorkList);
}

float MyDocument::taxSummary(const QList<MyDocument*>& documents, const QDate& start, const QDate& end)
{
    return sumOver(documents, start, end, &MyDocument::totalTaxedInWorkList);
}

float MyDocument::totalSummary(const QList<MyDocument*>& documents, const QDate& start, const QDate& end)
{
    return sumOver(documents, start, end, &MyDocument::totalGrandTotalInWorkList);
}

float MyDocument::unpaidSummary(const QList<MyDocument*>& documents, const QDate& start, const QDate& end)
{
    return sumOver(documents, start, end, &MyDocument::totalUnpaidInWorkList);
}

float MyDocument::sharesSummary(const QList<MyDocument*>& documents, const QDate& start, const QDate& end)
{
    return sumOver(documents, start, end, &MyDocument::totalSharesInWorkList);
}

float MyDocument::cashSummary(const QList<MyDocument*>& documents, const QDate& start, const QDate& end)
{
    return sumOver(documents, start, end, &MyDocument::totalCashInList);
}

// The figures are written with this document's separators. An empty list has no first client to
// name, so its title is empty.
void MyDocument::summarize(const QList<MyDocument*>& documents, const QDate& start, const QDate& end,
                           StyledText& target, bool isGrandTotal) const
{
    const MyDocument* first = documents.isEmpty() ? nullptr : documents.first();
    const QString title = isGrandTotal ? Preferences::grandTotalString() : first ? first->clientName() : QString();
    const bool equity = equityNeeded(documents);

    QString text = QStringLiteral("\n\n%1\t%2\n\n").arg(title, spanText(start, end));
    text += summaryHeader(equity);
    text += summaryRow({formatFloat(expensesSummary(documents, start, end)),
                        formatFloat(hoursSummary(documents, start, end)),
                        formatFloat(earnedSummary(documents, start, end)),
                        formatFloat(taxSummary(documents, start, end)),
                        formatFloat(totalSummary(documents, start, end)),
                        formatFloat(unpaidSummary(documents, start, end)),
                        formatFloat(sharesSummary(documents, start, end)),
                        formatFloat(cashSummary(documents, start, end))},
                       equity);
    text += QStringLiteral("\n\n");
    appendString(text, target);
}

void MyDocument::summarizeDates(const QDate& start, const QDate& end, StyledText& target) const
{
    const WorkList inSpan = workInDates(startOf(start), startOf(end));
    // The list holding only this document needs equity exactly when this document has some.
    const bool equity = _equityPercent > 0;

    QString text = QStringLiteral("\n%1\t%2\t\t%3\n").arg(_clientName, _projectName, spanText(start, end));
    text += summaryHeader(equity);
    text += summaryRow({formatFloat(totalExpensesInWorkList(inSpan)), formatFloat(hoursInWorkList(inSpan)),
                        formatFloat(totalEarnedInWorkList(inSpan)), formatFloat(totalTaxedInWorkList(inSpan)),
                        formatFloat(totalGrandTotalInWorkList(inSpan)),
                        formatFloat(totalUnpaidInWorkList(inSpan)), sharesInWorkList(inSpan),
                        formatFloat(totalCashInList(inSpan))},
                       equity);
    text += QStringLiteral("\n\n");
    appendString(text, target);
}

bool MyDocument::equityNeeded(const QList<MyDocument*>& documents)
{
    return std::any_of(documents.cbegin(), documents.cend(),
                       [](const MyDocument* document) { return document && document->equityPercent() > 0; });
}

void MyDocument::appendString(const QString& text, StyledText& target)
{
    target.append(text, reportAttributes(ParagraphStyle::Left));
}

// Empty when the file is missing or holds no image we can read.
StyledText MyDocument::attStringForImagePath(const QString& path)
{
    StyledText attachment = StyledText::attachmentForImagePath(path);
    attachment.setParagraphStyle(alignedStyle(ParagraphStyle::Centered), attachment.fullRange());
    return attachment;
}

// Report commands ----------------------------------------------------------------------------

void MyDocument::thisMonthReportAction()
{
    if (ReporterInterface* shown = reporter())
        shown->loadThisMonthsReportForDocument(this);
}

void MyDocument::allReportAction()
{
    if (ReporterInterface* shown = reporter())
        shown->loadAllReport(this);
}

void MyDocument::anyReportAction()
{
    if (_workList.isEmpty()) {
        Alert::run(localized("No Work Sessions!"),
                   localized("You have not recorded any works sessions with this client. Click 'New' to make a "
                             "new session, then create a report."),
                   localized("OK", "VelmorStrings"));
        return;
    }
    if (ReporterInterface* shown = reporter())
        shown->loadAnyReport(this);
}
