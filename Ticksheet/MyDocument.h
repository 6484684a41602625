#pragma once

#include "Document.h"
#include "MoneyFormat.h"
#include "MoneyFormatter.h"
#include "ParagraphStyle.h"
#include "PieceWork.h"
#include "StyledText.h"
#include "TicksheetExport.h"

#include <QDate>
#include <QDateTime>
#include <QFont>
#include <QList>
#include <QPageLayout>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <memory>
#include <optional>

class ClientWindow;
class ExportOptionsInterface;

// One client or client project: contact details, rates, tax and equity settings, money format
// and the ordered work list. Every change goes through an undoable setter and refreshes the
// document's windows.
class TICKSHEET_EXPORT MyDocument : public Document
{
    Q_OBJECT

public:
    // A new document; its defaults come from the settings as they are now.
    explicit MyDocument(QObject* parent = nullptr);
    ~MyDocument() override;

    // Lets the document list make client documents (of DocumentType).
    static void registerDocumentType();

    // Plug-ins, loaded by class name on first use; null when missing.
    static QObject* instanceOfClassName(const QString& name, bool shared);
    static QObject* sharedInstanceOfClassName(const QString& name);
    static QObject* instanceOfClassName(const QString& name);

    void addWindowController(ClientWindow* window);
    void removeWindowController(ClientWindow* window);
    QList<ClientWindow*> windowControllers() const;

    WorkList workList() const;
    QString clientName() const;
    QString email() const;
    QString phone() const;
    QString address() const;
    QString projectName() const;
    QString moneySymbol() const;
    QString thousandsSeparator() const;
    QString decimalSeparator() const;
    // Null when absent; absent or "" means unsorted.
    QString sortColumn() const;
    float rate() const;
    float taxRate() const;
    float equityPercent() const;
    float shareCost() const;
    bool taxable() const;
    bool symbolAfterNumber() const;
    // True gives increasing order.
    bool sortIsDescending() const;
    bool toolsHidden() const;
    // Null when absent.
    QString invoiceNumber() const;

    void setClientName(const QString& name);
    void setEmail(const QString& email);
    void setPhone(const QString& phone);
    void setAddress(const QString& address);
    void setProjectName(const QString& name);
    void setRate(float rate);
    void setShareCost(float cost);
    void setTaxRate(float rate);
    void setEquityPercent(float percent);
    void setTaxable(bool taxable);
    void setSortColumn(const QString& key);
    void setSortIsDescending(bool increasing);
    void setWorkList(const WorkList& list);
    // Not undoable: showing or hiding the tools does not edit the document.
    void setToolsHidden(bool hidden);

    // Work list operations; each is one undo step "Work Change". Insert indexes outside
    // 0..count are ignored (no entry is made, null is answered).
    std::shared_ptr<PieceWork> insertWork(int index);
    std::shared_ptr<PieceWork> addWork();
    std::shared_ptr<PieceWork> insertLineItem(int index);
    std::shared_ptr<PieceWork> addLineItem();
    void removeWork(int index);
    // Moves the entry at row `from` to row `to` of the table; false when either is out of range.
    bool didDepositRow(QObject* table, int from, int to);

    void sort();
    void sort(WorkList& list);

    void pauseAllOpenBut(const std::shared_ptr<PieceWork>& work);
    // Orders documents by client name, then project name, case-sensitively.
    int compare(const MyDocument& other) const;
    QString toComma(const QString& text) const;
    bool keepBackupFile() const override;
    bool ignoreMoney() const;

    // Scripting access to the work list.
    void insertInWorkList(const std::shared_ptr<PieceWork>& work, int index);
    void insertInWorkList(const std::shared_ptr<PieceWork>& work);
    void addInWorkList(const std::shared_ptr<PieceWork>& work, int index);
    bool removeFromWorkListAtIndex(int index);

    // Money format (MyDocumentMoney.cpp). The text setters ignore empty and unchanged values; none
    // names its undo step (the currency editor names the group).
    void setMoneySymbol(const QString& symbol);
    void setThousandsSeparator(const QString& separator);
    void setDecimalSeparator(const QString& separator);
    void setSymbolAfterNumber(bool after);
    MoneyFormatter numberFormatter() const;
    MoneyFormatter moneyFormatter() const;
    QString moneyFormat() const;
    QString formatMoney(float value) const;
    QString formatFloat(float value) const;
    QString formattedValue(float value, bool money) const;
    QString formatTotal(float value, const MoneyFormatter& formatter, bool money, bool checkParen) const;
    int floatWithoutMoneyPadLength() const;
    QString pad(const QString& text, int width, bool money, bool checkParen) const;
    QString pad(const QString& text, int width, bool money) const;
    QString pad(const QString& text, int width) const;
    QString pad(const QString& text) const;
    QString fix(const QString& text) const;
    void changeMoneyFormatAction();

