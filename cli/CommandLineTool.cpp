#include "CommandLineTool.h"

#include "Constants.h"
#include "ExportColumns.h"
#include "Exporter.h"
#include "FileWriter.h"
#include "JsonNumber.h"
#include "MailScripts.h"
#include "MyDocument.h"
#include "Preferences.h"
#include "SettingsStore.h"
#include "StyledText.h"
#include "VelmorPreferences.h"

#include <QFileInfo>

#include <cstdio>
#include <functional>

namespace {

const char* const generalHelp = R"(Usage: tallywick [--set KEY=VALUE]... COMMAND [OPTIONS] FILE...

Reads Tallywick client documents (.tickSheet) and writes what the application would show or save.
Documents are never changed. Settings come from the same store as the application
(TALLYWICK_SETTINGS names another settings file).

Commands:
  totals FILE                         the totals of the document, as one JSON object
  invoice FILE [--rich] [--out PATH]  the invoice of the unpaid entries (takes an invoice number)
  report FILE --from DATE --to DATE   the report of the entries started in the span
  summary FILE... --from DATE --to DATE [--each]
                                      a grand-total summary, or one summary per document
  export FILE... [--columns LIST] [--no-headers] [--out PATH]
                                      the tab-delimited export
  mail-script FILE [--rich]           the script that e-mailing the invoice would run (takes an
                                      invoice number; nothing is sent)

Options for every command:
  --set KEY=VALUE   use VALUE for the setting KEY in this run only (repeatable; nothing is saved)
  --help            this text, or the help of one command with COMMAND --help

Dates are written YYYY-MM-DD. Errors go to standard error with a non-zero exit status.
)";

const char* const totalsHelp = R"(Usage: tallywick totals FILE

Prints one JSON object. Over the whole work list: hoursInWorkList, totalEarnedInWorkList,
totalExpensesInWorkList, totalExpensesTaxableInList, totalExpensesAndEarnedInWorkList,
totalEquityInList, totalCashInList, totalSharesInWorkList, totalTaxedInWorkList,
totalGrandTotalInWorkList, totalUnpaidInWorkList, amountPaidInWorkList. As the client window shows
them: total, taxableAmount, grandTotal, amountPaid, cashOwed, cashEarned, equityEarned,
sharesEarned. Numbers are the shortest text that reads back to the same single-precision value.
)";

const char* const invoiceHelp = R"(Usage: tallywick invoice FILE [--rich] [--out PATH]

Writes the characters of the plain invoice (or, with --rich, of the rich invoice, where the logo
is the character U+FFFC) to standard output. With --out the styled invoice is written to PATH
instead, in the format of its extension: .pdf, .rtf, .rtfd or .txt. Like viewing an invoice in
the application, this takes the next invoice number when numbering is on.
)";

const char* const reportHelp = R"(Usage: tallywick report FILE --from YYYY-MM-DD --to YYYY-MM-DD

Writes the characters of the report of the entries that started in the span, both days included.
)";

const char* const summaryHelp = R"(Usage: tallywick summary FILE... --from YYYY-MM-DD --to YYYY-MM-DD [--each]

Takes the documents in client-then-project order and writes one grand-total summary of all of
them, or with --each one summary per document, to standard output.
)";

const char* const exportHelp = R"(Usage: tallywick export FILE... [--columns LIST] [--no-headers] [--out PATH]

Writes the tab-delimited export of the documents (several documents: in client-then-project order,
as "export all open" does) to standard output, or to PATH. LIST is a comma list of client,
project, date, start, end, time, rate, amount, description, paid; by default all ten. A heading
line comes first unless --no-headers is given.
)";

const char* const mailScriptHelp = R"(Usage: tallywick mail-script FILE [--rich]

Prints the script that e-mailing the invoice (with --rich, the rich invoice) of the document would
run for the mail client named in the "Mailer" setting: to the client's e-mail, with the invoice's
name as subject and the "CCAdress" setting as copy. Nothing is sent. Like viewing an invoice in
the application, this takes the next invoice number when numbering is on.
)";

// The name the report viewer gives an invoice, the subject of its mail.
QString invoiceName(const MyDocument& document)
{
    if (!Preferences::wantsInvoiceNumber())
        return Preferences::invoiceString();
    return QStringLiteral("%1 # %2").arg(Preferences::invoiceString(), document.invoiceNumber());
}

