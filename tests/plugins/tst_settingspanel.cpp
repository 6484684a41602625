#include "Bundle.h"
#include "Constants.h"
#include "NotificationCenter.h"
#include "PlugIns/SettingsPanelInterface.h"
#include "PlugInLoader.h"
#include "Preferences.h"
#include "SettingsStore.h"
#include "TestSettings.h"
#include "VelmorConstants.h"
#include "VelmorPreferences.h"

#include <QAbstractItemModelTester>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QtTest>

#include <functional>
#include <memory>
#include <optional>

namespace {

const QString PanelName = QStringLiteral("SettingsPanel");

// Columns of the description tables and the phrase table.
constexpr int DragColumn = 0;
constexpr int RateColumn = 1;
constexpr int DescriptionColumn = 2;
constexpr int DesiredPhraseColumn = 1;

QObject* sharedPanelObject()
{
    return PlugInLoader::sharedInstanceOfClassName(PanelName);
}

QVariantList descriptionList(const QStringList& descriptions)
{
    QVariantList list;
    for (const QString& description : descriptions)
        list << QVariantMap {{DESCRIPTION_KEY, description}, {RATE_KEY, QString()}};
    return list;
}

QStringList descriptionsIn(const QString& key)
{
    QStringList descriptions;
    for (const QVariant& entry : SettingsStore::shared().arrayForKey(key))
        descriptions << entry.toMap().value(DESCRIPTION_KEY).toString();
    return descriptions;
}

bool isNumber(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Int:
    case QMetaType::LongLong:
        return true;
    default:
        return false;
    }
}

// A stored value in the form the test expects: booleans and numbers must be stored as such (the
// window writes real values), anything else is compared as text.
QString storedText(const QString& key, const QVariant& expected)
{
    const QVariant value = SettingsStore::shared().value(key);
    if (expected.typeId() == QMetaType::Bool && value.typeId() != QMetaType::Bool)
        return QStringLiteral("<not a boolean: %1>").arg(value.toString());
    if (isNumber(expected))
        return isNumber(value) ? QString::number(value.toDouble())
                               : QStringLiteral("<not a number: %1>").arg(value.toString());
    return value.toString();
}

QString expectedText(const QVariant& expected)
{
    return isNumber(expected) ? QString::number(expected.toDouble()) : expected.toString();
}

QString writeImage(const QString& folder, const QString& name)
{
    QImage image(40, 20, QImage::Format_RGB32);
    image.fill(Qt::darkBlue);
    const QString path = folder + QLatin1Char('/') + name;
    return image.save(path) ? path : QString();
}

// Check boxes and radio buttons take clicks on their box and label only, not across their whole width.
void click(QAbstractButton* button)
{
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, QPoint(8, button->height() / 2));
}

using PanelAction = std::function<void(QWidget* panel)>;

} // namespace

Q_DECLARE_METATYPE(PanelAction)

class TestSettingsPanel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void oneSharedWindowNamedAfterItsLayout();
    void showingReloadsEveryControl();
    void storedTabIsSelectedWhenTheWindowIsMade_data();
    void storedTabIsSelectedWhenTheWindowIsMade();
    void showCallsOpenTheirTab_data();
    void showCallsOpenTheirTab();
    void everyTabHasItsOwnMnemonics();

    void buttonsStoreAtOnce_data();
    void buttonsStoreAtOnce();
    void textFieldsCommitWhenEditingEnds_data();
    void textFieldsCommitWhenEditingEnds();
    void remitAddressKeepsTabsAndIsStoredOnLeaving();
    void notificationsFollowTheirSettings_data();
    void notificationsFollowTheirSettings();
    void invoiceFieldFollowsTheCounter();
    void mailerStoresTheChosenName_data();
    void mailerStoresTheChosenName();

    void phraseTableListsTheLabelsInRowOrder();
    void phraseEditsAreStoredUnderTheDefaultText_data();
    void phraseEditsAreStoredUnderTheDefaultText();

    void reportFontComesFromTheFontChooser();
    void logoDrops_data();
    void logoDrops();
    void logoFromTheOpenPanel();

    void addPutsTheNewEntryBelowTheSelection_data();
    void addPutsTheNewEntryBelowTheSelection();
    void editingACellReplacesOneValue();
    void removeSelectsTheRowThatTookItsPlace_data();
    void removeSelectsTheRowThatTookItsPlace();
    void dragReordersTheList_data();
    void dragReordersTheList();
    void altArrowsMoveTheSelectedEntry_data();
    void altArrowsMoveTheSelectedEntry();

    void restoreDefaultsKeepsTheCounterAndEmptiesTheLists();

private:
    template <typename Widget>
    Widget* child(const char* name) const
    {
        auto* widget = _panel->findChild<Widget*>(QLatin1String(name));
        if (!widget)
            qWarning("no %s in the window", name);
        return widget;
    }
    QTabWidget* tabView() const { return child<QTabWidget>("tabView"); }
    void showPageOf(QWidget* widget) const;
    void typeInto(QLineEdit* field, const QString& text, Qt::Key ending) const;
    QTableView* showList(const char* tableName, int innerIndex) const;
    void dragRow(QTableView* table, int from, int to, int column, Qt::KeyboardModifiers modifiers) const;
    QList<int> selectedRows(QTableView* table) const;

    std::optional<TestSettings> _settings;
    QWidget* _panel = nullptr;
    SettingsPanelInterface* _interface = nullptr;
    std::vector<std::unique_ptr<QAbstractItemModelTester>> _modelTesters;
    QTemporaryDir _files;
};

