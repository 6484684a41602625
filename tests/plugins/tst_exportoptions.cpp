#include "Bundle.h"
#include "MyDocument.h"
#include "PieceWork.h"
#include "PlugIns/ExportOptionsInterface.h"
#include "PlugInLoader.h"
#include "SettingsStore.h"
#include "TestSettings.h"

#include <QCheckBox>
#include <QWidget>
#include <QtTest>

#include <memory>
#include <optional>

namespace {

using Query = bool (ExportOptionsInterface::*)() const;

// Every option: its query (also the object name of its box), its settings key and its box's title.
struct Option {
    const char* query;
    Query read;
    const char* key;
    const char* title;
};

const Option Options[] = {
    {"saveAmount", &ExportOptionsInterface::saveAmount, "EA_amount", "Amount"},
    {"saveDate", &ExportOptionsInterface::saveDate, "EA_date", "Date"},
    {"saveDescription", &ExportOptionsInterface::saveDescription, "EA_desc", "Description"},
    {"saveEnd", &ExportOptionsInterface::saveEnd, "EA_end", "End Time"},
    {"saveHeaders", &ExportOptionsInterface::saveHeaders, "EA_headers", "Column headings"},
    {"saveName", &ExportOptionsInterface::saveName, "EA_name", "Client"},
    {"openAfterSave", &ExportOptionsInterface::openAfterSave, "EA_openOnSave", "Open the file after saving"},
    {"savePaid", &ExportOptionsInterface::savePaid, "EA_paid", "Paid"},
    {"saveProject", &ExportOptionsInterface::saveProject, "EA_project", "Project"},
    {"saveRate", &ExportOptionsInterface::saveRate, "EA_rate", "Rate"},
    {"saveStart", &ExportOptionsInterface::saveStart, "EA_start", "Start Time"},
    {"saveTime", &ExportOptionsInterface::saveTime, "EA_time", "Time"},
    {"exportAllOpen", &ExportOptionsInterface::exportAllOpen, "EA_exportall", "Export all open documents"},
};

// A panel as the export makes it: a new instance of the module, owned by the caller.
class Panel
{
public:
    Panel()
        : _object(PlugInLoader::instanceOfClassName(QStringLiteral("ExportOptions")))
        , options(qobject_cast<ExportOptionsInterface*>(_object.get()))
    {
    }

    QCheckBox* box(const char* query) const
    {
        return options->accessoryView()->findChild<QCheckBox*>(QLatin1String(query));
    }

    // The options that read unticked, by query.
    QStringList unticked() const
    {
        QStringList result;
        for (const Option& option : Options) {
            if (!(options->*option.read)())
                result << QLatin1String(option.query);
        }
        return result;
    }

private:
    std::unique_ptr<QObject> _object;

public:
    ExportOptionsInterface* options;
};

} // namespace

class TestExportOptions : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void everyRequestMakesANewPanel();
    void freshUserHasEveryBoxTicked();
    void storedTextReading_data();
    void storedTextReading();
    void eachBoxRoundTripsThroughItsKey_data();
    void eachBoxRoundTripsThroughItsKey();

private:
    std::optional<TestSettings> _settings;
};

void TestExportOptions::initTestCase()
{
    QVERIFY2(!Bundle::pathForResource(QStringLiteral("ExportOptions"), QStringLiteral("bundle")).isEmpty(),
             "TALLYWICK_RESOURCES must name the folder of ExportOptions.bundle (run through ctest)");
}

void TestExportOptions::init()
{
    _settings.emplace();
}

void TestExportOptions::cleanup()
{
    _settings.reset();
}

void TestExportOptions::everyRequestMakesANewPanel()
{
    Panel first;
    Panel second;

    QVERIFY(first.options);
    QVERIFY(second.options);
    QVERIFY(first.options != second.options);
    QVERIFY(first.options->accessoryView());
    QVERIFY(first.options->accessoryView() != second.options->accessoryView());

    // The view has exactly the thirteen boxes; their titles are checked option by option below.
    QCOMPARE(first.options->accessoryView()->findChildren<QCheckBox*>().size(), qsizetype(std::size(Options)));
}

void TestExportOptions::freshUserHasEveryBoxTicked()
{
    Panel panel;

    QCOMPARE(panel.unticked(), QStringList());
    for (QCheckBox* box : panel.options->accessoryView()->findChildren<QCheckBox*>())
        QVERIFY2(box->isChecked(), qPrintable(box->objectName()));

    // So the export writes every column under a heading line.
    MyDocument document;
    document.setClientName(QStringLiteral("Acme"));
    document.setWorkList({PieceWork::init()});
    QString text;
    document.exportToString(text, *panel.options, true);
    QVERIFY2(text.startsWith(QStringLiteral(
                 "Client\tProject\tDate\tStart Time\tEnd Time\tTime\tRate\tAmount\tDescription\tPaid\nAcme\t")),
             qPrintable(text));
}

void TestExportOptions::storedTextReading_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<bool>("ticked");

    QTest::newRow("\"NO\" is ticked") << QVariant(QStringLiteral("NO")) << true;
    QTest::newRow("\"YES\" is unticked") << QVariant(QStringLiteral("YES")) << false;
    QTest::newRow("lower-case \"yes\" is ticked") << QVariant(QStringLiteral("yes")) << true;
    QTest::newRow("empty text is ticked") << QVariant(QString()) << true;
    QTest::newRow("\"1\" is ticked") << QVariant(QStringLiteral("1")) << true;
    QTest::newRow("a real true reads as \"YES\"") << QVariant(true) << false;
    QTest::newRow("a real false reads as \"NO\"") << QVariant(false) << true;
}

void TestExportOptions::storedTextReading()
{
    QFETCH(QVariant, stored);
    QFETCH(bool, ticked);

    SettingsStore::shared().setValue(QStringLiteral("EA_paid"), stored);
    Panel panel;

    QCOMPARE(panel.options->savePaid(), ticked);
    QCOMPARE(panel.box("savePaid")->isChecked(), ticked);
    QCOMPARE(panel.unticked().size(), ticked ? 0 : 1);
}

void TestExportOptions::eachBoxRoundTripsThroughItsKey_data()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < static_cast<int>(std::size(Options)); ++i)
        QTest::newRow(Options[i].query) << i;
}

void TestExportOptions::eachBoxRoundTripsThroughItsKey()
{
    QFETCH(int, index);
    const Option& option = Options[index];
    SettingsStore& settings = SettingsStore::shared();

    Panel panel;
    QCheckBox* box = panel.box(option.query);
    QVERIFY(box);
    QCOMPARE(box->text(), QLatin1String(option.title));
    box->click();
    QCOMPARE(panel.unticked(), QStringList {QLatin1String(option.query)});

    // Until the export confirms, the settings keep what they had.
    QCOMPARE(Panel().unticked(), QStringList());

    panel.options->saveDefaults();
    for (const Option& other : Options)
        QCOMPARE(settings.stringForKey(QLatin1String(other.key)), QLatin1String(&other == &option ? "YES" : "NO"));

    Panel next;
    QCOMPARE(next.unticked(), QStringList {QLatin1String(option.query)});
    QVERIFY(!next.box(option.query)->isChecked());

    // Ticking it again and saving brings the box back in the next panel.
    next.box(option.query)->click();
    next.options->saveDefaults();
    QCOMPARE(Panel().unticked(), QStringList());
}

QTEST_MAIN(TestExportOptions)
#include "tst_exportoptions.moc"
