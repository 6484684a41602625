#pragma once

#include <QDate>
#include <QStringList>
#include <QTextStream>

#include <memory>
#include <vector>

class MyDocument;

// The command-line tool: totals, invoices, reports, summaries and exports of client documents,
// computed by the same library as the application and without windows. Documents are only read,
// never written.
class CommandLineTool
{
public:
    CommandLineTool();
    ~CommandLineTool();

    // Arguments without the program name; answers the exit status.
    int run(QStringList arguments);

private:
    using Documents = std::vector<std::unique_ptr<MyDocument>>;

    int totals(const QStringList& arguments);
    int invoice(const QStringList& arguments);
    int report(const QStringList& arguments);
    int summary(const QStringList& arguments);
    int exportWork(const QStringList& arguments);
    int mailScript(const QStringList& arguments);

    bool takeSettingOverrides(QStringList& arguments);
    bool openDocuments(const QStringList& paths, Documents& documents);
    bool readDateSpan(const QString& from, const QString& to, QDate& start, QDate& end);
    bool wantsHelp(const QStringList& arguments, const QString& command);
    int usageError(const QString& message);
    int failure(const QString& message);

    QTextStream _out;
    QTextStream _err;
};