void TestSettingsPanel::initTestCase()
{
    QVERIFY2(!Bundle::pathForResource(PanelName, QStringLiteral("bundle")).isEmpty(),
             "SettingsPanel.bundle must be in TALLYWICK_RESOURCES (run through ctest)");
    QVERIFY(_files.isValid());
}

void TestSettingsPanel::init()
{
    _settings.emplace();
    VelmorPreferences::initialize();
    Preferences::initialize();
    QObject* instance = sharedPanelObject();
    _panel = qobject_cast<QWidget*>(instance);
    _interface = qobject_cast<SettingsPanelInterface*>(instance);
    QVERIFY(_panel && _interface);
    _panel->resize(640, 560);
    _interface->showWindow();
    QVERIFY(QTest::qWaitForWindowActive(_panel));
    for (const char* table : {"phraseTableView", "expenseDescriptionTableView", "jobDescriptionTableView"})
        _modelTesters.push_back(std::make_unique<QAbstractItemModelTester>(
            child<QTableView>(table)->model(), QAbstractItemModelTester::FailureReportingMode::QtTest));
}

void TestSettingsPanel::cleanup()
{
    _modelTesters.clear();
    // Whatever is still being edited goes to this test's settings, not the next one's.
    _panel->close();
    _settings.reset();
}

void TestSettingsPanel::showPageOf(QWidget* widget) const
{
    for (int page = 0; page < tabView()->count(); ++page) {
        if (tabView()->widget(page)->isAncestorOf(widget))
            tabView()->setCurrentIndex(page);
    }
}

void TestSettingsPanel::typeInto(QLineEdit* field, const QString& text, Qt::Key ending) const
{
    showPageOf(field);
    field->setFocus(Qt::TabFocusReason);
    field->selectAll();
    if (text.isEmpty())
        QTest::keyClick(field, Qt::Key_Backspace);
    else
        QTest::keyClicks(field, text);
    QTest::keyClick(field, ending);
}

QTableView* TestSettingsPanel::showList(const char* tableName, int innerIndex) const
{
    tabView()->setCurrentWidget(child<QWidget>("listsTab"));
    child<QTabWidget>("expenseJobTabView")->setCurrentIndex(innerIndex);
    return child<QTableView>(tableName);
}

// Press, a first step past the drag distance, the move and the release, as the window system
// sends them; QTest's own moves carry no buttons.
void TestSettingsPanel::dragRow(QTableView* table, int from, int to, int column, Qt::KeyboardModifiers modifiers) const
{
    QWidget* viewport = table->viewport();
    const QPoint start = table->visualRect(table->model()->index(from, column)).center();
    const QPoint end = table->visualRect(table->model()->index(to, column)).center();
    QTest::mousePress(viewport, Qt::LeftButton, modifiers, start);
    for (const QPoint& point : {start + QPoint(0, end.y() >= start.y() ? 12 : -12), end}) {
        QMouseEvent move(QEvent::MouseMove, point, viewport->mapToGlobal(point), Qt::NoButton, Qt::LeftButton,
                         modifiers);
        QApplication::sendEvent(viewport, &move);
    }
    QTest::mouseRelease(viewport, Qt::LeftButton, modifiers, end);
}

QList<int> TestSettingsPanel::selectedRows(QTableView* table) const
{
    QList<int> rows;
    for (const QModelIndex& index : table->selectionModel()->selectedRows())
        rows << index.row();
    return rows;
}

// The window

void TestSettingsPanel::oneSharedWindowNamedAfterItsLayout()
{
    QCOMPARE(sharedPanelObject(), _panel);
    QCOMPARE(_panel->objectName(), PanelName);
    auto* mailers = child<QComboBox>("mailerPop");
    QStringList names;
    for (int item = 0; item < mailers->count(); ++item)
        names << mailers->itemText(item);
    QCOMPARE(names, (QStringList {"Mail", "PowerMail", "Eudora", "Mailsmith 1.5", "Entourage", "Outlook Express",
                                  "Entourage X"}));
}

void TestSettingsPanel::showingReloadsEveryControl()
{
    SettingsStore& settings = SettingsStore::shared();
    settings.setValue(TwentyFourHour, QStringLiteral("YES"));
    settings.setValue(EuroDates, true);
    settings.setValue(Rate, 90.0);
    settings.setValue(TaxGrossIncome, QStringLiteral("NO"));
    settings.setValue(ResumeAction, 7); // pauses nothing, like 2
    settings.setValue(Mailer, QStringLiteral("Entourage X"));
    settings.setValue(CurrencySymbol, QStringLiteral("EUR"));
    settings.setValue(VelmorCCAddress, QStringLiteral("books@example.com"));
    settings.setValue(InvoiceNumber, 2500);
    settings.setValue(RemitAddress, QStringLiteral("\tAcme\n"));
    settings.setValue(JobDescriptions, descriptionList({"Design", "Review"}));
    _interface->showWindow();

    QVERIFY(child<QRadioButton>("twentyFourHourButton")->isChecked());
    QVERIFY(child<QRadioButton>("dayFirstButton")->isChecked());
    QVERIFY(child<QRadioButton>("taxCashButton")->isChecked());
    QVERIFY(child<QRadioButton>("resumeNothingButton")->isChecked());
    QVERIFY(child<QCheckBox>("autoCheckForUpdatesSwitch")->isChecked()); // registered "YES"
    QVERIFY(!child<QCheckBox>("taxableSwitch")->isChecked());
    QCOMPARE(child<QLineEdit>("rateField")->text(), QStringLiteral("90"));
    QCOMPARE(child<QLineEdit>("taxRateField")->text(), QStringLiteral("5.875"));
    QCOMPARE(child<QLineEdit>("symbolField")->text(), QStringLiteral("EUR"));
    QCOMPARE(child<QLineEdit>("ccAddressField")->text(), QStringLiteral("books@example.com"));
    QCOMPARE(child<QLineEdit>("nextInvoiceField")->text(), QStringLiteral("2500"));
    QCOMPARE(child<QLineEdit>("logoPathField")->text(), QString());
    QCOMPARE(child<QPlainTextEdit>("addressText")->toPlainText(), QStringLiteral("\tAcme\n"));
    QCOMPARE(child<QComboBox>("mailerPop")->currentText(), QStringLiteral("Entourage X"));
    QCOMPARE(child<QTableView>("jobDescriptionTableView")->model()->rowCount(), 2);
    QCOMPARE(child<QTableView>("expenseDescriptionTableView")->model()->rowCount(), 0);

    settings.setValue(Mailer, QStringLiteral("Pigeon"));
    _interface->showWindow();
    QCOMPARE(child<QComboBox>("mailerPop")->currentIndex(), -1);
}

