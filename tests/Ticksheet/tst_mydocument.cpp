#include "Clock.h"
#include "Constants.h"
#include "MyDocument.h"
#include "PieceWork.h"
#include "RecordingWindow.h"
#include "Scripting/ScriptingPath.h"
#include "SettingsStore.h"
#include "TestSettings.h"
#include "UndoManager.h"

#include <QDir>
#include <QtTest>

#include <functional>
#include <optional>

using DocumentEdit = std::function<void(MyDocument&)>;
Q_DECLARE_METATYPE(DocumentEdit)
using Entry = std::shared_ptr<PieceWork>;
using ScriptInsert = std::function<void(MyDocument&, const Entry&)>;
Q_DECLARE_METATYPE(ScriptInsert)

namespace {

QDateTime at(int hour, int minute, int second = 0)
{
    return QDateTime(QDate(2004, 3, 5), QTime(hour, minute, second));
}

// Every field a setter of the table reaches.
QString snapshot(const MyDocument& d)
{
    return QStringList {d.clientName(), d.email(), d.phone(), d.address(), d.projectName(),
                        QString::number(d.rate()), QString::number(d.shareCost()),
                        QString::number(d.taxRate()), QString::number(d.equityPercent()),
                        QString::number(d.taxable()), d.sortColumn(), QString::number(d.sortIsDescending())}
        .join(QLatin1Char('|'));
}

} // namespace

class TestMyDocument : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void newDocumentCopiesTheSettings();
    void setterUndoAndRedo_data();
    void setterUndoAndRedo();
    void toolsHiddenIsNotAnEdit();
    void newEntries();
    void insertIndexesOutsideTheListAreIgnored();
    void addWorkInASortedDocument_data();
    void addWorkInASortedDocument();
    void dropRow_data();
    void dropRow();
    void removeWork();
    void setWorkListWithTheSameListIsAStep();
    void setWorkListSortsAndOwns();
    void pauseAllOpenBut();
    void compareDocuments_data();
    void compareDocuments();
    void toComma_data();
    void toComma();
    void settingsReadAtEachCall();
    void scriptingInsert_data();
    void scriptingInsert();
    void scriptingRemove();
    void posixPathIsDirectory_data();
    void posixPathIsDirectory();

private:
    // A document holding A, B, C (all sessions starting at 09:00, 10:00, 11:00), no undo steps.
    void fillWithABC();
    QString order() const;

    std::optional<TestSettings> _settings;
    std::unique_ptr<MyDocument> _document;
    RecordingWindow _window;
    QHash<const PieceWork*, QString> _names;
};

void TestMyDocument::init()
{
    _settings.emplace();
    SettingsStore::shared().setValue(Rate, "125");
    Clock::setNow(at(12, 0));
    _document = std::make_unique<MyDocument>();
    _window.calls.clear();
    _document->addWindowController(&_window);
    _names.clear();
}

void TestMyDocument::cleanup()
{
    _document.reset();
    Clock::reset();
    _settings.reset();
}

void TestMyDocument::fillWithABC()
{
    WorkList list;
    for (int i = 0; i < 3; ++i) {
        auto work = PieceWork::init();
        work->setStartTime(at(9 + i, 0));
        _names.insert(work.get(), QString(QChar('A' + i)));
        list << work;
    }
    _document->setWorkList(list);
    _document->undoManager()->removeAllActions();
    _window.calls.clear();
}

QString TestMyDocument::order() const
{
    QString result;
    for (const auto& work : _document->workList())
        result += _names.value(work.get(), QStringLiteral("?"));
    return result;
}

