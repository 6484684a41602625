#include "AddressBook.h"
#include "DocumentController.h"
#include "MyDocument.h"
#include "PlugIns/ContactImporterInterface.h"
#include "PlugIns/ContactPickerInterface.h"
#include "PlugInLoader.h"
#include "SettingsStore.h"
#include "TestSettings.h"
#include "UndoManager.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>
#include <QAbstractItemModelTester>
#include <QtTest>

#include <functional>
#include <optional>

namespace {

QByteArray card(const QByteArray& body)
{
    return "BEGIN:VCARD\r\nVERSION:3.0\r\n" + body + "END:VCARD\r\n";
}

ContactImporterInterface* importer()
{
    return qobject_cast<ContactImporterInterface*>(PlugInLoader::sharedInstanceOfClassName(QStringLiteral("ContactImporter")));
}

QDialog* pickerWindow()
{
    return qobject_cast<QDialog*>(PlugInLoader::sharedInstanceOfClassName(QStringLiteral("ContactPicker")));
}

// The outline as the user would read it: one line per row, "first column | second column",
// indented by depth, with "+" before rows that can open.
void describeRows(const QAbstractItemModel* model, const QModelIndex& parent, const QString& indent, QStringList& lines)
{
    for (int row = 0; row < model->rowCount(parent); ++row) {
        const QModelIndex index = model->index(row, 0, parent);
        lines << indent + (model->hasChildren(index) ? QStringLiteral("+") : QStringLiteral("")) + index.data().toString() + QStringLiteral(" | ")
                + model->index(row, 1, parent).data().toString();
        describeRows(model, index, indent + QStringLiteral("  "), lines);
    }
}

QModelIndex findRow(const QAbstractItemModel* model, const QStringList& path)
{
    QModelIndex index;
    for (const QString& name : path) {
        const QModelIndexList found = model->match(model->index(0, 0, index), Qt::DisplayRole, name, 1, Qt::MatchExactly);
        if (found.isEmpty())
            return QModelIndex();
        index = found.first();
    }
    return index;
}

} // namespace

class TestContacts : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void importerPicksNameEmailPhoneAndAddress_data();
    void importerPicksNameEmailPhoneAndAddress();
    void unreadableCardChangesNothing();
    void importIsOneUndoStep();

    void pickerShowsGroupsAndSortedMembers();
    void pickerOfAnEmptyAddressBook();
    void pickerFollowsChangedCards();
    void okIsEnabledOnlyOnAPerson();
    void okMakesAFilledClientDocument();
    void cancelMakesNothing();

private:
    void writeCards(const QByteArray& cards);
    // Runs the picker; `act` sees it once it is up and must end the run.
    MyDocument* runPicker(std::function<void(QDialog*, QTreeView*, QPushButton*)> act);

    std::optional<TestSettings> _settings;
    std::optional<QTemporaryDir> _cards;
};

void TestContacts::initTestCase()
{
    MyDocument::registerDocumentType();
    QVERIFY(importer());
    QVERIFY(pickerWindow());
}

void TestContacts::init()
{
    _settings.emplace();
    _cards.emplace();
    SettingsStore::shared().setValue(AddressBook::FolderKey, _cards->path());
}

void TestContacts::cleanup()
{
    DocumentController::shared().closeAllDocuments();
    _cards.reset();
    _settings.reset();
}