void TestSettingsPanel::storedTabIsSelectedWhenTheWindowIsMade_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<int>("selected");
    QTest::newRow("nothing stored opens the first tab") << QVariant() << 0;
    QTest::newRow("stored index 3") << QVariant(3) << 3;
    QTest::newRow("index past the last tab opens the first") << QVariant(99) << 0;
}

void TestSettingsPanel::storedTabIsSelectedWhenTheWindowIsMade()
{
    QFETCH(QVariant, stored);
    QFETCH(int, selected);
    if (stored.isValid())
        SettingsStore::shared().setValue(PreferencesTabView, stored);
    std::unique_ptr<QObject> fresh(PlugInLoader::instanceOfClassName(PanelName));
    auto* tabs = fresh->findChild<QTabWidget*>(QStringLiteral("tabView"));
    QVERIFY(tabs);
    QCOMPARE(tabs->currentIndex(), selected);
}

void TestSettingsPanel::showCallsOpenTheirTab_data()
{
    QTest::addColumn<PanelAction>("show");
    QTest::addColumn<QString>("page");
    QTest::addColumn<int>("innerIndex"); // -1: the lists are not shown
    QTest::addColumn<QString>("control"); // a control the tab must hold
    auto call = [](void (SettingsPanelInterface::*show)()) {
        return PanelAction([show](QWidget* panel) { (qobject_cast<SettingsPanelInterface*>(panel)->*show)(); });
    };

    QTest::newRow("update check opens Misc, index 4")
        << call(&SettingsPanelInterface::showCheckUpdatesPrefAction)
        << "miscTab" << -1 << "autoCheckForUpdatesSwitch";
    QTest::newRow("expense descriptions open Lists at the first list")
        << call(&SettingsPanelInterface::showExpenseDescriptionsTab)
        << "listsTab" << 0 << "expenseDescriptionTableView";
    QTest::newRow("job descriptions open Lists at the second list")
        << call(&SettingsPanelInterface::showJobDescriptionTab)
        << "listsTab" << 1 << "jobDescriptionTableView";
}

void TestSettingsPanel::showCallsOpenTheirTab()
{
    QFETCH(PanelAction, show);
    QFETCH(QString, page);
    QFETCH(int, innerIndex);
    QFETCH(QString, control);

    _panel->close();
    tabView()->setCurrentIndex(0);
    child<QTabWidget>("expenseJobTabView")->setCurrentIndex(innerIndex == 0 ? 1 : 0);
    show(_panel);

    QVERIFY(_panel->isVisible());
    QCOMPARE(tabView()->currentWidget()->objectName(), page);
    QVERIFY(tabView()->currentWidget()->isAncestorOf(_panel->findChild<QWidget*>(control)));
    if (page == QLatin1String("miscTab"))
        QCOMPARE(tabView()->currentIndex(), 4);
    if (innerIndex >= 0)
        QCOMPARE(child<QTabWidget>("expenseJobTabView")->currentIndex(), innerIndex);
    QCOMPARE(SettingsStore::shared().integerForKey(PreferencesTabView), tabView()->currentIndex());
}

void TestSettingsPanel::everyTabHasItsOwnMnemonics()
{
    QStringList problems;
    for (int page = 0; page < tabView()->count(); ++page) {
        QMap<QChar, QString> owners;
        auto note = [&](const QString& text, const QString& owner) {
            const qsizetype at = text.indexOf(QLatin1Char('&'));
            if (at < 0 || at + 1 >= text.size())
                return;
            const QChar letter = text.at(at + 1).toLower();
            if (owners.contains(letter))
                problems << QStringLiteral("%1 and %2 share Alt+%3").arg(owners.value(letter), owner, letter);
            owners.insert(letter, owner);
        };
        QWidget* tab = tabView()->widget(page);
        for (QLabel* label : tab->findChildren<QLabel*>()) {
            note(label->text(), label->objectName());
            if (label->text().contains(QLatin1Char('&')) && !label->buddy())
                problems << label->objectName() + QStringLiteral(" leads nowhere");
        }
        for (QAbstractButton* button : tab->findChildren<QAbstractButton*>())
            note(button->text(), button->objectName());
    }
    QCOMPARE(problems, QStringList());
}

// Controls and their settings