// Takes "--name VALUE" out of the arguments; false when the value is missing.
bool takeOption(QStringList& arguments, const QString& name, QString& value)
{
    const qsizetype index = arguments.indexOf(name);
    if (index < 0)
        return true;
    if (index + 1 >= arguments.size())
        return false;
    value = arguments.at(index + 1);
    arguments.remove(index, 2);
    return true;
}

bool takeFlag(QStringList& arguments, const QString& name)
{
    return arguments.removeAll(name) > 0;
}

QString firstUnknownOption(const QStringList& arguments)
{
    for (const QString& argument : arguments) {
        if (argument.startsWith(QLatin1String("--")))
            return argument;
    }
    return {};
}

} // namespace

CommandLineTool::CommandLineTool()
    : _out(stdout)
    , _err(stderr)
{
}

CommandLineTool::~CommandLineTool() = default;

int CommandLineTool::run(QStringList arguments)
{
    VelmorPreferences::initialize();
    Preferences::initialize();
    if (!takeSettingOverrides(arguments))
        return usageError(QStringLiteral("--set needs KEY=VALUE"));
    if (arguments.isEmpty())
        return usageError(QStringLiteral("no command given"));
    const QString command = arguments.takeFirst();
    if (command == QLatin1String("--help") || command == QLatin1String("help")) {
        _out << generalHelp;
        return 0;
    }
    const std::vector<std::pair<QString, std::function<int(const QStringList&)>>> commands {
        {QStringLiteral("totals"), [this](const QStringList& a) { return totals(a); }},
        {QStringLiteral("invoice"), [this](const QStringList& a) { return invoice(a); }},
        {QStringLiteral("report"), [this](const QStringList& a) { return report(a); }},
        {QStringLiteral("summary"), [this](const QStringList& a) { return summary(a); }},
        {QStringLiteral("export"), [this](const QStringList& a) { return exportWork(a); }},
        {QStringLiteral("mail-script"), [this](const QStringList& a) { return mailScript(a); }},
    };
    for (const auto& [name, handler] : commands) {
        if (name == command)
            return handler(arguments);
    }
    return usageError(QStringLiteral("unknown command \"%1\"").arg(command));
}

bool CommandLineTool::takeSettingOverrides(QStringList& arguments)
{
    for (qsizetype index = arguments.indexOf(QStringLiteral("--set")); index >= 0;
         index = arguments.indexOf(QStringLiteral("--set"))) {
        if (index + 1 >= arguments.size())
            return false;
        const QString assignment = arguments.at(index + 1);
        const qsizetype equals = assignment.indexOf(QLatin1Char('='));
        if (equals <= 0)
            return false;
        SettingsStore::shared().setOverride(assignment.left(equals), assignment.mid(equals + 1));
        arguments.remove(index, 2);
    }
    return true;
}

bool CommandLineTool::wantsHelp(const QStringList& arguments, const QString& command)
{
    if (!arguments.contains(QStringLiteral("--help")))
        return false;
    static const QHash<QString, const char*> help {
        {QStringLiteral("totals"), totalsHelp},   {QStringLiteral("invoice"), invoiceHelp},
        {QStringLiteral("report"), reportHelp},   {QStringLiteral("summary"), summaryHelp},
        {QStringLiteral("export"), exportHelp},
        {QStringLiteral("mail-script"), mailScriptHelp},
    };
    _out << help.value(command, generalHelp);
    return true;
}

int CommandLineTool::usageError(const QString& message)
{
    _err << "tallywick: " << message << "\n" << "Try 'tallywick --help'.\n";
    return 2;
}

int CommandLineTool::failure(const QString& message)
{
    _err << "tallywick: " << message << "\n";
    return 1;
}

bool CommandLineTool::openDocuments(const QStringList& paths, Documents& documents)
{
    for (const QString& path : paths) {
        auto document = std::make_unique<MyDocument>();
        if (!document->readFromFile(path, DocumentType)) {
            failure(document->errorString());
            return false;
        }
        documents.push_back(std::move(document));
    }
    return true;
}

bool CommandLineTool::readDateSpan(const QString& from, const QString& to, QDate& start, QDate& end)
{
    start = QDate::fromString(from, Qt::ISODate);
    end = QDate::fromString(to, Qt::ISODate);
    if (from.isEmpty() || to.isEmpty()) {
        usageError(QStringLiteral("--from and --to are both needed"));
        return false;
    }
    if (!start.isValid() || !end.isValid()) {
        usageError(QStringLiteral("dates are written YYYY-MM-DD"));
        return false;
    }
    return true;
}

