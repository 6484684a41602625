#include "BoxExtensions.h"
#include "FileManagerExtensions.h"
#include "ListExtensions.h"
#include "RectFunctions.h"
#include "SettingsStore.h"
#include "TestSettings.h"
#include "TextViewExtensions.h"
#include "VelmorConstants.h"
#include "VelmorPreferences.h"
#include "ViewExtensions.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QSet>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QtTest>

#include <pwd.h>
#include <unistd.h>

#include <memory>

namespace {

// Something with a property-list form, like a work entry.
struct Entry {
    QString name;
    QVariantMap propertyListRepresentation() const { return {{QStringLiteral("Name"), name}}; }
};

// Collects what it is called with.
struct Collector {
    void take(const QString& text) { taken << text; }
    QStringList taken;
};

void touch(const QString& path)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
}

} // namespace

class TestVelmorUtilities : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void createWritableDirectory_data();
    void createWritableDirectory();
    void nextUniqueNameUsing_data();
    void nextUniqueNameUsing();
    void temporaryDirectoryFollowsTheSetting();

    void listHelpers();
    void textViewsAndBoxes();
    void deactivateAllColorWellsClosesOpenChoosers();

    void rectFromPoints_data();
    void rectFromPoints();
    void rectAroundPoint();

private:
    QTemporaryDir _systemTemp;
};

void TestVelmorUtilities::initTestCase()
{
    // The system's temporary folder, for this run only.
    QVERIFY(_systemTemp.isValid());
    qputenv("TMPDIR", _systemTemp.path().toLocal8Bit());
    QCOMPARE(QDir::tempPath(), QDir::cleanPath(_systemTemp.path()));
}

void TestVelmorUtilities::createWritableDirectory_data()
{
    QTest::addColumn<QString>("existingFile");
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<QStringList>("made");

    QTest::newRow("three levels below an existing folder")
        << "" << "a/b/c" << true << QStringList{"a", "a/b", "a/b/c"};
    QTest::newRow("an existing folder") << "" << "." << true << QStringList{};
    QTest::newRow("an existing file is no folder") << "note" << "note" << false << QStringList{};
    QTest::newRow("a level below a file cannot be made") << "note" << "note/b" << false << QStringList{};
}

void TestVelmorUtilities::createWritableDirectory()
{
    QFETCH(QString, existingFile);
    QFETCH(QString, path);
    QFETCH(bool, answer);
    QFETCH(QStringList, made);

    QTemporaryDir root;
    const QDir base(root.path());
    if (!existingFile.isEmpty()) {
        base.mkpath(QFileInfo(existingFile).path());
        touch(base.filePath(existingFile));
    }

    QCOMPARE(FileManagerExtensions::createWritableDirectory(base.filePath(path)), answer);
    for (const QString& level : made)
        QVERIFY2(QFileInfo(base.filePath(level)).isDir(), qPrintable(level));
}

void TestVelmorUtilities::nextUniqueNameUsing_data()
{
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected");

    QTest::newRow("free") << QStringList{} << "x.txt" << "x.txt";
    QTest::newRow("taken") << QStringList{"x.txt"} << "x.txt" << "x_1.txt";
    QTest::newRow("taken twice, formed from the given path")
        << QStringList{"x.txt", "x_1.txt", "x_1_1.txt"} << "x.txt" << "x_2.txt";
    QTest::newRow("first gap") << QStringList{"x.txt", "x_2.txt"} << "x.txt" << "x_1.txt";
    QTest::newRow("last extension only") << QStringList{"x.tar.gz"} << "x.tar.gz" << "x.tar_1.gz";
    QTest::newRow("no extension, no trailing dot") << QStringList{"notes"} << "notes" << "notes_1";
    QTest::newRow("hidden file") << QStringList{".profile"} << ".profile" << ".profile_1";
    QTest::newRow("dot in a folder name") << QStringList{"d.v/readme"} << "d.v/readme" << "d.v/readme_1";
}

void TestVelmorUtilities::nextUniqueNameUsing()
{
    QFETCH(QStringList, existing);
    QFETCH(QString, path);
    QFETCH(QString, expected);

    QTemporaryDir root;
    const QDir base(root.path());
    for (const QString& name : existing) {
        base.mkpath(QFileInfo(name).path());
        touch(base.filePath(name));
    }

    QCOMPARE(FileManagerExtensions::nextUniqueNameUsing(base.filePath(path)), base.filePath(expected));
}

void TestVelmorUtilities::temporaryDirectoryFollowsTheSetting()
{
    TestSettings settings;
    VelmorPreferences::initialize();
    SettingsStore& store = SettingsStore::shared();
    const QString login = QString::fromLocal8Bit(getpwuid(geteuid())->pw_name);
    const QString byDefault = QDir::tempPath() + QStringLiteral("/tst_velmorutilities-") + login;
    const QString chosen = QDir::tempPath() + QStringLiteral("/chosen/by/user");

    QCOMPARE(FileManagerExtensions::temporaryDirectory(), byDefault);
    QVERIFY(QFileInfo(byDefault).isDir());

    store.setValue(VelmorUserTempDirectory, chosen);
    QCOMPARE(FileManagerExtensions::temporaryDirectory(), chosen);
    QVERIFY(QFileInfo(chosen).isDir());

    // Made again when something took it away.
    QVERIFY(QDir(chosen).removeRecursively());
    QCOMPARE(FileManagerExtensions::temporaryDirectory(), chosen);
    QVERIFY(QFileInfo(chosen).isDir());

    // A folder that cannot be made falls back to the system's, with one line in the log.
    const QString file = QDir::tempPath() + QStringLiteral("/a-file");
    touch(file);
    const QString unmakeable = file + QStringLiteral("/sub");
    store.setValue(VelmorUserTempDirectory, unmakeable);
    QTest::ignoreMessage(QtWarningMsg, qPrintable(QStringLiteral("Couldn't create %1, using %2").arg(unmakeable, QDir::tempPath())));
    QCOMPARE(FileManagerExtensions::temporaryDirectory(), QDir::tempPath());
    QTest::failOnWarning(QRegularExpression(QStringLiteral("Couldn't create")));
    QCOMPARE(FileManagerExtensions::temporaryDirectory(), QDir::tempPath());

    // Clearing the setting brings back the default folder.
    store.setValue(VelmorUserTempDirectory, QString(""));
    QCOMPARE(FileManagerExtensions::temporaryDirectory(), byDefault);
}

