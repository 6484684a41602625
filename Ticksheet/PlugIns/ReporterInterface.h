#pragma once

#include <QList>
#include <QObject>

class MyDocument;

// Shows reports and summaries of client documents over this month, all dates, or a span the
// user chooses. The lists come sorted by client and project name. No caller reads a result.
class ReporterInterface
{
public:
    virtual ~ReporterInterface() = default;

    // A report of one document over the current month.
    virtual void loadThisMonthsReportForDocument(MyDocument* document) = 0;
    // A report of one document over all its entries.
    virtual void loadAllReport(MyDocument* document) = 0;
    // A report of one document over a span the user is asked for.
    virtual void loadAnyReport(MyDocument* document) = 0;

    // The same reports for every document of the list.
    virtual void loadThisMonthsReports(const QList<MyDocument*>& documents) = 0;
    virtual void loadAllReports(const QList<MyDocument*>& documents) = 0;
    virtual void loadAnyReports(const QList<MyDocument*>& documents) = 0;

    // Summaries of the documents over the same three kinds of span.
    virtual void summarizeThisMonthsReports(const QList<MyDocument*>& documents) = 0;
    virtual void summarizeAllReports(const QList<MyDocument*>& documents) = 0;
    virtual void summarizeAnyReports(const QList<MyDocument*>& documents) = 0;
};

#define ReporterInterface_iid "com.velmor.Tallywick.Reporter/1.0"
Q_DECLARE_INTERFACE(ReporterInterface, ReporterInterface_iid)