void TestSettingsPanel::buttonsStoreAtOnce_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QVariant>("before"); // stored before the window shows
    QTest::addColumn<QVariant>("stored");

    QTest::newRow("24-hour clock") << "twentyFourHourButton" << TwentyFourHour << QVariant("NO") << QVariant(true);
    QTest::newRow("12-hour clock") << "twelveHourButton" << TwentyFourHour << QVariant("YES") << QVariant(false);
    QTest::newRow("day-first dates") << "dayFirstButton" << EuroDates << QVariant("NO") << QVariant(true);
    QTest::newRow("keep backup") << "keepBackupFileSwitch" << KeepBackupFile << QVariant("NO") << QVariant(true);
    QTest::newRow("taxable by default") << "taxableSwitch" << TaxableByDefault << QVariant("NO") << QVariant(true);
    QTest::newRow("tax on the cash part") << "taxCashButton" << TaxGrossIncome << QVariant("YES") << QVariant(false);
    QTest::newRow("symbol after the amount")
        << "symbolAfterButton" << CurrencySymbolAfter << QVariant("NO") << QVariant(true);
    QTest::newRow("update check off")
        << "autoCheckForUpdatesSwitch" << AutoCheckForUpdates << QVariant("YES") << QVariant(false);
    QTest::newRow("leave money out") << "ignoreMoneySwitch" << IgnoreMoney << QVariant("NO") << QVariant(true);
    QTest::newRow("resume pauses all clients")
        << "resumeAllClientsButton" << ResumeAction << QVariant("0") << QVariant(1);
    QTest::newRow("resume pauses nothing") << "resumeNothingButton" << ResumeAction << QVariant("0") << QVariant(2);
    QTest::newRow("resume pauses the same client")
        << "resumeSameClientButton" << ResumeAction << QVariant(2) << QVariant(0);
}

void TestSettingsPanel::buttonsStoreAtOnce()
{
    QFETCH(QString, button);
    QFETCH(QString, key);
    QFETCH(QVariant, before);
    QFETCH(QVariant, stored);
    SettingsStore::shared().setValue(key, before);
    _interface->showWindow();

    auto* control = _panel->findChild<QAbstractButton*>(button);
    QVERIFY(control);
    showPageOf(control);
    click(control);

    _settings->reload(); // what reached the file
    QCOMPARE(storedText(key, stored), expectedText(stored));
}

void TestSettingsPanel::textFieldsCommitWhenEditingEnds_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("ending");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QString>("shown"); // the field afterwards
    const int tab = Qt::Key_Tab;
    const int enter = Qt::Key_Return;

    QTest::newRow("rate, Tab") << "rateField" << "90" << tab << Rate << QVariant(90.0) << "90";
    QTest::newRow("tax rate, Return") << "taxRateField" << "7.25" << enter << TaxRate << QVariant(7.25) << "7.25";
    QTest::newRow("equity percent, Return")
        << "equityPercentField" << "12.5" << enter << EquityPercent << QVariant(12.5) << "12.5";
    QTest::newRow("share cost that is no number stores 0")
        << "shareCostField" << "lots" << enter << ShareCost << QVariant(0.0) << "0";
    QTest::newRow("currency symbol, Tab")
        << "symbolField" << "EUR" << tab << CurrencySymbol << QVariant("EUR") << "EUR";
    QTest::newRow("thousands separator")
        << "thousandsField" << "." << enter << ThousandsSeparator << QVariant(".") << ".";
    QTest::newRow("decimal separator") << "decimalField" << "," << enter << DecimalSeparator << QVariant(",") << ",";
    QTest::newRow("copy address") << "ccAddressField" << "books@example.com" << tab << VelmorCCAddress
                                  << QVariant("books@example.com") << "books@example.com";
    QTest::newRow("logo path naming no image is stored all the same")
        << "logoPathField" << "/nowhere/logo.png" << enter << CompanyLogoPath << QVariant("/nowhere/logo.png")
        << "/nowhere/logo.png";
    QTest::newRow("next invoice 42") << "nextInvoiceField" << "42" << enter << InvoiceNumber << QVariant(42) << "42";
    QTest::newRow("next invoice 0 turns numbering off")
        << "nextInvoiceField" << "0" << enter << InvoiceNumber << QVariant("") << "";
    QTest::newRow("next invoice without digits turns numbering off")
        << "nextInvoiceField" << "none" << tab << InvoiceNumber << QVariant("") << "";
    QTest::newRow("next invoice emptied turns numbering off")
        << "nextInvoiceField" << "" << tab << InvoiceNumber << QVariant("") << "";
}

void TestSettingsPanel::textFieldsCommitWhenEditingEnds()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(int, ending);
    QFETCH(QString, key);
    QFETCH(QVariant, stored);
    QFETCH(QString, shown);

    auto* line = _panel->findChild<QLineEdit*>(field);
    QVERIFY(line);
    typeInto(line, typed, Qt::Key(ending));

    QCOMPARE(line->text(), shown);
    _settings->reload();
    QCOMPARE(storedText(key, stored), expectedText(stored));
    if (key == CompanyLogoPath)
        QVERIFY(!child<QWidget>("logoImageView")->property("hasImage").toBool());
}