    // Selections and totals (MyDocumentTotals.cpp). Computed afresh on every call.
    WorkList paidWork(const WorkList& list) const;
    WorkList unpaidWork(const WorkList& list) const;
    WorkList applicableWork() const;
    WorkList list(bool all) const;
    WorkList workInDates(const QDateTime& from, const QDateTime& to) const;
    static QDateTime startOfDayOn(const QDateTime& dateTime);
    static QDateTime endOfDayOn(const QDateTime& dateTime);

    float hoursInWorkList(const WorkList& list) const;
    float totalEarnedInWorkList(const WorkList& list) const;
    float totalExpensesInWorkList(const WorkList& list) const;
    float totalExpensesTaxableInList(const WorkList& list) const;
    float totalExpensesAndEarnedInWorkList(const WorkList& list) const;
    float totalEquityInList(const WorkList& list) const;
    float totalCashInList(const WorkList& list) const;
    float totalSharesInWorkList(const WorkList& list) const;
    float totalTaxedInWorkList(const WorkList& list) const;
    float totalGrandTotalInWorkList(const WorkList& list) const;
    float totalUnpaidInWorkList(const WorkList& list) const;
    float amountPaidInWorkList(const WorkList& list) const;
    QString sharesInWorkList(const WorkList& list) const;

    float total(bool all) const;
    float taxableAmount(bool all) const;
    float equityEarned(bool all) const;
    float cashEarned(bool all) const;
    float grandTotal(bool all) const;
    float cashOwed(bool all) const;
    float sharesEarned(bool all) const;
    float amountPaid() const;

    float total() const;
    float totalOwed(bool all) const;
    float workOnlyTotal(bool all) const;
    float totalHours(bool all) const;
    float totalExpenses(bool all) const;
    float untaxableSubtotal(bool all) const;
    float cashEarnedPlusTax(bool all) const;
    static float twoPlaceRoundedFloat(float value);
    bool workIsInThisMonth(const PieceWork& work) const;
    QString expensesInWorkList(const WorkList& list) const;
    QString earnedInWorkList(const WorkList& list) const;
    QString cashInWorkList(const WorkList& list) const;
    QString taxedInWorkList(const WorkList& list) const;
    QString grandTotalInWorkList(const WorkList& list) const;
    QString unpaidInWorkList(const WorkList& list) const;

    // The document file (MyDocumentFile.cpp).
    QVariantMap workDocumentDictionary() const;
    QByteArray workDocumentData() const;
    // Null, with a reason, when the bytes are not a property list with a dictionary on top.
    static std::optional<QVariantMap> workDocumentDictionaryFromData(const QByteArray& data,
                                                                     QString* errorMessage = nullptr);
    QByteArray dataRepresentationOfType(const QString& type) override;
    bool loadDataRepresentation(const QByteArray& data, const QString& type, QString* errorMessage) override;
    // Commits pending edits first; a plain save also clears the undo stack.
    bool writeToFile(const QString& path, const QString& type, SaveOperation operation) override;
    bool revertToSavedFromFile(const QString& path, const QString& type) override;
    bool revertDocumentToSaved() override;
    // A new untitled document with this one's settings and no work; null when none could be made.
    MyDocument* cloneDocumentAction();
    // Appends the entries of other document files; answers the new number of entries.
    int importRecordsInFiles(const QStringList& paths);
    QPageLayout pageLayout() const;
    void setPageLayout(const QPageLayout& layout);

