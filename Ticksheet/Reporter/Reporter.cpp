#include "Reporter.h"

#include "Clock.h"
#include "Localized.h"
#include "MyDocument.h"
#include "PlugIns/DateRangeAskerInterface.h"
#include "StyledText.h"

namespace {

QList<MyDocument*> withoutMissing(QList<MyDocument*> clients)
{
    clients.removeAll(nullptr);
    return clients;
}

bool startsWithLogo(const StyledText& text)
{
    return text.string().startsWith(QChar::ObjectReplacementCharacter);
}

} // namespace

Reporter::Reporter(QWidget* parent)
    : VDReporter(parent)
{
    setObjectName(QStringLiteral("Reporter"));
}

Reporter* Reporter::sharedInstance()
{
    static Reporter* shared = new Reporter;
    return shared;
}

// Spans ---------------------------------------------------------------------------------------

Reporter::DatePair Reporter::thisMonth()
{
    const QDate today = Clock::now().date();
    return {QDate(today.year(), today.month(), 1), QDate(today.year(), today.month(), today.daysInMonth())};
}

// A document without work has no first or last date to offer and is passed over.
Reporter::DatePair Reporter::allDates(const QList<MyDocument*>& clients)
{
    QDate first;
    QDate last;
    for (const MyDocument* client : clients) {
        if (!client || client->workList().isEmpty())
            continue;
        const QDate start = client->firstDate().date();
        const QDate end = client->lastDate().date();
        if (start.isValid() && (!first.isValid() || start < first))
            first = start;
        if (end.isValid() && (!last.isValid() || end > last))
            last = end;
    }
    if (!first.isValid() && !last.isValid())
        first = last = Clock::now().date();
    return {first.isValid() ? first : last, last.isValid() ? last : first};
}

std::optional<Reporter::DatePair> Reporter::askedDates(const QList<MyDocument*>& clients)
{
    auto* asker = qobject_cast<DateRangeAskerInterface*>(
        MyDocument::sharedInstanceOfClassName(QStringLiteral("DateRangeAsker")));
    if (!asker)
        return std::nullopt;
    const DatePair proposal = allDates(clients);
    const std::optional<QList<QDate>> answer = asker->datesForDates({proposal.first, proposal.second});
    if (!answer || answer->size() < 2)
        return std::nullopt;
    return DatePair(answer->at(0), answer->at(1));
}

// One document ---------------------------------------------------------------------------------

void Reporter::loadThisMonthsReportForDocument(MyDocument* client)
{
    if (client)
        showReport(client, thisMonth());
}

void Reporter::loadAllReport(MyDocument* client)
{
    if (client)
        showReport(client, allDates({client}));
}

void Reporter::loadAnyReport(MyDocument* client)
{
    if (!client)
        return;
    if (const std::optional<DatePair> span = askedDates({client}))
        showReport(client, *span);
}

void Reporter::showReport(MyDocument* client, const DatePair& span)
{
    document = client;
    documents.clear();
    showText(client->richReportOfMonthsInDates(span.first, span.second),
             localized("Report: %1").arg(client->clientAndProject()));
}

// Several documents -------------------------------------------------------------------------------

void Reporter::loadThisMonthsReports(const QList<MyDocument*>& clients)
{
    showReports(withoutMissing(clients), thisMonth());
}

void Reporter::loadAllReports(const QList<MyDocument*>& clients)
{
    const QList<MyDocument*> shown = withoutMissing(clients);
    showReports(shown, allDates(shown));
}

void Reporter::loadAnyReports(const QList<MyDocument*>& clients)
{
    const QList<MyDocument*> shown = withoutMissing(clients);
    if (shown.isEmpty())
        return;
    if (const std::optional<DatePair> span = askedDates(shown))
        showReports(shown, *span);
}

// The logo, when one is set, heads the first report only.
void Reporter::showReports(const QList<MyDocument*>& clients, const DatePair& span)
{
    if (clients.isEmpty())
        return;
    StyledText reports = clients.first()->richReportOfMonthsInDates(span.first, span.second);
    for (qsizetype i = 1; i < clients.size(); ++i)
        reports.append(clients.at(i)->reportStringForDates(span.first, span.second));
    document = nullptr;
    documents = {clients.cbegin(), clients.cend()};
    showText(reports, localized("Reports of All Clients"));
}

void Reporter::summarizeThisMonthsReports(const QList<MyDocument*>& clients)
{
    showSummary(withoutMissing(clients), thisMonth());
}

void Reporter::summarizeAllReports(const QList<MyDocument*>& clients)
{
    const QList<MyDocument*> shown = withoutMissing(clients);
    showSummary(shown, allDates(shown));
}

void Reporter::summarizeAnyReports(const QList<MyDocument*>& clients)
{
    const QList<MyDocument*> shown = withoutMissing(clients);
    if (shown.isEmpty())
        return;
    if (const std::optional<DatePair> span = askedDates(shown))
        showSummary(shown, *span);
}

// One summary per document in list order, then the grand total of them all, written with the
// first document's money format.
void Reporter::showSummary(const QList<MyDocument*>& clients, const DatePair& span)
{
    if (clients.isEmpty())
        return;
    StyledText summary;
    for (const MyDocument* client : clients)
        client->summarizeDates(span.first, span.second, summary);
    clients.first()->summarize(clients, span.first, span.second, summary, true);
    document = nullptr;
    documents = {clients.cbegin(), clients.cend()};
    showText(summary, localized("Summary of All Clients"));
}

void Reporter::showText(const StyledText& shown, const QString& title)
{
    isRich = startsWithLogo(shown);
    loadText(shown, true);
    setWindowTitle(title);
    showWindow();
}