void TestSettingsPanel::remitAddressKeepsTabsAndIsStoredOnLeaving()
{
    auto* address = child<QPlainTextEdit>("addressText");
    showPageOf(address);
    address->setFocus(Qt::TabFocusReason);
    address->selectAll();
    QTest::keyClick(address, Qt::Key_Tab);
    QTest::keyClicks(address, "Acme");
    QTest::keyClick(address, Qt::Key_Return);
    QVERIFY(!SettingsStore::shared().hasUserValue(RemitAddress)); // still being edited

    child<QLineEdit>("nextInvoiceField")->setFocus(Qt::MouseFocusReason);
    QCOMPARE(SettingsStore::shared().stringForKey(RemitAddress), QStringLiteral("\tAcme\n"));
}

void TestSettingsPanel::notificationsFollowTheirSettings_data()
{
    QTest::addColumn<PanelAction>("change");
    QTest::addColumn<QStringList>("posted");
    const QStringList money {MoneyFormatChangedNotification};
    const QStringList tax {TaxChangedNotification};
    auto typed = [this](const char* field, const char* text) {
        return PanelAction([this, field, text](QWidget*) { typeInto(child<QLineEdit>(field), text, Qt::Key_Return); });
    };
    auto clicked = [](const char* button) {
        return PanelAction([button](QWidget* panel) {
            click(panel->findChild<QAbstractButton*>(QLatin1String(button)));
        });
    };

    QTest::newRow("currency symbol") << typed("symbolField", "EUR") << money;
    QTest::newRow("thousands separator") << typed("thousandsField", "'") << money;
    QTest::newRow("decimal separator") << typed("decimalField", ",") << money;
    QTest::newRow("symbol position") << clicked("symbolAfterButton") << money;
    QTest::newRow("tax on the cash part") << clicked("taxCashButton") << tax;
    QTest::newRow("tax rate posts nothing") << typed("taxRateField", "8") << QStringList();
    QTest::newRow("rate posts nothing") << typed("rateField", "80") << QStringList();
}

void TestSettingsPanel::notificationsFollowTheirSettings()
{
    QFETCH(PanelAction, change);
    QFETCH(QStringList, posted);
    // The buttons live on a tab that must show for a click to reach them.
    tabView()->setCurrentWidget(child<QWidget>("newClientsTab"));
    QSignalSpy spy(&NotificationCenter::shared(), &NotificationCenter::posted);
    change(_panel);

    QStringList names;
    for (const QList<QVariant>& notification : spy) {
        names << notification.at(0).toString();
        QVERIFY(!notification.at(1).isValid()); // no object
    }
    QCOMPARE(names, posted);
}

void TestSettingsPanel::invoiceFieldFollowsTheCounter()
{
    auto* field = child<QLineEdit>("nextInvoiceField");
    QCOMPARE(field->text(), QStringLiteral("1000"));
    QCOMPARE(Preferences::nextInvoiceNumber(), QStringLiteral("1000"));
    QCOMPARE(field->text(), QStringLiteral("1001"));
    NotificationCenter::shared().post(InvoiceNumberUpdatedNotification, QVariant(qint64(77)));
    QCOMPARE(field->text(), QStringLiteral("77"));
}

void TestSettingsPanel::mailerStoresTheChosenName_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::newRow("Eudora") << "Eudora";
    QTest::newRow("a name with a space and a version") << "Mailsmith 1.5";
    QTest::newRow("the last one") << "Entourage X";
}

void TestSettingsPanel::mailerStoresTheChosenName()
{
    QFETCH(QString, chosen);
    auto* mailers = child<QComboBox>("mailerPop");
    showPageOf(mailers);
    mailers->setFocus(Qt::TabFocusReason);
    const int steps = mailers->findText(chosen) - mailers->currentIndex();
    QVERIFY(steps > 0);
    for (int step = 0; step < steps; ++step)
        QTest::keyClick(mailers, Qt::Key_Down);
    QCOMPARE(mailers->currentText(), chosen);
    _settings->reload();
    QCOMPARE(SettingsStore::shared().stringForKey(Mailer), chosen);
}

// Report labels

void TestSettingsPanel::phraseTableListsTheLabelsInRowOrder()
{
    const QAbstractItemModel* phrases = child<QTableView>("phraseTableView")->model();
    QCOMPARE(phrases->rowCount(), 35);
    QCOMPARE(phrases->index(0, 0).data().toString(), Preferences::defaultInvoiceString());
    // The second heading comes before the first; tabs and line breaks show as \t and \n.
    QCOMPARE(phrases->index(4, 0).data().toString(),
             QStringLiteral("Date:\\tHours:\\tRate:\\tAmount:\\tDescription:\\n"));
    QCOMPARE(phrases->index(5, 0).data().toString(), QStringLiteral("Date:\\tDay:  \\tHours:\\t\\tDescription:\\n"));
    QCOMPARE(phrases->index(34, 0).data().toString(), QStringLiteral("Paid"));
    QVERIFY(!(phrases->flags(phrases->index(18, 0)) & Qt::ItemIsEditable));
    QVERIFY(phrases->flags(phrases->index(18, DesiredPhraseColumn)) & Qt::ItemIsEditable);
}

void TestSettingsPanel::phraseEditsAreStoredUnderTheDefaultText_data()
{
    using Label = QString (*)();
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QList<Label>>("labels"); // each answers the stored text afterwards

    QTest::newRow("renamed total") << 18 << "Sum" << "Total" << "Sum" << QList<Label> {&Preferences::totalString};
    QTest::newRow("cleared total stores a blank, not the default")
        << 18 << "" << "Total" << " " << QList<Label> {&Preferences::totalString};
    QTest::newRow("escapes become a tab and a line break")
        << 6 << "Day:\\tCost:\\n" << Preferences::defaultHeader3String() << "Day:\tCost:\n"
        << QList<Label> {&Preferences::header3String};
    QTest::newRow("a doubled backslash is one backslash")
        << 2 << "\\\\" << "-" << "\\" << QList<Label> {&Preferences::dashString};
    QTest::newRow("unpaid row renames both unpaid labels")
        << 22 << "Open" << "Unpaid" << "Open"
        << QList<Label> {&Preferences::stillUnpaidString, &Preferences::unpaidString};
}