int CommandLineTool::totals(const QStringList& arguments)
{
    if (wantsHelp(arguments, QStringLiteral("totals")))
        return 0;
    if (!firstUnknownOption(arguments).isEmpty())
        return usageError(QStringLiteral("unknown option %1").arg(firstUnknownOption(arguments)));
    if (arguments.size() != 1)
        return usageError(QStringLiteral("totals takes one FILE"));
    Documents documents;
    if (!openDocuments(arguments, documents))
        return 1;
    const MyDocument& document = *documents.front();
    const WorkList list = document.workList();
    const std::vector<std::pair<const char*, float>> figures {
        {"hoursInWorkList", document.hoursInWorkList(list)},
        {"totalEarnedInWorkList", document.totalEarnedInWorkList(list)},
        {"totalExpensesInWorkList", document.totalExpensesInWorkList(list)},
        {"totalExpensesTaxableInList", document.totalExpensesTaxableInList(list)},
        {"totalExpensesAndEarnedInWorkList", document.totalExpensesAndEarnedInWorkList(list)},
        {"totalEquityInList", document.totalEquityInList(list)},
        {"totalCashInList", document.totalCashInList(list)},
        {"totalSharesInWorkList", document.totalSharesInWorkList(list)},
        {"totalTaxedInWorkList", document.totalTaxedInWorkList(list)},
        {"totalGrandTotalInWorkList", document.totalGrandTotalInWorkList(list)},
        {"totalUnpaidInWorkList", document.totalUnpaidInWorkList(list)},
        {"amountPaidInWorkList", document.amountPaidInWorkList(list)},
        {"total", document.total(true)},
        {"taxableAmount", document.taxableAmount(true)},
        {"grandTotal", document.grandTotal(true)},
        {"amountPaid", document.amountPaid()},
        {"cashOwed", document.cashOwed(true)},
        {"cashEarned", document.cashEarned(true)},
        {"equityEarned", document.equityEarned(true)},
        {"sharesEarned", document.sharesEarned(true)},
    };
    _out << "{";
    for (std::size_t i = 0; i < figures.size(); ++i)
        _out << (i ? ", " : "") << '"' << figures[i].first << "\": " << jsonNumber(figures[i].second);
    _out << "}\n";
    return 0;
}

int CommandLineTool::invoice(const QStringList& arguments)
{
    if (wantsHelp(arguments, QStringLiteral("invoice")))
        return 0;
    QStringList rest = arguments;
    QString out;
    if (!takeOption(rest, QStringLiteral("--out"), out))
        return usageError(QStringLiteral("--out needs a PATH"));
    const bool rich = takeFlag(rest, QStringLiteral("--rich"));
    if (!firstUnknownOption(rest).isEmpty())
        return usageError(QStringLiteral("unknown option %1").arg(firstUnknownOption(rest)));
    if (rest.size() != 1)
        return usageError(QStringLiteral("invoice takes one FILE"));
    const QString extension = QFileInfo(out).suffix().toLower();
    static const QStringList formats {"pdf", "rtf", "rtfd", "txt"};
    if (!out.isEmpty() && !formats.contains(extension))
        return usageError(QStringLiteral("--out must end in .pdf, .rtf, .rtfd or .txt"));

    Documents documents;
    if (!openDocuments(rest, documents))
        return 1;
    MyDocument& document = *documents.front();
    const StyledText text = rich ? document.richInvoiceString() : document.invoiceString();
    if (out.isEmpty()) {
        _out << text.string();
        return 0;
    }
    QString error;
    bool written = false;
    if (extension == QLatin1String("pdf"))
        written = text.writePdf(out, &error);
    else if (extension == QLatin1String("rtf"))
        written = text.writeRtf(out, &error);
    else if (extension == QLatin1String("rtfd"))
        written = text.writeRtfd(out, &error);
    else
        written = text.writePlainText(out, &error);
    return written ? 0 : failure(QStringLiteral("cannot write %1: %2").arg(out, error));
}

