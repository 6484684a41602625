#include "AddressBook.h"
#include "SettingsStore.h"
#include "TestSettings.h"
#include "VCardReader.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <optional>

namespace {

// One line per person: first|last|organization|e-mails|phones|addresses|categories, each value
// as label=value with a trailing * when preferred, addresses as street/city/state/zip/country.
QString describe(const AddressBookPerson& person)
{
    QStringList emails;
    for (const auto& email : person.emails())
        emails << email.label + u'=' + email.value + (email.preferred ? QStringLiteral("*") : QString());
    QStringList phones;
    for (const auto& phone : person.phones())
        phones << phone.label + u'=' + phone.value + (phone.preferred ? QStringLiteral("*") : QString());
    QStringList addresses;
    for (const auto& entry : person.addresses()) {
        const auto& a = entry.address;
        addresses << entry.label + u'=' + QStringList {a.street, a.city, a.state, a.zip, a.country}.join(u'/');
    }
    return QStringList {person.firstName(), person.lastName(), person.organization(), emails.join(u','),
                        phones.join(u','), addresses.join(u','), person.categories().join(u',')}
        .join(u'|');
}

QStringList describeAll(const QList<AddressBookPerson>& people)
{
    QStringList lines;
    for (const AddressBookPerson& person : people)
        lines << describe(person);
    return lines;
}

QByteArray card(const QByteArray& body, const QByteArray& version = "3.0")
{
    return "BEGIN:VCARD\r\nVERSION:" + version + "\r\n" + body + "END:VCARD\r\n";
}

QStringList names(const QList<AddressBook::PersonRef>& people)
{
    QStringList result;
    for (const auto& person : people)
        result << person->lastName();
    return result;
}

} // namespace

class TestAddressBook : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void readsCards_data();
    void readsCards();
    void refusesOversizedData();

    void readsEveryCardFileOfTheFolder();
    void groupsComeFromCategories();
    void noticesChangedCards();
    void noticesItsFolderBeingMade();
    void followsTheFolderSetting();

private:
    void writeFile(const QString& name, const QByteArray& content);

    std::optional<TestSettings> _settings;
    std::optional<QTemporaryDir> _folder;
};

void TestAddressBook::init()
{
    _settings.emplace();
    _folder.emplace();
}

void TestAddressBook::cleanup()
{
    _folder.reset();
    _settings.reset();
}