void TestSettingsPanel::phraseEditsAreStoredUnderTheDefaultText()
{
    using Label = QString (*)();
    QFETCH(int, row);
    QFETCH(QString, typed);
    QFETCH(QString, key);
    QFETCH(QString, stored);
    QFETCH(QList<Label>, labels);

    auto* table = child<QTableView>("phraseTableView");
    showPageOf(table);
    table->setFocus(Qt::TabFocusReason);
    const QModelIndex cell = table->model()->index(row, DesiredPhraseColumn);
    table->setCurrentIndex(cell);
    table->edit(cell);
    auto* editor = qobject_cast<QLineEdit*>(table->indexWidget(cell));
    QVERIFY(editor);
    editor->selectAll();
    if (typed.isEmpty())
        QTest::keyClick(editor, Qt::Key_Backspace);
    else
        QTest::keyClicks(editor, typed);
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents(); // Return commits through the event loop

    _settings->reload(); // flushed at once
    QCOMPARE(SettingsStore::shared().stringForKey(key), stored);
    for (Label label : labels)
        QCOMPARE(label(), stored);
}

// Report font and logo

void TestSettingsPanel::reportFontComesFromTheFontChooser()
{
    auto* preview = child<QPlainTextEdit>("reportFontText");
    QCOMPARE(preview->toPlainText(), Preferences::invoiceString() + QLatin1Char('\n') + Preferences::remitString());
    auto* fontButton = child<QPushButton>("showFontPanelButton");
    showPageOf(fontButton);
    click(fontButton);
    auto* chooser = _panel->findChild<QFontDialog*>();
    QVERIFY(chooser && chooser->isVisible());

    QFont picked(QStringLiteral("DejaVu Sans Mono"));
    picked.setPointSizeF(17);
    chooser->setCurrentFont(picked);
    chooser->accept();

    QCOMPARE(SettingsStore::shared().stringForKey(ReportFont), QStringLiteral("DejaVu Sans Mono"));
    QCOMPARE(SettingsStore::shared().realForKey(ReportFontSize), 17.0);
    QCOMPARE(preview->font().family(), QStringLiteral("DejaVu Sans Mono"));
    QCOMPARE(Preferences::reportFont().pointSizeF(), 17.0);
}

void TestSettingsPanel::logoDrops_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<bool>("accepted");
    const QString logo = writeImage(_files.path(), QStringLiteral("logo.png"));
    const QString other = writeImage(_files.path(), QStringLiteral("other.png"));
    const QString text = _files.filePath(QStringLiteral("notes.txt"));
    QFile notes(text);
    QVERIFY(notes.open(QIODevice::WriteOnly) && notes.write("not a picture") > 0);

    QTest::newRow("one image becomes the logo") << QStringList {logo} << true;
    QTest::newRow("two images are refused") << QStringList {logo, other} << false;
    QTest::newRow("a file that is no image is refused") << QStringList {text} << false;
}

void TestSettingsPanel::logoDrops()
{
    QFETCH(QStringList, files);
    QFETCH(bool, accepted);
    auto* well = child<QWidget>("logoImageView");
    showPageOf(well);
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& file : files)
        urls << QUrl::fromLocalFile(file);
    data.setUrls(urls);

    const QPoint centre = well->rect().center();
    QDragEnterEvent enter(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(well, &enter);
    QCOMPARE(enter.isAccepted(), accepted);
    QDropEvent drop(QPointF(centre), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(well, &drop);

    const QString expected = accepted ? files.first() : QString(QLatin1String(""));
    QCOMPARE(SettingsStore::shared().stringForKey(CompanyLogoPath), expected);
    QCOMPARE(child<QLineEdit>("logoPathField")->text(), expected);
    QCOMPARE(well->property("hasImage").toBool(), accepted);
}

void TestSettingsPanel::logoFromTheOpenPanel()
{
    const QString logo = writeImage(_files.path(), QStringLiteral("chosen.png"));
    auto* choose = child<QPushButton>("runLogoOpenButton");
    showPageOf(choose);
    click(choose);
    auto* panel = _panel->findChild<QFileDialog*>();
    QVERIFY(panel && panel->isVisible());
    panel->selectFile(logo);
    static_cast<QDialog*>(panel)->accept();

    QCOMPARE(SettingsStore::shared().stringForKey(CompanyLogoPath), logo);
    QCOMPARE(child<QLineEdit>("logoPathField")->text(), logo);
    QVERIFY(child<QWidget>("logoImageView")->property("hasImage").toBool());
}

// Description lists

void TestSettingsPanel::addPutsTheNewEntryBelowTheSelection_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<int>("selected");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<int>("newRow");

    QTest::newRow("nothing selected in three: first")
        << ExpenseDescriptions << QStringList {"A", "B", "C"} << -1 << QStringList {"", "A", "B", "C"} << 0;
    QTest::newRow("last selected: last")
        << ExpenseDescriptions << QStringList {"A", "B", "C"} << 2 << QStringList {"A", "B", "C", ""} << 3;
    QTest::newRow("first selected: second")
        << ExpenseDescriptions << QStringList {"A", "B", "C"} << 0 << QStringList {"A", "", "B", "C"} << 1;
    QTest::newRow("empty list: the only entry") << ExpenseDescriptions << QStringList {} << -1 << QStringList {""} << 0;
    QTest::newRow("job list, middle selected")
        << JobDescriptions << QStringList {"A", "B", "C"} << 1 << QStringList {"A", "B", "", "C"} << 2;
}