// Waits for the address book to notice the new cards, so that no late reload lands mid-test.
void TestContacts::writeCards(const QByteArray& cards)
{
    QSignalSpy changed(&AddressBook::shared(), &AddressBook::changed);
    QFile file(QDir(_cards->path()).filePath(QStringLiteral("cards.vcf")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(cards);
    file.close();
    QVERIFY(changed.wait(5000));
}

void TestContacts::importerPicksNameEmailPhoneAndAddress_data()
{
    QTest::addColumn<QByteArray>("card");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("email");
    QTest::addColumn<QString>("phone");
    QTest::addColumn<QString>("address");

    // The document starts with "kept" details: a pick that gives nothing leaves them alone.
    QTest::newRow("first name only") << card("N:;Ann;;;\r\n") << "Ann"
                                     << "kept" << "kept" << "kept";
    QTest::newRow("last name only") << card("N:Lee;;;;\r\n") << "Lee"
                                    << "kept" << "kept" << "kept";
    QTest::newRow("no name at all") << card("ORG:Acme\r\nFN:Acme\r\n") << ""
                                    << "kept" << "kept" << "kept";
    QTest::newRow("one e-mail and one phone, whatever their labels")
        << card("N:Doe;Jane;;;\r\nEMAIL;TYPE=HOME:jane@home.example\r\nTEL;TYPE=CELL:555-0101\r\n") << "Jane Doe"
        << "jane@home.example" << "555-0101" << "kept";
    QTest::newRow("two work e-mails: the later")
        << card("N:Doe;Jane;;;\r\nEMAIL;TYPE=WORK:first@work.example\r\nEMAIL;TYPE=HOME:jane@home.example\r\n"
                "EMAIL;TYPE=WORK:second@work.example\r\n")
        << "Jane Doe" << "second@work.example" << "kept" << "kept";
    QTest::newRow("two e-mails, none at work: none")
        << card("N:Doe;Jane;;;\r\nEMAIL;TYPE=HOME:a@home.example\r\nEMAIL:b@other.example\r\n") << "Jane Doe"
        << "kept" << "kept" << "kept";
    QTest::newRow("phones at home and mobile: the first")
        << card("N:Doe;Jane;;;\r\nTEL;TYPE=HOME:555-0101\r\nTEL;TYPE=CELL:555-0102\r\n") << "Jane Doe"
        << "kept" << "555-0101" << "kept";
    QTest::newRow("phones main, work and home: the last of main and work")
        << card("N:Doe;Jane;;;\r\nTEL;TYPE=MAIN:555-0101\r\nTEL;TYPE=WORK:555-0102\r\nTEL;TYPE=HOME:555-0103\r\n"
                "TEL;TYPE=WORK,FAX:555-0104\r\n")
        << "Jane Doe" << "kept" << "555-0102" << "kept";
    QTest::newRow("complete work address among others")
        << card("N:Doe;Jane;;;\r\nADR;TYPE=HOME:;;9 Home Rd;Elsewhere;CA;90001;USA\r\n"
                "ADR;TYPE=WORK:;;1 Main St;Springfield;IL;62701;USA\r\n")
        << "Jane Doe" << "kept" << "kept" << "Jane Doe\n1 Main St\nSpringfield IL\t62701\nUSA";
    QTest::newRow("only address without country: ends with the ZIP and a new line")
        << card("N:Doe;Jane;;;\r\nADR;TYPE=HOME:;;1 Main St;Springfield;IL;62701;\r\n") << "Jane Doe"
        << "kept" << "kept" << "Jane Doe\n1 Main St\nSpringfield IL\t62701\n";
    QTest::newRow("two addresses, neither at work: the name line alone")
        << card("N:Doe;Jane;;;\r\nADR;TYPE=HOME:;;1 Main St;Springfield;;;\r\nADR:;;2 Side St;Shelbyville;;;\r\n")
        << "Jane Doe" << "kept" << "kept" << "Jane Doe\n";
    QTest::newRow("address of a card without a name: no name line")
        << card("ORG:Acme\r\nADR;TYPE=WORK:;;1 Main St;;;;Canada\r\n") << ""
        << "kept" << "kept" << "1 Main St\nCanada";
}

void TestContacts::importerPicksNameEmailPhoneAndAddress()
{
    QFETCH(QByteArray, card);
    QFETCH(QString, name);
    QFETCH(QString, email);
    QFETCH(QString, phone);
    QFETCH(QString, address);

    MyDocument document;
    document.setClientName(QStringLiteral("kept"));
    document.setEmail(QStringLiteral("kept"));
    document.setPhone(QStringLiteral("kept"));
    document.setAddress(QStringLiteral("kept"));
    document.setProjectName(QStringLiteral("Project"));
    document.setRate(80);

    importer()->loadPersonData(card, &document);
    QCOMPARE(document.clientName(), name);
    QCOMPARE(document.email(), email);
    QCOMPARE(document.phone(), phone);
    QCOMPARE(document.address(), address);
    QCOMPARE(document.projectName(), QStringLiteral("Project"));
    QCOMPARE(document.rate(), 80.0f);
}

void TestContacts::unreadableCardChangesNothing()
{
    MyDocument document;
    document.setClientName(QStringLiteral("Client"));
    document.undoManager()->removeAllActions();
    for (const QByteArray& data : {QByteArray(), QByteArray("not a card"), QByteArray("BEGIN:VCARD\r\nN:Cut;Off;;;\r\n")})
        importer()->loadPersonData(data, &document);
    importer()->loadPersonData(card("N:Doe;Jane;;;\r\n"), nullptr);
    QCOMPARE(document.clientName(), QStringLiteral("Client"));
    QVERIFY(!document.undoManager()->canUndo());
}

void TestContacts::importIsOneUndoStep()
{
    MyDocument document;
    document.undoManager()->removeAllActions();
    importer()->loadPersonData(card("N:Doe;Jane;;;\r\nEMAIL:jane@example.org\r\nTEL:555-0101\r\nADR:;;1 Main St;;;;\r\n"),
                               &document);
    QCOMPARE(document.phone(), QStringLiteral("555-0101"));
    document.undoManager()->undo();
    QVERIFY(!document.undoManager()->canUndo());
    QCOMPARE(document.clientName() + document.email() + document.phone() + document.address(), QString());
}

MyDocument* TestContacts::runPicker(std::function<void(QDialog*, QTreeView*, QPushButton*)> act)
{
    QDialog* window = pickerWindow();
    QTimer::singleShot(0, window, [window, act = std::move(act)] {
        auto* outline = window->findChild<QTreeView*>(QStringLiteral("outlineView"));
        auto* ok = window->findChild<QPushButton*>(QStringLiteral("okButton"));
        if (outline && ok)
            act(window, outline, ok);
        if (window->isVisible())
            window->reject();
    });
    return qobject_cast<ContactPickerInterface*>(window)->createNewWithAddressBook();
}

void TestContacts::pickerShowsGroupsAndSortedMembers()
{
    writeCards(card("N:Carter;Cy;;;\r\nCATEGORIES:Clients/Active\r\n") + card("N:bell;Bob;;;\r\nCATEGORIES:Clients\r\n")
               + card("N:Dunn;Di;;;\r\nCATEGORIES:Clients/Former\r\n")
               + card("N:Adams;Amy;;;\r\nORG:Adams & Co\r\nCATEGORIES:Clients\r\n")
               + card("N:;Ann;;;\r\nORG:Acme\r\n"));
    QStringList outline;
    runPicker([&](QDialog*, QTreeView* view, QPushButton*) {
        QAbstractItemModelTester tester(view->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        describeRows(view->model(), QModelIndex(), QString(), outline);
    });

    // Groups show their name in both columns; subgroups come before members; a lower-case last name
    // sorts among the others; the first name alone is followed by the organization.
    QCOMPARE(outline, (QStringList {"+All | All",
                                    "   | Ann Acme ",
                                    "  Adams | Amy Adams Adams & Co ",
                                    "  bell | Bob bell ",
                                    "  Carter | Cy Carter ",
                                    "  Dunn | Di Dunn ",
                                    "+Clients | Clients",
                                    "  +Active | Active",
                                    "    Carter | Cy Carter ",
                                    "  +Former | Former",
                                    "    Dunn | Di Dunn ",
                                    "  Adams | Amy Adams Adams & Co ",
                                    "  bell | Bob bell "}));
}

void TestContacts::pickerOfAnEmptyAddressBook()
{
    writeCards(QByteArray());
    QStringList outline;
    bool okEnabled = true;
    runPicker([&](QDialog*, QTreeView* view, QPushButton* ok) {
        describeRows(view->model(), QModelIndex(), QString(), outline);
        okEnabled = ok->isEnabled();
    });
    QCOMPARE(outline, QStringList {"All | All"});
    QVERIFY(!okEnabled);
}

void TestContacts::pickerFollowsChangedCards()
{
    writeCards(card("N:Adams;Amy;;;\r\n"));
    QStringList before;
    QStringList after;
    runPicker([&](QDialog*, QTreeView* view, QPushButton*) {
        describeRows(view->model(), QModelIndex(), QString(), before);
        writeCards(card("N:Adams;Amy;;;\r\nCATEGORIES:Clients\r\n") + card("N:Baker;Ben;;;\r\n"));
        describeRows(view->model(), QModelIndex(), QString(), after);
    });
    QCOMPARE(before, (QStringList {"+All | All", "  Adams | Amy Adams "}));
    QCOMPARE(after, (QStringList {"+All | All", "  Adams | Amy Adams ", "  Baker | Ben Baker ", "+Clients | Clients",
                                  "  Adams | Amy Adams "}));
}

void TestContacts::okIsEnabledOnlyOnAPerson()
{
    writeCards(card("N:Adams;Amy;;;\r\nCATEGORIES:Clients\r\n"));
    QList<bool> okStates;
    bool groupOpened = false;
    runPicker([&](QDialog*, QTreeView* view, QPushButton* ok) {
        okStates << ok->isEnabled();
        const QModelIndex clients = findRow(view->model(), {"Clients"});
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(clients).center());
        groupOpened = view->isExpanded(clients);
        okStates << ok->isEnabled();
        view->setCurrentIndex(findRow(view->model(), {"Clients", "Adams"}));
        okStates << ok->isEnabled();
        view->setCurrentIndex(clients);
        okStates << ok->isEnabled();
    });
    QVERIFY(groupOpened);
    QCOMPARE(okStates, (QList<bool> {false, false, true, false}));
}

void TestContacts::okMakesAFilledClientDocument()
{
    writeCards(card("N:Adams;Amy;;;\r\nEMAIL:amy@adams.example\r\n") + card("N:Baker;Ben;;;\r\nTEL:555-0199\r\n"));
    MyDocument* document = runPicker([](QDialog*, QTreeView* view, QPushButton* ok) {
        view->setCurrentIndex(findRow(view->model(), {"All", "Baker"}));
        ok->click();
    });
    QVERIFY(document);
    QVERIFY(DocumentController::shared().documents().contains(document));
    QCOMPARE(document->clientName(), QStringLiteral("Ben Baker"));
    QCOMPARE(document->phone(), QStringLiteral("555-0199"));
    QCOMPARE(document->email(), QString());
}

void TestContacts::cancelMakesNothing()
{
    writeCards(card("N:Adams;Amy;;;\r\n"));
    MyDocument* document = runPicker([](QDialog* window, QTreeView* view, QPushButton*) {
        view->setCurrentIndex(findRow(view->model(), {"All", "Adams"}));
        window->findChild<QPushButton*>(QStringLiteral("cancelButton"))->click();
    });
    QVERIFY(!document);
    QVERIFY(DocumentController::shared().documents().isEmpty());
}

QTEST_MAIN(TestContacts)
#include "tst_contacts.moc"