void TestAddressBook::writeFile(const QString& name, const QByteArray& content)
{
    QFile file(QDir(_folder->path()).filePath(name));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

void TestAddressBook::readsCards_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QStringList>("people");

    QTest::newRow("3.0 card with labelled values")
        << card("N:Doe;Jane;Q.;Dr.;\r\nFN:Jane Doe\r\nORG:Acme\\, Inc.;Sales\r\n"
                "EMAIL;TYPE=INTERNET;TYPE=WORK;TYPE=pref:jane@acme.example\r\n"
                "EMAIL;type=INTERNET,HOME:jd@home.example\r\nTEL;type=CELL;type=VOICE:555-0101\r\n"
                "TEL;TYPE=WORK,FAX:555-0102\r\nTEL;TYPE=WORK:555-0103\r\nTEL:555-0104\r\n"
                "ADR;TYPE=WORK:;Suite 5;1 Main St;Springfield;IL;62701;USA\r\nCATEGORIES:Clients,Clients/Active\r\n")
        << QStringList {"Jane|Doe|Acme, Inc.|work=jane@acme.example*,home=jd@home.example|mobile=555-0101,fax=555-"
                        "0102,work=555-0103,other=555-0104|work=1 Main St\nSuite 5/Springfield/IL/62701/USA|"
                        "Clients,Clients/Active"};
    QTest::newRow("4.0 card: quoted type lists, PREF and tel URIs")
        << card("FN:Ann Lee\r\nN:Lee;Ann;;;\r\nEMAIL;TYPE=\"home,work\";PREF=1:ann@example.org\r\n"
                "TEL;VALUE=uri;TYPE=\"main,voice\":tel:+1-555-0110\r\nADR;TYPE=home:;;2 Elm\\, Apt 4;Oslo;;0150;Norway\r\n",
                "4.0")
        << QStringList {"Ann|Lee||work=ann@example.org*|main=+1-555-0110|home=2 Elm, Apt 4/Oslo//0150/Norway|"};
    QTest::newRow("folded lines with space and tab, bare line feeds")
        << QByteArray("BEGIN:VCARD\nVERSION:3.0\nN:Van der \n Berg;Pi\n\tet;;;\nEMAIL:piet@exa\n mple.nl\nEND:VCARD\n")
        << QStringList {"Piet|Van der Berg||other=piet@example.nl|||"};
    QTest::newRow("escaped separators and new lines")
        << card("N:O\\;Brien;Sean\\, Jr.;;;\r\nADR:;;1 Quay\\nDock 3;Cork;;;Ireland\r\nCATEGORIES:A\\,B,C\r\n")
        << QStringList {"Sean, Jr.|O;Brien||||other=1 Quay\nDock 3/Cork///Ireland|A,B,C"};
    QTest::newRow("2.1 quoted-printable with a soft break and a Latin-1 charset")
        << card("N;CHARSET=ISO-8859-1;ENCODING=QUOTED-PRINTABLE:M=FCller;J=\r\n=FCrgen;;;\r\n"
                "ADR;WORK;QUOTED-PRINTABLE:;;Hauptstra=C3=9Fe 1;Berlin;;10115;Germany\r\nTEL;WORK;PREF:030 1234\r\n",
                "2.1")
        << QStringList {"Jürgen|Müller|||work=030 1234*|work=Hauptstraße 1/Berlin//10115/Germany|"};
    QTest::newRow("several cards in one file, grouped property names")
        << card("N:One;A;;;\r\nitem1.EMAIL;type=INTERNET:a@one.example\r\nitem1.X-ABLabel:_$!<Other>!$_\r\n")
               + card("N:Two;B;;;\r\n", "4.0")
        << QStringList {"A|One||other=a@one.example|||", "B|Two|||||"};
    QTest::newRow("a card begun inside another drops the unfinished one")
        << QByteArray("BEGIN:VCARD\r\nN:Lost;L;;;\r\n") + card("N:Kept;K;;;\r\n")
        << QStringList {"K|Kept|||||"};
    QTest::newRow("a card without END is dropped")
        << card("N:Kept;K;;;\r\n") + "BEGIN:VCARD\r\nN:Lost;L;;;\r\n"
        << QStringList {"K|Kept|||||"};
    QTest::newRow("a mismatched END drops the card; a stray END is ignored")
        << QByteArray("END:VCARD\r\n") + card("N:Lost;L;;;\r\nEND:VCALENDAR\r\n") + card("N:Kept;K;;;\r\n")
        << QStringList {"K|Kept|||||"};
    QTest::newRow("an embedded component is skipped whole")
        << card("N:Outer;O;;;\r\nBEGIN:VEVENT\r\nN:Inner;I;;;\r\nEND:VEVENT\r\nEMAIL:o@outer.example\r\n")
        << QStringList {"O|Outer||other=o@outer.example|||"};
    QTest::newRow("group cards are not people")
        << card("KIND:group\r\nFN:Team\r\n", "4.0") + card("X-ADDRESSBOOKSERVER-KIND:group\r\nFN:Crew\r\n")
        << QStringList {};
    QTest::newRow("without N the formatted name is the last name, unless it repeats the organization")
        << card("FN:Madonna\r\n", "4.0") + card("FN:Acme Corp\r\nORG:Acme Corp\r\n", "4.0")
        << QStringList {"|Madonna|||||", "||Acme Corp||||"};
    QTest::newRow("binary values are skipped, lines without a colon ignored")
        << card("N:Pic;P;;;\r\nPHOTO;ENCODING=b;TYPE=JPEG:/9j/4AAQSkZJRgABAQ\r\nthis line has no colon\r\n")
        << QStringList {"P|Pic|||||"};
    QTest::newRow("not a vCard at all") << QByteArray("hello\r\nworld:\r\n\0\xff", 17) << QStringList {};
    QTest::newRow("empty data") << QByteArray() << QStringList {};
}

void TestAddressBook::readsCards()
{
    QFETCH(QByteArray, data);
    QFETCH(QStringList, people);
    QCOMPARE(describeAll(VCardReader::read(data)), people);
}

void TestAddressBook::refusesOversizedData()
{
    QByteArray data = card("N:Big;B;;;\r\nNOTE:" + QByteArray(VCardReader::maximumDataSize, 'x') + "\r\n");
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("vCard data of \\d+ bytes refused")));
    QVERIFY(VCardReader::read(data).isEmpty());
    QVERIFY(!AddressBook::personFromVCardData("garbage"));
    QCOMPARE(AddressBook::personFromVCardData(card("N:One;A;;;\r\n") + card("N:Two;B;;;\r\n"))->lastName(), "One");
}