void TestMyDocument::newDocumentCopiesTheSettings()
{
    SettingsStore& settings = SettingsStore::shared();
    settings.setValue(TaxRate, "5.875");
    settings.setValue(EquityPercent, 10);
    settings.setValue(ShareCost, "800");
    settings.setValue(TaxableByDefault, "YES");
    settings.setValue(CurrencySymbol, "€");
    settings.setValue(ThousandsSeparator, ".");
    settings.setValue(DecimalSeparator, ",");
    settings.setValue(CurrencySymbolAfter, true);
    MyDocument document;

    settings.setValue(Rate, "90");
    settings.setValue(TaxRate, "7");
    settings.setValue(CurrencySymbol, "$");
    QCOMPARE(document.rate(), 125.0f);
    QCOMPARE(document.taxRate(), 5.875f);
    QCOMPARE(document.equityPercent(), 10.0f);
    QCOMPARE(document.shareCost(), 800.0f);
    QVERIFY(document.taxable());
    QCOMPARE(document.moneySymbol(), QStringLiteral("€"));
    QCOMPARE(document.thousandsSeparator(), QStringLiteral("."));
    QCOMPARE(document.decimalSeparator(), QStringLiteral(","));
    QVERIFY(document.symbolAfterNumber());

    QVERIFY(document.workList().isEmpty());
    QVERIFY(document.sortColumn().isNull());
    QVERIFY(document.sortIsDescending());
    QVERIFY(!document.toolsHidden());
    QVERIFY(document.invoiceNumber().isNull());
    QVERIFY(document.clientName().isEmpty());
    QVERIFY(!document.undoManager()->canUndo());
}

void TestMyDocument::setterUndoAndRedo_data()
{
    QTest::addColumn<DocumentEdit>("edit");
    QTest::addColumn<QString>("actionName");
    QTest::addColumn<QStringList>("refreshes");
    const QStringList info {"reloadInfo"};
    QTest::newRow("setClientName") << DocumentEdit([](MyDocument& d) { d.setClientName("Acme"); }) << "Client Name Change" << info;
    QTest::newRow("setEmail") << DocumentEdit([](MyDocument& d) { d.setEmail("a@b.c"); }) << "Email Change" << info;
    QTest::newRow("setPhone") << DocumentEdit([](MyDocument& d) { d.setPhone("555"); }) << "Phone Change" << info;
    QTest::newRow("setAddress") << DocumentEdit([](MyDocument& d) { d.setAddress("1 Main St\nTown"); }) << "Address Change" << info;
    QTest::newRow("setProjectName") << DocumentEdit([](MyDocument& d) { d.setProjectName("Site"); }) << "Project Name" << info;
    QTest::newRow("setRate") << DocumentEdit([](MyDocument& d) { d.setRate(150); }) << "Rate Change" << info;
    QTest::newRow("setShareCost to 900 beside a rate of 800")
        << DocumentEdit([](MyDocument& d) { d.setShareCost(900); }) << "Share Value Change" << info;
    QTest::newRow("setTaxRate") << DocumentEdit([](MyDocument& d) { d.setTaxRate(7.5); }) << "Tax Rate Change" << info;
    QTest::newRow("setEquityPercent") << DocumentEdit([](MyDocument& d) { d.setEquityPercent(20); }) << "Equity Percent Change" << info;
    QTest::newRow("setTaxable") << DocumentEdit([](MyDocument& d) { d.setTaxable(true); }) << "Is Taxable Change" << info;
    QTest::newRow("setSortColumn") << DocumentEdit([](MyDocument& d) { d.setSortColumn("DATE"); }) << "Sort" << QStringList();
    QTest::newRow("setSortIsDescending") << DocumentEdit([](MyDocument& d) { d.setSortIsDescending(false); }) << "Sort Direction" << QStringList();
}

void TestMyDocument::setterUndoAndRedo()
{
    QFETCH(DocumentEdit, edit);
    QFETCH(QString, actionName);
    QFETCH(QStringList, refreshes);
    SettingsStore::shared().setValue(ShareCost, "800");
    SettingsStore::shared().setValue(Rate, "800");
    MyDocument document;
    document.addWindowController(&_window);
    UndoManager* undo = document.undoManager();

    edit(document);
    const QString after = snapshot(document);
    QCOMPARE(_window.calls, refreshes);
    QCOMPARE(undo->undoCount(), 1);
    QCOMPARE(undo->undoActionName(), actionName);
    // The same value again changes nothing.
    edit(document);
    QCOMPARE(undo->undoCount(), 1);

    undo->undo();
    const QString before = snapshot(document);
    QVERIFY(before != after);
    QCOMPARE(undo->redoActionName(), actionName);
    undo->redo();
    QCOMPARE(snapshot(document), after);
    QCOMPARE(undo->undoActionName(), actionName);
}

void TestMyDocument::toolsHiddenIsNotAnEdit()
{
    _document->setToolsHidden(true);
    QVERIFY(_document->toolsHidden());
    QVERIFY(_document->undoManager()->isClean());
    QVERIFY(!_document->undoManager()->canUndo());
}