void TestSettingsPanel::addPutsTheNewEntryBelowTheSelection()
{
    QFETCH(QString, key);
    QFETCH(QStringList, before);
    QFETCH(int, selected);
    QFETCH(QStringList, after);
    QFETCH(int, newRow);
    SettingsStore::shared().setValue(key, descriptionList(before));
    _interface->showWindow();
    QTableView* table = key == JobDescriptions ? showList("jobDescriptionTableView", 1)
                                               : showList("expenseDescriptionTableView", 0);
    if (selected >= 0)
        table->selectRow(selected);

    click(child<QPushButton>("addDescriptionButton"));

    QCOMPARE(descriptionsIn(key), after);
    const QVariantMap added = SettingsStore::shared().arrayForKey(key).at(newRow).toMap();
    QCOMPARE(added, (QVariantMap {{DESCRIPTION_KEY, QString()}, {RATE_KEY, QString()}}));
    QCOMPARE(selectedRows(table), QList<int> {newRow});
    QCOMPARE(table->currentIndex().column(), DescriptionColumn);
    QVERIFY(table->indexWidget(table->currentIndex())); // its editor is open
    QVERIFY(child<QPushButton>("removeDescriptionButton")->isEnabled());

    // What is typed into the new row is stored when Tab ends the editing.
    QTest::keyClicks(QApplication::focusWidget(), "Travel");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(descriptionsIn(key).at(newRow), QStringLiteral("Travel"));
}

void TestSettingsPanel::editingACellReplacesOneValue()
{
    SettingsStore::shared().setValue(JobDescriptions,
                                     QVariantList {QVariantMap {{DESCRIPTION_KEY, "Design"}, {RATE_KEY, "90"}}});
    _interface->showWindow();
    QTableView* table = showList("jobDescriptionTableView", 1);
    table->setFocus(Qt::TabFocusReason);
    const QModelIndex rate = table->model()->index(0, RateColumn);
    table->setCurrentIndex(rate);
    table->edit(rate);
    QWidget* editor = table->indexWidget(rate);
    QVERIFY(editor);
    QTest::keyClicks(editor, "110");
    QTest::keyClick(editor, Qt::Key_Tab);

    _settings->reload();
    QCOMPARE(SettingsStore::shared().arrayForKey(JobDescriptions),
             (QVariantList {QVariantMap {{DESCRIPTION_KEY, "Design"}, {RATE_KEY, "110"}}}));
    QVERIFY(!(table->model()->flags(table->model()->index(0, DragColumn)) & Qt::ItemIsEditable));
    QCOMPARE(table->model()->index(0, DragColumn).data().toString(), QStringLiteral("\u2022"));
}

void TestSettingsPanel::removeSelectsTheRowThatTookItsPlace_data()
{
    QTest::addColumn<int>("selected");
    QTest::addColumn<bool>("byDeleteKey");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<QList<int>>("selectedAfter");

    QTest::newRow("middle row: the next one moves up and is selected")
        << 1 << false << QStringList {"A", "C"} << QList<int> {1};
    QTest::newRow("last row: nothing selected") << 2 << false << QStringList {"A", "B"} << QList<int> {};
    QTest::newRow("nothing selected: nothing removed")
        << -1 << false << QStringList {"A", "B", "C"} << QList<int> {};
    QTest::newRow("first row by the Delete key") << 0 << true << QStringList {"B", "C"} << QList<int> {0};
}

void TestSettingsPanel::removeSelectsTheRowThatTookItsPlace()
{
    QFETCH(int, selected);
    QFETCH(bool, byDeleteKey);
    QFETCH(QStringList, after);
    QFETCH(QList<int>, selectedAfter);
    SettingsStore::shared().setValue(ExpenseDescriptions, descriptionList({"A", "B", "C"}));
    _interface->showWindow();
    QTableView* table = showList("expenseDescriptionTableView", 0);
    auto* remove = child<QPushButton>("removeDescriptionButton");
    QVERIFY(!remove->isEnabled());
    if (selected >= 0)
        table->selectRow(selected);
    QCOMPARE(remove->isEnabled(), selected >= 0);

    if (byDeleteKey) {
        table->setFocus(Qt::TabFocusReason);
        QTest::keyClick(table, Qt::Key_Delete);
    } else {
        click(remove);
    }

    QCOMPARE(descriptionsIn(ExpenseDescriptions), after);
    QCOMPARE(selectedRows(table), selectedAfter);
    QCOMPARE(remove->isEnabled(), !selectedAfter.isEmpty());
}