int CommandLineTool::report(const QStringList& arguments)
{
    if (wantsHelp(arguments, QStringLiteral("report")))
        return 0;
    QStringList rest = arguments;
    QString from, to;
    if (!takeOption(rest, QStringLiteral("--from"), from) || !takeOption(rest, QStringLiteral("--to"), to))
        return usageError(QStringLiteral("--from and --to need a date"));
    if (!firstUnknownOption(rest).isEmpty())
        return usageError(QStringLiteral("unknown option %1").arg(firstUnknownOption(rest)));
    if (rest.size() != 1)
        return usageError(QStringLiteral("report takes one FILE"));
    QDate start, end;
    if (!readDateSpan(from, to, start, end))
        return 2;
    Documents documents;
    if (!openDocuments(rest, documents))
        return 1;
    _out << documents.front()->reportStringForDates(start, end).string();
    return 0;
}

int CommandLineTool::summary(const QStringList& arguments)
{
    if (wantsHelp(arguments, QStringLiteral("summary")))
        return 0;
    QStringList rest = arguments;
    QString from, to;
    if (!takeOption(rest, QStringLiteral("--from"), from) || !takeOption(rest, QStringLiteral("--to"), to))
        return usageError(QStringLiteral("--from and --to need a date"));
    const bool each = takeFlag(rest, QStringLiteral("--each"));
    if (!firstUnknownOption(rest).isEmpty())
        return usageError(QStringLiteral("unknown option %1").arg(firstUnknownOption(rest)));
    if (rest.isEmpty())
        return usageError(QStringLiteral("summary takes at least one FILE"));
    QDate start, end;
    if (!readDateSpan(from, to, start, end))
        return 2;
    Documents documents;
    if (!openDocuments(rest, documents))
        return 1;
    QList<MyDocument*> sorted;
    for (const auto& document : documents)
        sorted.append(document.get());
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const MyDocument* a, const MyDocument* b) { return a->compare(*b) < 0; });
    StyledText target;
    if (each) {
        for (MyDocument* document : sorted)
            document->summarizeDates(start, end, target);
    } else {
        sorted.front()->summarize(sorted, start, end, target, true);
    }
    _out << target.string();
    return 0;
}

int CommandLineTool::exportWork(const QStringList& arguments)
{
    if (wantsHelp(arguments, QStringLiteral("export")))
        return 0;
    QStringList rest = arguments;
    QString columns = ExportColumns::columnNames().join(QLatin1Char(','));
    QString out;
    if (!takeOption(rest, QStringLiteral("--columns"), columns))
        return usageError(QStringLiteral("--columns needs a LIST"));
    if (!takeOption(rest, QStringLiteral("--out"), out))
        return usageError(QStringLiteral("--out needs a PATH"));
    const bool headers = !takeFlag(rest, QStringLiteral("--no-headers"));
    if (!firstUnknownOption(rest).isEmpty())
        return usageError(QStringLiteral("unknown option %1").arg(firstUnknownOption(rest)));
    if (rest.isEmpty())
        return usageError(QStringLiteral("export takes at least one FILE"));
    QString error;
    std::optional<ExportColumns> options = ExportColumns::fromList(columns, &error);
    if (!options)
        return usageError(error);
    options->setSaveHeaders(headers);

    Documents documents;
    if (!openDocuments(rest, documents))
        return 1;
    QList<MyDocument*> list;
    for (const auto& document : documents)
        list.append(document.get());
    const QString text = Exporter::exportText(list, *options);
    if (out.isEmpty()) {
        _out << text;
        return 0;
    }
    return FileWriter::writeToFile(text, out) ? 0 : failure(QStringLiteral("cannot write %1").arg(out));
}

int CommandLineTool::mailScript(const QStringList& arguments)
{
    if (wantsHelp(arguments, QStringLiteral("mail-script")))
        return 0;
    QStringList rest = arguments;
    const bool rich = takeFlag(rest, QStringLiteral("--rich"));
    if (!firstUnknownOption(rest).isEmpty())
        return usageError(QStringLiteral("unknown option %1").arg(firstUnknownOption(rest)));
    if (rest.size() != 1)
        return usageError(QStringLiteral("mail-script takes one FILE"));
    Documents documents;
    if (!openDocuments(rest, documents))
        return 1;
    MyDocument& document = *documents.front();
    // Checked before the invoice is built, so no invoice number is spent on a mail never sent.
    if (document.email().isEmpty())
        return failure(QStringLiteral("%1 has no client e-mail; the invoice cannot be mailed").arg(rest.front()));
    const StyledText text = rich ? document.richInvoiceString() : document.invoiceString();
    _out << MailScripts::mailScriptBody(MailScripts::cleanedText(text), document.email(), invoiceName(document), rich);
    return 0;
}