void TestMyDocument::newEntries()
{
    const auto work = _document->addWork();
    const auto item = _document->insertLineItem(0);
    const auto first = _document->insertWork(0);
    const auto last = _document->addLineItem();
    QCOMPARE(_document->workList(), (WorkList {first, item, work, last}));
    QCOMPARE(_document->undoManager()->undoCount(), 4);
    QCOMPARE(_document->undoManager()->undoActionName(), QStringLiteral("Work Change"));
    QCOMPARE(_window.count("updateTotalsAndReload"), 4);

    QCOMPARE(work->owner(), _document.get());
    QCOMPARE(work->startTime(), at(12, 0));
    QVERIFY(work->canBePaused());
    QVERIFY(item->isLineItem());
    QCOMPARE(item->rate(), 0.0f);
    // The session took the document's rate and keeps it.
    _document->setRate(150);
    QCOMPARE(work->rate(), 125.0f);

    _document->undoManager()->undo(); // the rate
    _document->undoManager()->undo(); // the last line item
    QCOMPARE(_document->workList(), (WorkList {first, item, work}));
}

void TestMyDocument::insertIndexesOutsideTheListAreIgnored()
{
    fillWithABC();
    QCOMPARE(_document->insertWork(4), nullptr);
    QCOMPARE(_document->insertWork(-1), nullptr);
    QCOMPARE(_document->insertLineItem(4), nullptr);
    QCOMPARE(order(), QStringLiteral("ABC"));
    QVERIFY(!_document->undoManager()->canUndo());
    QVERIFY(_document->insertWork(3));
    QCOMPARE(order(), QStringLiteral("ABC?"));
}

void TestMyDocument::addWorkInASortedDocument_data()
{
    QTest::addColumn<bool>("increasing");
    QTest::addColumn<int>("position");
    QTest::newRow("increasing: at the end") << true << 3;
    QTest::newRow("decreasing: at the top") << false << 0;
}

void TestMyDocument::addWorkInASortedDocument()
{
    QFETCH(bool, increasing);
    QFETCH(int, position);
    fillWithABC();
    _document->setSortColumn(QStringLiteral("STARTTIME"));
    _document->setSortIsDescending(increasing);
    _document->sort();
    const WorkList before = _document->workList();

    const auto work = _document->addWork();
    QCOMPARE(_document->workList().indexOf(work), position);
    _document->undoManager()->undo();
    QCOMPARE(_document->workList(), before);
}

void TestMyDocument::dropRow_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<bool>("moved");
    QTest::addColumn<QString>("order");
    QTest::newRow("A on row 1") << 0 << 1 << true << "BAC";
    QTest::newRow("A on row 2") << 0 << 2 << true << "BCA";
    QTest::newRow("C on row 0") << 2 << 0 << true << "CAB";
    QTest::newRow("A past the end") << 0 << 7 << true << "BCA";
    QTest::newRow("no target row") << 0 << -1 << false << "ABC";
    QTest::newRow("no source row") << -1 << 0 << false << "ABC";
    QTest::newRow("source past the end") << 3 << 0 << false << "ABC";
}

void TestMyDocument::dropRow()
{
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(bool, moved);
    QFETCH(QString, order);
    fillWithABC();
    _document->setSortColumn(QStringLiteral("DATE"));
    UndoManager* undo = _document->undoManager();
    const int steps = undo->undoCount();

    QCOMPARE(_document->didDepositRow(nullptr, from, to), moved);
    QCOMPARE(this->order(), order);
    QCOMPARE(undo->undoCount(), steps + (moved ? 1 : 0));
    if (!moved) {
        QCOMPARE(_document->sortColumn(), QStringLiteral("DATE"));
        return;
    }
    QVERIFY(_document->sortColumn().isNull());
    QCOMPARE(undo->undoActionName(), QStringLiteral("Work Change"));
    undo->undo();
    QCOMPARE(this->order(), QStringLiteral("ABC"));
    QVERIFY(_document->sortColumn().isNull());
}

void TestMyDocument::removeWork()
{
    fillWithABC();
    _document->removeWork(3);
    _document->removeWork(-1);
    QCOMPARE(order(), QStringLiteral("ABC"));
    QVERIFY(!_document->undoManager()->canUndo());
    QVERIFY(_window.calls.isEmpty());

    _document->removeWork(1);
    QCOMPARE(order(), QStringLiteral("AC"));
    QCOMPARE(_document->undoManager()->undoActionName(), QStringLiteral("Work Change"));
    _document->undoManager()->undo();
    QCOMPARE(order(), QStringLiteral("ABC"));
}