void TestSettingsPanel::dragReordersTheList_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<int>("column");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<QStringList>("after");
    const QStringList abcd {"A", "B", "C", "D"};
    const Qt::KeyboardModifiers none = Qt::NoModifier;

    QTest::newRow("row 0 to row 2") << abcd << 0 << 2 << DragColumn << none << QStringList {"B", "C", "A", "D"};
    QTest::newRow("row 3 to row 1") << abcd << 3 << 1 << DragColumn << none << QStringList {"A", "D", "B", "C"};
    QTest::newRow("row 1 to the last row") << abcd << 1 << 3 << DragColumn << none << QStringList {"A", "C", "D", "B"};
    QTest::newRow("back onto itself moves nothing") << abcd << 2 << 2 << DragColumn << none << abcd;
    QTest::newRow("a single entry cannot be dragged")
        << QStringList {"A"} << 0 << 0 << DragColumn << none << QStringList {"A"};
    QTest::newRow("two equal entries both stay")
        << QStringList {"A", "A", "B"} << 0 << 2 << DragColumn << none << QStringList {"A", "B", "A"};
    QTest::newRow("the description column moves nothing without Ctrl")
        << abcd << 0 << 2 << DescriptionColumn << none << abcd;
    QTest::newRow("the description column with Ctrl")
        << abcd << 0 << 2 << DescriptionColumn << Qt::KeyboardModifiers(Qt::ControlModifier)
        << QStringList {"B", "C", "A", "D"};
}

void TestSettingsPanel::dragReordersTheList()
{
    QFETCH(QStringList, before);
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(int, column);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(QStringList, after);
    SettingsStore::shared().setValue(JobDescriptions, descriptionList(before));
    _interface->showWindow();
    QTableView* table = showList("jobDescriptionTableView", 1);

    dragRow(table, from, to, column, modifiers);

    _settings->reload();
    QCOMPARE(descriptionsIn(JobDescriptions), after);
    QCOMPARE(table->model()->rowCount(), after.size());
    for (int row = 0; row < after.size(); ++row)
        QCOMPARE(table->model()->index(row, DescriptionColumn).data().toString(), after.at(row));
}

void TestSettingsPanel::altArrowsMoveTheSelectedEntry_data()
{
    QTest::addColumn<int>("selected");
    QTest::addColumn<int>("key");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<int>("selectedAfter");

    QTest::newRow("first entry down") << 0 << int(Qt::Key_Down) << QStringList {"B", "A", "C"} << 1;
    QTest::newRow("last entry up") << 2 << int(Qt::Key_Up) << QStringList {"A", "C", "B"} << 1;
    QTest::newRow("first entry up stays") << 0 << int(Qt::Key_Up) << QStringList {"A", "B", "C"} << 0;
    QTest::newRow("last entry down stays") << 2 << int(Qt::Key_Down) << QStringList {"A", "B", "C"} << 2;
}

void TestSettingsPanel::altArrowsMoveTheSelectedEntry()
{
    QFETCH(int, selected);
    QFETCH(int, key);
    QFETCH(QStringList, after);
    QFETCH(int, selectedAfter);
    SettingsStore::shared().setValue(ExpenseDescriptions, descriptionList({"A", "B", "C"}));
    _interface->showWindow();
    QTableView* table = showList("expenseDescriptionTableView", 0);
    table->setFocus(Qt::TabFocusReason);
    table->selectRow(selected);

    QTest::keyClick(table, Qt::Key(key), Qt::AltModifier);

    QCOMPARE(descriptionsIn(ExpenseDescriptions), after);
    QCOMPARE(selectedRows(table), QList<int> {selectedAfter});
}

// Reset

void TestSettingsPanel::restoreDefaultsKeepsTheCounterAndEmptiesTheLists()
{
    SettingsStore& settings = SettingsStore::shared();
    settings.setValue(InvoiceNumber, 2500);
    settings.setValue(VelmorCCAddress, QStringLiteral("books@example.com"));
    settings.setValue(PreferencesTabView, 4);
    settings.setValue(Rate, 90.0);
    settings.setValue(Mailer, QStringLiteral("Eudora"));
    settings.setValue(QStringLiteral("Total"), QStringLiteral("Sum"));
    settings.setValue(JobDescriptions, descriptionList({"Design"}));
    settings.setValue(ExpenseDescriptions, descriptionList({"Taxi"}));
    _interface->showWindow();
    QSignalSpy posted(&NotificationCenter::shared(), &NotificationCenter::posted);

    auto* reset = child<QPushButton>("useDefaultsButton");
    showPageOf(reset);
    click(reset);

    _settings->reload(); // the store held above is gone; read the file afresh
    QCOMPARE(SettingsStore::shared().integerForKey(InvoiceNumber), 2500);
    QCOMPARE(SettingsStore::shared().stringForKey(VelmorCCAddress), QStringLiteral("books@example.com"));
    QCOMPARE(SettingsStore::shared().integerForKey(PreferencesTabView), 4);
    QVERIFY(SettingsStore::shared().arrayForKey(JobDescriptions).isEmpty());
    QVERIFY(SettingsStore::shared().arrayForKey(ExpenseDescriptions).isEmpty());
    Preferences::initialize(); // the reload dropped the registered layer
    QCOMPARE(Preferences::totalString(), QStringLiteral("Total"));
    QCOMPARE(child<QLineEdit>("rateField")->text(), QStringLiteral("125"));
    QCOMPARE(child<QLineEdit>("nextInvoiceField")->text(), QStringLiteral("2500"));
    QCOMPARE(child<QComboBox>("mailerPop")->currentText(), QStringLiteral("Mail"));
    QCOMPARE(child<QTableView>("phraseTableView")->model()->index(18, DesiredPhraseColumn).data().toString(),
             QStringLiteral("Total"));
    QCOMPARE(child<QTableView>("jobDescriptionTableView")->model()->rowCount(), 0);
    QCOMPARE(posted.size(), 2);
}

QTEST_MAIN(TestSettingsPanel)
#include "tst_settingspanel.moc"