void TestVelmorUtilities::listHelpers()
{
    QList<int> empty;
    ListExtensions::reverse(empty);
    QVERIFY(empty.isEmpty());
    QList<int> numbers{1, 2, 3};
    ListExtensions::reverse(numbers);
    QCOMPARE(numbers, (QList<int>{3, 2, 1}));

    QCOMPARE(ListExtensions::firstObject(numbers), 3);
    QVERIFY(!ListExtensions::firstObject(QList<std::shared_ptr<Entry>>{}));

    const QList<std::shared_ptr<Entry>> entries{std::make_shared<Entry>(Entry{"first"}),
                                                std::make_shared<Entry>(Entry{"second"})};
    const QList<std::shared_ptr<Entry>> copy = ListExtensions::deepCopy(entries);
    QCOMPARE(copy.size(), 2);
    QVERIFY(copy.at(0) != entries.at(0));
    QCOMPARE(copy.at(1)->name, QStringLiteral("second"));

    const QVariantList representation{QVariantMap{{"Name", "first"}}, QVariantMap{{"Name", "second"}}};
    QCOMPARE(ListExtensions::propertyListRepresentation(entries), representation);
    QCOMPARE(ListExtensions::propertyListRepresentation(QList<Entry>{{"first"}, {"second"}}), representation);

    Collector collector;
    ListExtensions::performSelectorWithEach(collector, &Collector::take, QStringList{"b", "a", "c"});
    QCOMPARE(collector.taken, (QStringList{"b", "a", "c"}));
    const QSet<QString> set{"x", "y"};
    ListExtensions::performSelectorWithEach(collector, &Collector::take, set);
    QCOMPARE(collector.taken.mid(3), set.values());
}

void TestVelmorUtilities::textViewsAndBoxes()
{
    QTextEdit rich;
    QPlainTextEdit plain;
    TextViewExtensions::setStringValue(&rich, QStringLiteral("two\nlines"));
    QCOMPARE(TextViewExtensions::stringValue(&rich), QStringLiteral("two\nlines"));
    TextViewExtensions::setStringValue(&rich, QString());
    QCOMPARE(TextViewExtensions::stringValue(&rich), QString());

    const QColor normal = plain.palette().color(QPalette::Text);
    TextViewExtensions::setEnabled(&plain, false);
    QVERIFY(plain.isReadOnly());
    QCOMPARE(plain.textInteractionFlags(), Qt::NoTextInteraction);
    QVERIFY(plain.palette().color(QPalette::Text) != normal);
    TextViewExtensions::setEnabled(&plain, true);
    QVERIFY(!plain.isReadOnly());
    QCOMPARE(plain.palette().color(QPalette::Text), normal);

    QGroupBox box(QStringLiteral("Options"));
    auto* inside = new QCheckBox(&box);
    BoxExtensions::setEnabled(&box, false);
    QVERIFY(!BoxExtensions::isEnabled(&box));
    QVERIFY(inside->isEnabled());
    BoxExtensions::setEnabled(&box, true);
    QVERIFY(BoxExtensions::isEnabled(&box));
}

void TestVelmorUtilities::deactivateAllColorWellsClosesOpenChoosers()
{
    QWidget view;
    QWidget inner(&view);
    auto* open = new QColorDialog(&inner);
    auto* closed = new QColorDialog(&view);
    open->show();

    ViewExtensions::deactivateAllColorWells(&view);

    QVERIFY(!open->isVisible());
    QVERIFY(!closed->isVisible());
}

void TestVelmorUtilities::rectFromPoints_data()
{
    QTest::addColumn<QPointF>("a");
    QTest::addColumn<QPointF>("b");
    QTest::addColumn<QRectF>("expected");

    QTest::newRow("top left first") << QPointF(1, 2) << QPointF(4, 8) << QRectF(1, 2, 3, 6);
    QTest::newRow("bottom right first") << QPointF(4, 8) << QPointF(1, 2) << QRectF(1, 2, 3, 6);
    QTest::newRow("crossed corners") << QPointF(4, 2) << QPointF(1, 8) << QRectF(1, 2, 3, 6);
    QTest::newRow("one point") << QPointF(-3, 5) << QPointF(-3, 5) << QRectF(-3, 5, 0, 0);
}

void TestVelmorUtilities::rectFromPoints()
{
    QFETCH(QPointF, a);
    QFETCH(QPointF, b);
    QFETCH(QRectF, expected);

    QCOMPARE(RectFromPoints(a, b), expected);
}

void TestVelmorUtilities::rectAroundPoint()
{
    QCOMPARE(RectAroundPoint(QPointF(10, -4), 2.5), QRectF(7.5, -6.5, 5, 5));
    QCOMPARE(RectAroundPoint(QPointF(1, 1), 0), QRectF(1, 1, 0, 0));
}

QTEST_MAIN(TestVelmorUtilities)
#include "tst_velmorutilities.moc"