void TestMyDocument::setWorkListWithTheSameListIsAStep()
{
    fillWithABC();
    _document->setWorkList(_document->workList());
    QCOMPARE(_document->undoManager()->undoCount(), 1);
    QCOMPARE(_document->undoManager()->undoActionName(), QStringLiteral("Work Change"));
    QVERIFY(!_document->undoManager()->isClean());
    QCOMPARE(_window.calls, QStringList {"updateTotalsAndReload"});
}

void TestMyDocument::setWorkListSortsAndOwns()
{
    _document->setSortColumn(QStringLiteral("DESCRIPTION"));
    WorkList given;
    for (const char* text : {"b", "c", "a"}) {
        auto work = PieceWork::init();
        work->setWorkDescription(text);
        given << work;
    }
    _document->setWorkList(given);
    QStringList texts;
    for (const auto& work : _document->workList()) {
        texts << work->workDescription();
        QCOMPARE(work->owner(), _document.get());
        QCOMPARE(work->rate(), 125.0f);
    }
    QCOMPARE(texts, (QStringList {"a", "b", "c"}));
    QCOMPARE(given.first()->workDescription(), QStringLiteral("b")); // the caller's list is left alone
}

void TestMyDocument::pauseAllOpenBut()
{
    Clock::setNow(at(9, 0));
    const auto kept = _document->addWork();
    const auto other = _document->addWork();
    const auto third = _document->addWork();
    const auto finished = _document->addWork();
    finished->setEndTime(at(11, 0));
    const auto item = _document->addLineItem();
    const int steps = _document->undoManager()->undoCount();
    _window.calls.clear();

    Clock::setNow(at(10, 0, 30));
    _document->pauseAllOpenBut(kept);
    QVERIFY(other->isPaused());
    QVERIFY(third->isPaused());
    QCOMPARE(other->endTime(), at(10, 0, 30));
    QVERIFY(!kept->isPaused());
    QVERIFY(!kept->endTime().isValid());
    QCOMPARE(finished->endTime(), at(11, 0));
    QVERIFY(!finished->isPaused());
    QVERIFY(!item->isPaused());
    QCOMPARE(_document->undoManager()->undoCount(), steps);
    QVERIFY(!_window.calls.isEmpty());
    QCOMPARE(_window.calls.last(), QStringLiteral("updateTotalsAndReload"));

    _window.calls.clear();
    _document->pauseAllOpenBut(kept);
    QVERIFY(_window.calls.isEmpty());
}

void TestMyDocument::compareDocuments_data()
{
    QTest::addColumn<QString>("client1");
    QTest::addColumn<QString>("project1");
    QTest::addColumn<QString>("client2");
    QTest::addColumn<QString>("project2");
    QTest::addColumn<int>("expected");
    QTest::newRow("upper case first") << "Acme" << "" << "acme" << "" << -1;
    QTest::newRow("lower case after") << "acme" << "" << "Acme" << "" << 1;
    QTest::newRow("client decides before project") << "Acme" << "z" << "Bolt" << "a" << -1;
    QTest::newRow("then the project, case-sensitive") << "Acme" << "Web" << "Acme" << "web" << -1;
    QTest::newRow("equal") << "Acme" << "Web" << "Acme" << "Web" << 0;
}

void TestMyDocument::compareDocuments()
{
    QFETCH(QString, client1);
    QFETCH(QString, project1);
    QFETCH(QString, client2);
    QFETCH(QString, project2);
    QFETCH(int, expected);
    MyDocument first;
    MyDocument second;
    first.setClientName(client1);
    first.setProjectName(project1);
    second.setClientName(client2);
    second.setProjectName(project2);
    QCOMPARE(first.compare(second), expected);
    QCOMPARE(second.compare(first), -expected);
}

void TestMyDocument::toComma_data()
{
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("comma replaces every point") << "," << "1.234.5" << "1,234,5";
    QTest::newRow("point leaves the text") << "." << "12.50" << "12.50";
    QTest::newRow("another separator leaves it too") << " ," << "12.50" << "12.50";
}

void TestMyDocument::toComma()
{
    QFETCH(QString, separator);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    SettingsStore::shared().setValue(DecimalSeparator, separator);
    MyDocument document;
    QCOMPARE(document.toComma(text), expected);
}