void TestAddressBook::readsEveryCardFileOfTheFolder()
{
    writeFile("b.vcf", card("N:Second;S;;;\r\n") + card("N:Third;T;;;\r\n"));
    writeFile("a.VCF", card("N:First;F;;;\r\n"));
    writeFile("c.vcard", card("N:Fourth;F;;;\r\n"));
    writeFile("notes.txt", card("N:Ignored;I;;;\r\n"));
    AddressBook book(_folder->path());
    QCOMPARE(names(book.people()), (QStringList {"First", "Second", "Third", "Fourth"}));
    QVERIFY(book.groups().isEmpty());

    AddressBook missing(_folder->filePath("nowhere"));
    QVERIFY(missing.people().isEmpty());
}

void TestAddressBook::groupsComeFromCategories()
{
    writeFile("people.vcf", card("N:Alpha;A;;;\r\nCATEGORIES:clients/Active,Suppliers\r\n")
                                + card("N:Beta;B;;;\r\nCATEGORIES:Clients/Active, Clients/Former\r\n")
                                + card("N:Gamma;G;;;\r\nCATEGORIES:Clients,Friends\r\n")
                                + card("N:Delta;D;;;\r\nCATEGORIES:Suppliers/Active\r\n"));
    AddressBook book(_folder->path());
    QStringList outline;
    std::function<void(const AddressBook::GroupRef&, const QString&)> add = [&](const auto& group, const QString& indent) {
        outline << indent + group->name() + QStringLiteral(": ") + names(group->members()).join(u',');
        for (const auto& subgroup : group->subgroups())
            add(subgroup, indent + QStringLiteral("  "));
    };
    for (const auto& group : book.groups())
        add(group, QString());
    // Names differing only in case are different groups, ordered without regard to case.
    QCOMPARE(outline, (QStringList {"Clients: Gamma", "  Active: Beta", "  Former: Beta", "clients: ", "  Active: Alpha",
                                    "Friends: Gamma", "Suppliers: Alpha", "  Active: Delta"}));
}

void TestAddressBook::noticesChangedCards()
{
    writeFile("a.vcf", card("N:First;F;;;\r\n"));
    AddressBook book(_folder->path());
    QSignalSpy changed(&book, &AddressBook::changed);

    writeFile("b.vcf", card("N:Added;A;;;\r\nCATEGORIES:New\r\n"));
    QVERIFY(changed.wait(5000));
    QCOMPARE(names(book.people()), (QStringList {"First", "Added"}));
    QCOMPARE(book.groups().size(), 1);

    changed.clear();
    writeFile("a.vcf", card("N:Edited;E;;;\r\n"));
    QVERIFY(changed.wait(5000));
    QCOMPARE(names(book.people()), (QStringList {"Edited", "Added"}));

    changed.clear();
    QVERIFY(QFile::remove(_folder->filePath("b.vcf")));
    QVERIFY(changed.wait(5000));
    QCOMPARE(names(book.people()), (QStringList {"Edited"}));
}

void TestAddressBook::noticesItsFolderBeingMade()
{
    const QString missing = _folder->filePath(QStringLiteral("later/contacts"));
    AddressBook book(missing);
    QSignalSpy changed(&book, &AddressBook::changed);

    QVERIFY(QDir().mkpath(missing));
    QVERIFY(changed.wait(5000));
    QFile file(QDir(missing).filePath(QStringLiteral("a.vcf")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(card("N:Early;E;;;\r\n"));
    file.close();
    QTRY_COMPARE_WITH_TIMEOUT(names(book.people()), (QStringList {"Early"}), 5000);
}

void TestAddressBook::followsTheFolderSetting()
{
    QCOMPARE(AddressBook::configuredFolder(), AddressBook::defaultFolder());
    QVERIFY(AddressBook::defaultFolder().endsWith(QStringLiteral("/contacts")));

    writeFile("a.vcf", card("N:Set;S;;;\r\n"));
    SettingsStore::shared().setValue(AddressBook::FolderKey, _folder->path());
    AddressBook& book = AddressBook::shared();
    QCOMPARE(book.folder(), _folder->path());
    QCOMPARE(names(book.people()), (QStringList {"Set"}));

    QTemporaryDir other;
    SettingsStore::shared().setValue(AddressBook::FolderKey, other.path());
    QSignalSpy changed(&book, &AddressBook::changed);
    QCOMPARE(&AddressBook::shared(), &book);
    QCOMPARE(changed.count(), 1);
    QVERIFY(book.people().isEmpty());
}

QTEST_GUILESS_MAIN(TestAddressBook)
#include "tst_addressbook.moc"
