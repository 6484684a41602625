#pragma once

#include "PlugIns/ReporterInterface.h"
#include "VDReporter.h"

#include <QDate>

#include <optional>
#include <utility>

// The one report viewer of the program: reports and summaries of client documents over this
// month, over all their dates, or over a span the user is asked for.
class Reporter : public VDReporter, public ReporterInterface
{
    Q_OBJECT
    Q_INTERFACES(ReporterInterface)

public:
    // Start and end, both days included.
    using DatePair = std::pair<QDate, QDate>;

    explicit Reporter(QWidget* parent = nullptr);

    // Made on first request; lives until the process ends.
    static Reporter* sharedInstance();

    void loadThisMonthsReportForDocument(MyDocument* client) override;
    void loadAllReport(MyDocument* client) override;
    void loadAnyReport(MyDocument* client) override;

    void loadThisMonthsReports(const QList<MyDocument*>& clients) override;
    void loadAllReports(const QList<MyDocument*>& clients) override;
    void loadAnyReports(const QList<MyDocument*>& clients) override;

    void summarizeThisMonthsReports(const QList<MyDocument*>& clients) override;
    void summarizeAllReports(const QList<MyDocument*>& clients) override;
    void summarizeAnyReports(const QList<MyDocument*>& clients) override;

    // The first to the last day of the current month.
    static DatePair thisMonth();
    // From the earliest start to the latest end of the documents' work; today when none has any.
    static DatePair allDates(const QList<MyDocument*>& clients);
    // Asked with the date-range prompt, proposing all dates; none when cancelled or unreadable.
    static std::optional<DatePair> askedDates(const QList<MyDocument*>& clients);

private:
    void showReport(MyDocument* client, const DatePair& span);
    void showReports(const QList<MyDocument*>& clients, const DatePair& span);
    void showSummary(const QList<MyDocument*>& clients, const DatePair& span);
    void showText(const StyledText& shown, const QString& title);
};