void TestMyDocument::settingsReadAtEachCall()
{
    QVERIFY(!_document->keepBackupFile());
    QVERIFY(!_document->ignoreMoney());
    SettingsStore::shared().setValue(KeepBackupFile, "YES");
    SettingsStore::shared().setValue(IgnoreMoney, true);
    QVERIFY(_document->keepBackupFile());
    QVERIFY(_document->ignoreMoney());
}

void TestMyDocument::scriptingInsert_data()
{
    QTest::addColumn<ScriptInsert>("insert");
    QTest::addColumn<QString>("order");
    const auto at = [](int index) { return ScriptInsert([index](MyDocument& d, const Entry& x) { d.insertInWorkList(x, index); }); };
    QTest::newRow("at the top") << at(0) << "XABC";
    QTest::newRow("in the middle") << at(1) << "AXBC";
    QTest::newRow("at the end") << at(3) << "ABCX";
    QTest::newRow("past the end appends") << at(99) << "ABCX";
    QTest::newRow("negative index is ignored") << at(-1) << "ABC";
    QTest::newRow("append") << ScriptInsert([](MyDocument& d, const Entry& x) { d.insertInWorkList(x); }) << "ABCX";
    QTest::newRow("add at an index") << ScriptInsert([](MyDocument& d, const Entry& x) { d.addInWorkList(x, 2); }) << "ABXC";
    QTest::newRow("add past the end appends") << ScriptInsert([](MyDocument& d, const Entry& x) { d.addInWorkList(x, 4); }) << "ABCX";
}

void TestMyDocument::scriptingInsert()
{
    QFETCH(ScriptInsert, insert);
    QFETCH(QString, order);
    fillWithABC();
    const auto x = PieceWork::init();
    _names.insert(x.get(), QStringLiteral("X"));

    insert(*_document, x);
    QCOMPARE(this->order(), order);
    const bool inserted = order.contains(QLatin1Char('X'));
    QCOMPARE(_document->undoManager()->undoCount(), inserted ? 1 : 0);
    if (inserted) {
        QCOMPARE(x->owner(), _document.get());
        QCOMPARE(_document->undoManager()->undoActionName(), QStringLiteral("Work Change"));
    }
}

void TestMyDocument::scriptingRemove()
{
    fillWithABC();
    QVERIFY(!_document->removeFromWorkListAtIndex(3));
    QVERIFY(!_document->removeFromWorkListAtIndex(-1));
    QCOMPARE(order(), QStringLiteral("ABC"));
    QVERIFY(!_document->undoManager()->canUndo());

    QVERIFY(_document->removeFromWorkListAtIndex(0));
    QCOMPARE(order(), QStringLiteral("BC"));
    QCOMPARE(_document->undoManager()->undoActionName(), QStringLiteral("Work Change"));
}

void TestMyDocument::posixPathIsDirectory_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected");
    QTest::newRow("colon path from a volume") << "Macintosh HD:Users:me:notes.txt" << "/Users/me/notes.txt";
    QTest::newRow("colon folder") << "Disk:Users:me:" << "/Users/me";
    QTest::newRow("relative colon path") << ":Docs:a.txt" << "Docs/a.txt";
    QTest::newRow("double colon climbs") << "Disk:a::b" << "/b";
    QTest::newRow("slash inside a colon name") << "Disk:a/b" << "/a:b";
    QTest::newRow("slash path is cleaned") << "/usr//local/./bin/" << "/usr/local/bin";
    QTest::newRow("dot dot resolved") << "/a/b/../c" << "/a/c";
    QTest::newRow("slash path with a colon stays slash") << "/tmp/a:b" << "/tmp/a:b";
    QTest::newRow("home folder") << "~/x" << QDir::homePath() + "/x";
    QTest::newRow("plain relative path") << "docs/x" << "docs/x";
    QTest::newRow("empty") << "" << "";
}

void TestMyDocument::posixPathIsDirectory()
{
    QFETCH(QString, path);
    QFETCH(QString, expected);
    QCOMPARE(ScriptingPath::posixPathIsDirectory(path, false), expected);
    QCOMPARE(ScriptingPath::posixPathIsDirectory(path, true), expected);
}

QTEST_GUILESS_MAIN(TestMyDocument)
#include "tst_mydocument.moc"
