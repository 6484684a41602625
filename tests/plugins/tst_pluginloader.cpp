#include "Bundle.h"
#include "PlugInLoader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

// Counts the warnings written to the log while it lives.
class WarningCounter
{
public:
    WarningCounter()
        : _previous(qInstallMessageHandler(&WarningCounter::record))
    {
        warnings = 0;
    }
    ~WarningCounter() { qInstallMessageHandler(_previous); }

    static inline int warnings = 0;

private:
    static void record(QtMsgType type, const QMessageLogContext&, const QString&)
    {
        if (type == QtWarningMsg)
            ++warnings;
    }

    QtMessageHandler _previous;
};

// Points TALLYWICK_RESOURCES somewhere else (or nowhere) until it goes out of scope.
class ResourceFolderOverride
{
public:
    explicit ResourceFolderOverride(const QString& folder)
        : _wasSet(qEnvironmentVariableIsSet("TALLYWICK_RESOURCES"))
        , _previous(qgetenv("TALLYWICK_RESOURCES"))
    {
        set(!folder.isNull(), folder.toUtf8());
    }
    ~ResourceFolderOverride() { set(_wasSet, _previous); }

private:
    static void set(bool isSet, const QByteArray& value)
    {
        if (isSet)
            qputenv("TALLYWICK_RESOURCES", value);
        else
            qunsetenv("TALLYWICK_RESOURCES");
    }

    bool _wasSet;
    QByteArray _previous;
};

}

class PlugInLoaderTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void sharedInstanceIsTheSameEveryTime();
    void newInstanceIsFreshAndTheCallers();
    void unusableNameAnswersNothingEveryTime_data();
    void unusableNameAnswersNothingEveryTime();
    void resourceFolderFollowsEnvironment();
    void resourceFolderDefaultsBesideExecutable();
};

void PlugInLoaderTest::initTestCase()
{
    QVERIFY2(!Bundle::pathForResource(QStringLiteral("TestPlugIn"), QStringLiteral("bundle")).isEmpty(),
             "TALLYWICK_RESOURCES must name the folder of TestPlugIn.bundle (run through ctest)");
}

void PlugInLoaderTest::sharedInstanceIsTheSameEveryTime()
{
    QObject* first = PlugInLoader::sharedInstanceOfClassName(QStringLiteral("TestPlugIn"));
    QObject* second = PlugInLoader::instanceOfClassName(QStringLiteral("TestPlugIn"), true);

    QVERIFY(first);
    QCOMPARE(first->objectName(), QStringLiteral("TestPlugIn"));
    QCOMPARE(second, first);
}

void PlugInLoaderTest::newInstanceIsFreshAndTheCallers()
{
    std::unique_ptr<QObject> first(PlugInLoader::instanceOfClassName(QStringLiteral("TestPlugIn")));
    std::unique_ptr<QObject> second(PlugInLoader::instanceOfClassName(QStringLiteral("TestPlugIn"), false));

    QVERIFY(first);
    QVERIFY(second);
    QCOMPARE(first->objectName(), QStringLiteral("TestPlugIn"));
    QVERIFY(first != second);
    QVERIFY(first.get() != PlugInLoader::sharedInstanceOfClassName(QStringLiteral("TestPlugIn")));
    // Deleting them here, before the module's shared instance, must not disturb the module.
}

void PlugInLoaderTest::unusableNameAnswersNothingEveryTime_data()
{
    QTest::addColumn<QString>("name");

    QTest::newRow("no such module") << QStringLiteral("Missing");
    QTest::newRow("text file named like a module") << QStringLiteral("Broken");
    QTest::newRow("empty name") << QString();
    QTest::newRow("name reaching into another folder") << QStringLiteral("../Resources/TestPlugIn");
    QTest::newRow("absolute path of a real module")
        << QDir(Bundle::resourcePath()).absoluteFilePath(QStringLiteral("TestPlugIn"));
}

void PlugInLoaderTest::unusableNameAnswersNothingEveryTime()
{
    QFETCH(QString, name);

    for (bool shared : {true, false, true}) {
        WarningCounter log;
        QCOMPARE(PlugInLoader::instanceOfClassName(name, shared), nullptr);
        QCOMPARE(WarningCounter::warnings, 1);
    }
}

void PlugInLoaderTest::resourceFolderFollowsEnvironment()
{
    QObject* sharedBefore = PlugInLoader::sharedInstanceOfClassName(QStringLiteral("TestPlugIn"));
    QTemporaryDir otherFolder;
    QVERIFY(otherFolder.isValid());
    QFile logo(otherFolder.filePath(QStringLiteral("Logo.gif")));
    QVERIFY(logo.open(QIODevice::WriteOnly));
    logo.close();

    {
        ResourceFolderOverride override(otherFolder.path());
        QCOMPARE(Bundle::resourcePath(), QDir(otherFolder.path()).absolutePath());
        QCOMPARE(Bundle::pathForResource(QStringLiteral("Logo"), QStringLiteral("gif")), logo.fileName());
        QCOMPARE(Bundle::pathForResource(QStringLiteral("Logo.gif"), QString()), logo.fileName());
        QCOMPARE(Bundle::pathForResource(QStringLiteral("Logo"), QStringLiteral("png")), QString());

        WarningCounter log;
        QCOMPARE(PlugInLoader::sharedInstanceOfClassName(QStringLiteral("TestPlugIn")), nullptr);
    }

    // Back in the module's folder, the module loaded before still answers the same instance.
    QCOMPARE(PlugInLoader::sharedInstanceOfClassName(QStringLiteral("TestPlugIn")), sharedBefore);
}

void PlugInLoaderTest::resourceFolderDefaultsBesideExecutable()
{
    ResourceFolderOverride override{QString()};

    QCOMPARE(Bundle::resourcePath(), QCoreApplication::applicationDirPath() + QStringLiteral("/Resources"));
}

QTEST_GUILESS_MAIN(PlugInLoaderTest)
#include "tst_pluginloader.moc"