    // Invoices (MyDocumentInvoice.cpp). Building an invoice takes an invoice number when
    // numbering is on.
    StyledText invoiceString();
    QString coreString(bool rich);
    QString workDescription(const WorkList& list, const MoneyFormatter& formatter) const;
    QString workDescription(const WorkList& list, const MoneyFormatter& formatter, bool isExpense) const;
    QString totalsString(const WorkList& list, const MoneyFormatter& formatter) const;
    // First the entries that are not line items, then the line items, each in list order.
    static std::pair<WorkList, WorkList> splitWorkLists(const WorkList& list);
    static bool anyNegativesIn(const WorkList& list);
    static QString dashes(int count);
    static QString dateString();
    static ParagraphStyle defaultParagraphStyle();
    static void addTabStops(ParagraphStyle& style);
    static ParagraphStyle alignedStyle(int alignment);
    StyledText richInvoiceString();
    static QFont italicFont();
    void viewInvoiceAction();
    void viewRichInvoiceAction();
    void printDocument();

    // Date-range reports and summaries (MyDocumentReport.cpp). A date pair is (start, end).
    StyledText reportStringForDates(const QDate& start, const QDate& end) const;
    StyledText richReportOfMonthsInDates(const QDate& start, const QDate& end) const;
    QDateTime firstDate() const;
    QDateTime lastDate() const;
    static QDateTime endTime(const PieceWork& work);
    static QString dateFormat();
    QString clientAndProject() const;
    static QString summaryHeaderFor(const QList<MyDocument*>& documents);
    static float hoursSummary(const QList<MyDocument*>& documents, const QDate& start, const QDate& end);
    static float expensesSummary(const QList<MyDocument*>& documents, const QDate& start, const QDate& end);
    static float earnedSummary(const QList<MyDocument*>& documents, const QDate& start, const QDate& end);
    static float taxSummary(const QList<MyDocument*>& documents, const QDate& start, const QDate& end);
    static float totalSummary(const QList<MyDocument*>& documents, const QDate& start, const QDate& end);
    static float unpaidSummary(const QList<MyDocument*>& documents, const QDate& start, const QDate& end);
    static float sharesSummary(const QList<MyDocument*>& documents, const QDate& start, const QDate& end);
    static float cashSummary(const QList<MyDocument*>& documents, const QDate& start, const QDate& end);
    void summarize(const QList<MyDocument*>& documents, const QDate& start, const QDate& end, StyledText& target,
                   bool isGrandTotal) const;
    void summarizeDates(const QDate& start, const QDate& end, StyledText& target) const;
    static bool equityNeeded(const QList<MyDocument*>& documents);
    static void appendString(const QString& text, StyledText& target);
    static StyledText attStringForImagePath(const QString& path);
    void thisMonthReportAction();
    void allReportAction();
    void anyReportAction();

    // Tab-delimited export (MyDocumentExport.cpp).
    void exportToString(QString& text, const ExportOptionsInterface& options, bool first) const;
    static QString hourFormat();

private:
    template <typename T, typename Setter>
    bool changeField(T& field, const T& value, Setter setter);
    void finishInfoChange(const char* actionName);
    void nameAction(const char* name);
    void updateTotalsAndReloadWindows() const;
    std::shared_ptr<PieceWork> insertEntry(const std::shared_ptr<PieceWork>& work, int index);

    MoneyFormat moneyFormatValue() const;
    void updateFormattersOfWindows() const;
    void setMoneyText(QString MyDocument::*field, void (MyDocument::*setter)(const QString&), const QString& value);

    // The document file (MyDocumentFile.cpp).
    QVariantMap dictionaryWithoutWork() const;
    bool loadDocument(const QByteArray& data, const QString& type, QString& reason);
    void applyDocumentDictionary(const QVariantMap& dictionary, std::optional<WorkList> work,
                                 const std::optional<QPageLayout>& layout);
    bool isOwnFile(const QString& path) const;

    // Totals arithmetic on sums already taken (MyDocumentTotals.cpp).
    float equityOn(float earned) const;
    float taxOn(float earned, float taxableExpenses) const;
    float unpaidOn(float earned, float expenses, float taxableExpenses) const;
    float paidOn(float expenses, float earnings, float tax) const;

    QList<ClientWindow*> _windowControllers;
    QPageLayout _pageLayout;

    WorkList _workList;
    QString _clientName;
    QString _clientEmail;
    QString _clientPhone;
    QString _clientAddress;
    QString _projectName;
    QString _moneySymbol;
    QString _thousandsSeparator;
    QString _decimalSeparator;
    QString _sortColumn;
    float _rate = 0;
    float _taxRate = 0;
    float _equityPercent = 0;
    float _shareCost = 0;
    bool _taxable = false;
    bool _symbolAfterNumber = false;
    bool _sortIsDescending = true;
    bool _toolsHidden = false;
    QString _invoiceNumber;
};
