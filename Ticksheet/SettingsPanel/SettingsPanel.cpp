#include "SettingsPanel.h"

#include "Constants.h"
#include "DescriptionListModel.h"
#include "Localized.h"
#include "NotificationCenter.h"
#include "PhraseTableModel.h"
#include "Preferences.h"
#include "SettingsStore.h"
#include "VelmorConstants.h"
#include "WindowFrameAutosave.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFontDialog>
#include <QFontInfo>
#include <QHeaderView>
#include <QImageReader>
#include <QShortcut>

namespace {

SettingsPanel* sharedPanel = nullptr;

// Tags of the radio groups; each is the value stored (true for 1 in the two-way groups).
enum Tag { TagOff = 0, TagOn = 1 };
enum ResumeTag { PauseSameClient = 0, PauseAllClients = 1, PauseNothing = 2 };

QString imageFileFilter()
{
    QStringList patterns;
    for (const QByteArray& suffix : QImageReader::supportedImageFormats())
        patterns << QStringLiteral("*.") + QString::fromLatin1(suffix);
    return localized("Images") + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
}

} // namespace

const QString SettingsPanel::FrameName = QStringLiteral("SettingsPanel");

// The names the mail scripts know; "Mail" is also what an empty setting means.
const QStringList SettingsPanel::MailerNames = {
    QStringLiteral("Mail"),
    QStringLiteral("PowerMail"),
    QStringLiteral("Eudora"),
    QStringLiteral("Mailsmith 1.5"),
    QStringLiteral("Entourage"),
    QStringLiteral("Outlook Express"),
    QStringLiteral("Entourage X"),
};

SettingsPanel::SettingsPanel(QWidget* parent)
    : QWidget(parent, Qt::Window)
{
    ui.setupUi(this);
    setUpWindow();
    WindowFrameAutosave::restore(this, FrameName);
}

SettingsPanel::~SettingsPanel()
{
    if (sharedPanel == this)
        sharedPanel = nullptr;
}

SettingsPanel* SettingsPanel::sharedInstance()
{
    if (!sharedPanel)
        sharedPanel = new SettingsPanel;
    return sharedPanel;
}

bool SettingsPanel::finishedAwakening() const
{
    return _finishedAwakening;
}

// Setting up, once

void SettingsPanel::setUpWindow()
{
    setUpButtonGroups();
    ui.mailerPop->addItems(MailerNames);
    setUpTables();
    selectStoredTab();
    connectControls();
    connectTextFields();
    showReportFontPreview();
    NotificationCenter::shared().addObserver(InvoiceNumberUpdatedNotification, this,
                                             [this](const QVariant& number) { showInvoiceNumber(number); });
    auto* closeShortcut = new QShortcut(QKeySequence::Close, this);
    connect(closeShortcut, &QShortcut::activated, this, &QWidget::close);
    _finishedAwakening = true;
}

void SettingsPanel::setUpButtonGroups()
{
    _twentyFourHourMatrix.addButton(ui.twelveHourButton, TagOff);
    _twentyFourHourMatrix.addButton(ui.twentyFourHourButton, TagOn);
    _dateStyleMatrix.addButton(ui.monthFirstButton, TagOff);
    _dateStyleMatrix.addButton(ui.dayFirstButton, TagOn);
    _taxGrossMatrix.addButton(ui.taxCashButton, TagOff);
    _taxGrossMatrix.addButton(ui.taxGrossButton, TagOn);
    _beforeAfterMatrix.addButton(ui.symbolBeforeButton, TagOff);
    _beforeAfterMatrix.addButton(ui.symbolAfterButton, TagOn);
    _resumeActionMatrix.addButton(ui.resumeSameClientButton, PauseSameClient);
    _resumeActionMatrix.addButton(ui.resumeAllClientsButton, PauseAllClients);
    _resumeActionMatrix.addButton(ui.resumeNothingButton, PauseNothing);
}

void SettingsPanel::setUpTables()
{
    _phrases = new PhraseTableModel(this);
    QTableView* phrases = ui.phraseTableView;
    phrases->setModel(_phrases);
    phrases->verticalHeader()->hide();
    phrases->verticalHeader()->setDefaultSectionSize(compactRowHeight());
    phrases->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    phrases->setWordWrap(false);
    phrases->setTabKeyNavigation(false);
    phrases->setSelectionBehavior(QAbstractItemView::SelectRows);
    phrases->setSelectionMode(QAbstractItemView::SingleSelection);
    phrases->setAcceptDrops(false);

    _expenseDescriptions = new DescriptionListModel(ExpenseDescriptions, this);
    _jobDescriptions = new DescriptionListModel(JobDescriptions, this);
    setUpDescriptionTable(ui.expenseDescriptionTableView, _expenseDescriptions);
    setUpDescriptionTable(ui.jobDescriptionTableView, _jobDescriptions);
}

void SettingsPanel::setUpDescriptionTable(VelmorTableView* table, DescriptionListModel* model)
{
    table->setModel(model);
    table->setDelegate(model);
    // The row follows the pointer inside the table and lands in place of the row it is dropped on.
    table->setConstrainedMove(true);
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(compactRowHeight());
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setTabKeyNavigation(false);
    QHeaderView* header = table->horizontalHeader();
    header->setSectionResizeMode(DescriptionListModel::DragColumn, QHeaderView::Fixed);
    header->resizeSection(DescriptionListModel::DragColumn, 24);
    header->resizeSection(DescriptionListModel::RateColumn, 90);
    header->setSectionResizeMode(DescriptionListModel::DescriptionColumn, QHeaderView::Stretch);
    connect(table->selectionModel(), &QItemSelectionModel::selectionChanged, this, &SettingsPanel::changeDescription);
    // The keyboard's way to reorder: Alt+Up and Alt+Down move the selected entry one place.
    for (const auto& [key, step] : {std::pair {Qt::Key_Up, -1}, std::pair {Qt::Key_Down, 1}}) {
        auto* shortcut = new QShortcut(QKeySequence(Qt::ALT | key), table, nullptr, nullptr, Qt::WidgetShortcut);
        connect(shortcut, &QShortcut::activated, this, [this, step] { moveSelectedDescription(step); });
    }
    auto* remove = new QShortcut(QKeySequence::Delete, table, nullptr, nullptr, Qt::WidgetShortcut);
    connect(remove, &QShortcut::activated, this, &SettingsPanel::removeDescriptionAction);
}

void SettingsPanel::moveSelectedDescription(int step)
{
    const int row = selectedDescriptionRow();
    if (row < 0)
        return;
    visibleDescriptionTable()->startRow(row, row + step);
}

void SettingsPanel::connectControls()
{
    connect(&_twentyFourHourMatrix, &QButtonGroup::idClicked, this, &SettingsPanel::changeTwentyFourAction);
    connect(&_dateStyleMatrix, &QButtonGroup::idClicked, this, &SettingsPanel::changeEuroDateAction);
    connect(&_taxGrossMatrix, &QButtonGroup::idClicked, this, &SettingsPanel::changeTaxGrossIncomeAction);
    connect(&_beforeAfterMatrix, &QButtonGroup::idClicked, this, &SettingsPanel::changeCurrencyBeforeAction);
    connect(&_resumeActionMatrix, &QButtonGroup::idClicked, this, &SettingsPanel::changeResumeAction);
    connect(ui.keepBackupFileSwitch, &QCheckBox::clicked, this, &SettingsPanel::changeKeepBackupAction);
    connect(ui.taxableSwitch, &QCheckBox::clicked, this, &SettingsPanel::changeTaxableAction);
    connect(ui.autoCheckForUpdatesSwitch, &QCheckBox::clicked, this,
            &SettingsPanel::changeAutoCheckForUpdatesAction);
    connect(ui.ignoreMoneySwitch, &QCheckBox::clicked, this, &SettingsPanel::changeIgnoreMoney);
    connect(ui.mailerPop, &QComboBox::activated, this, &SettingsPanel::changeMailerAction);
    connect(ui.showFontPanelButton, &QPushButton::clicked, this, &SettingsPanel::showFontPanel);
    connect(ui.reportFontText, &FontTextView::fontChanged, this, &SettingsPanel::changeReportFont);
    connect(ui.runLogoOpenButton, &QPushButton::clicked, this, &SettingsPanel::runLogoOpenAction);
    connect(ui.logoImageView, &RememberingImageView::imageDropped, this, &SettingsPanel::changeLogoAction);
    connect(ui.useDefaultsButton, &QPushButton::clicked, this, &SettingsPanel::useDefaults);
    connect(ui.addDescriptionButton, &QPushButton::clicked, this, &SettingsPanel::addDescriptionAction);
    connect(ui.removeDescriptionButton, &QPushButton::clicked, this, &SettingsPanel::removeDescriptionAction);
    connect(ui.expenseJobTabView, &QTabWidget::currentChanged, this, &SettingsPanel::updateRemoveButton);
    // A click on a tab ends the editing before the page goes away.
    connect(ui.tabView, &QTabWidget::tabBarClicked, this, &SettingsPanel::endEditing);
    connect(ui.tabView, &QTabWidget::currentChanged, this, &SettingsPanel::tabDidChange);
}

// Each field commits when its editing ends: Return, Tab, or leaving it otherwise.
void SettingsPanel::connectTextFields()
{
    const std::pair<QLineEdit*, void (SettingsPanel::*)()> fields[] = {
        {ui.rateField, &SettingsPanel::changeRateAction},
        {ui.nextInvoiceField, &SettingsPanel::changeInvoiceNumber},
        {ui.decimalField, &SettingsPanel::changeDecimalAction},
        {ui.symbolField, &SettingsPanel::changeSymbolAction},
        {ui.thousandsField, &SettingsPanel::changeThousandsAction},
        {ui.taxRateField, &SettingsPanel::changeTaxRateAction},
        {ui.equityPercentField, &SettingsPanel::changeEquityPercent},
        {ui.shareCostField, &SettingsPanel::changeShareCostField},
        {ui.logoPathField, &SettingsPanel::changeLogoPathAction},
        {ui.ccAddressField, &SettingsPanel::changeCCAddressAction},
    };
    for (const auto& [field, action] : fields)
        connect(field, &QLineEdit::editingFinished, this, action);
    ui.addressText->installEventFilter(this);
    // The address is indented with tabs; narrow stops keep it in view.
    ui.addressText->setTabStopDistance(4 * ui.addressText->fontMetrics().horizontalAdvance(QLatin1Char(' ')));
}

void SettingsPanel::selectStoredTab()
{
    const qint64 stored = SettingsStore::shared().integerForKey(PreferencesTabView);
    ui.tabView->setCurrentIndex(stored >= 0 && stored < ui.tabView->count() ? int(stored) : 0);
}

void SettingsPanel::showReportFontPreview()
{
    ui.reportFontText->setPlainText(
        QStringLiteral("%1\n%2").arg(Preferences::invoiceString(), Preferences::remitString()));
}

bool SettingsPanel::eventFilter(QObject* watched, QEvent* event)
{
    // The address may hold tabs and line breaks, so it is stored whenever its editing ends at all.
    if (watched == ui.addressText && event->type() == QEvent::FocusOut)
        changeRemitAddressAction();
    return QWidget::eventFilter(watched, event);
}

// Showing

void SettingsPanel::showWindow()
{
    show();
    raise();
    activateWindow();
    loadDefaultsIntoWindow();
}

void SettingsPanel::showCheckUpdatesPrefAction()
{
    showWindow();
    ui.tabView->setCurrentIndex(MiscTabIndex);
}

void SettingsPanel::showExpenseDescriptionsTab()
{
    showWindow();
    selectListTab(ExpenseListIndex);
}

void SettingsPanel::showJobDescriptionTab()
{
    showWindow();
    selectListTab(JobListIndex);
}

void SettingsPanel::selectListTab(int listIndex)
{
    ui.tabView->setCurrentWidget(ui.listsTab);
    ui.expenseJobTabView->setCurrentIndex(listIndex);
}

void SettingsPanel::tabDidChange(int index)
{
    storeValue(PreferencesTabView, index);
}

void SettingsPanel::endEditing()
{
    QWidget* focused = QApplication::focusWidget();
    if (focused && isAncestorOf(focused))
        setFocus(Qt::OtherFocusReason);
}

void SettingsPanel::closeEvent(QCloseEvent* event)
{
    endEditing();
    QWidget::closeEvent(event);
}

void SettingsPanel::hideEvent(QHideEvent* event)
{
    WindowFrameAutosave::save(this, FrameName);
    QWidget::hideEvent(event);
}

void SettingsPanel::loadDefaultsIntoWindow()
{
    const SettingsStore& settings = SettingsStore::shared();
    checkButton(_twentyFourHourMatrix, settings.boolForKey(TwentyFourHour));
    checkButton(_dateStyleMatrix, settings.boolForKey(EuroDates));
    // Any value but the two pausing ones pauses nothing.
    const qint64 resume = settings.integerForKey(ResumeAction);
    const bool pauses = resume == PauseSameClient || resume == PauseAllClients;
    checkButton(_resumeActionMatrix, pauses ? int(resume) : PauseNothing);
    ui.keepBackupFileSwitch->setChecked(settings.boolForKey(KeepBackupFile));

    ui.rateField->setText(numberText(settings.realForKey(Rate)));
    ui.taxRateField->setText(numberText(settings.realForKey(TaxRate)));
    ui.taxableSwitch->setChecked(settings.boolForKey(TaxableByDefault));
    ui.equityPercentField->setText(numberText(settings.realForKey(EquityPercent)));
    ui.shareCostField->setText(numberText(settings.realForKey(ShareCost)));
    checkButton(_taxGrossMatrix, settings.boolForKey(TaxGrossIncome));
    ui.symbolField->setText(settings.stringForKey(CurrencySymbol));
    ui.thousandsField->setText(settings.stringForKey(ThousandsSeparator));
    ui.decimalField->setText(settings.stringForKey(DecimalSeparator));
    checkButton(_beforeAfterMatrix, settings.boolForKey(CurrencySymbolAfter));

    ui.addressText->setPlainText(settings.stringForKey(RemitAddress));
    ui.nextInvoiceField->setText(Preferences::currentInvoiceNumber());
    const QString logoPath = settings.stringForKey(CompanyLogoPath);
    ui.logoPathField->setText(logoPath);
    ui.logoImageView->showImageAtPath(logoPath);
    ui.ignoreMoneySwitch->setChecked(settings.boolForKey(IgnoreMoney));

    ui.reportFontText->setFont(Preferences::reportFont());
    showReportFontPreview();
    _phrases->reload();

    QString mailer = settings.stringForKey(Mailer);
    if (mailer.isEmpty())
        mailer = MailerNames.first();
    ui.mailerPop->setCurrentIndex(ui.mailerPop->findText(mailer, Qt::MatchExactly | Qt::MatchCaseSensitive));
    ui.ccAddressField->setText(settings.stringForKey(VelmorCCAddress));
    ui.autoCheckForUpdatesSwitch->setChecked(settings.boolForKey(AutoCheckForUpdates));

    _expenseDescriptions->reload();
    _jobDescriptions->reload();
    updateRemoveButton();
}

// Storing

void SettingsPanel::storeValue(const QString& key, const QVariant& value)
{
    SettingsStore& settings = SettingsStore::shared();
    settings.setValue(key, value);
    settings.flush();
}

// Text that is not a number stores 0; "." is the decimal point, as everywhere in the settings.
void SettingsPanel::storeNumber(const QString& key, const QString& text)
{
    bool isNumber = false;
    const double value = QLocale::c().toDouble(text.trimmed(), &isNumber);
    storeValue(key, isNumber ? value : 0.0);
}

void SettingsPanel::checkButton(QButtonGroup& group, int tag)
{
    if (QAbstractButton* button = group.button(tag))
        button->setChecked(true);
}

int SettingsPanel::compactRowHeight() const
{
    return fontMetrics().height() + 8;
}

QString SettingsPanel::numberText(double value)
{
    return QString::number(value, 'g', 12);
}

void SettingsPanel::changeTwentyFourAction()
{
    storeValue(TwentyFourHour, _twentyFourHourMatrix.checkedId() == TagOn);
}

void SettingsPanel::changeEuroDateAction()
{
    storeValue(EuroDates, _dateStyleMatrix.checkedId() == TagOn);
}

void SettingsPanel::changeKeepBackupAction()
{
    storeValue(KeepBackupFile, ui.keepBackupFileSwitch->isChecked());
}

void SettingsPanel::changeTaxableAction()
{
    storeValue(TaxableByDefault, ui.taxableSwitch->isChecked());
}

void SettingsPanel::changeTaxGrossIncomeAction()
{
    storeValue(TaxGrossIncome, _taxGrossMatrix.checkedId() == TagOn);
    NotificationCenter::shared().post(TaxChangedNotification);
}

void SettingsPanel::changeTaxRateAction()
{
    storeNumber(TaxRate, ui.taxRateField->text());
    ui.taxRateField->setText(numberText(SettingsStore::shared().realForKey(TaxRate)));
}

void SettingsPanel::changeRateAction()
{
    storeNumber(Rate, ui.rateField->text());
    ui.rateField->setText(numberText(SettingsStore::shared().realForKey(Rate)));
}

void SettingsPanel::changeEquityPercent()
{
    storeNumber(EquityPercent, ui.equityPercentField->text());
    ui.equityPercentField->setText(numberText(SettingsStore::shared().realForKey(EquityPercent)));
}

void SettingsPanel::changeShareCostField()
{
    storeNumber(ShareCost, ui.shareCostField->text());
    ui.shareCostField->setText(numberText(SettingsStore::shared().realForKey(ShareCost)));
}

void SettingsPanel::changeInvoiceNumber()
{
    Preferences::setNextInvoiceNumberString(ui.nextInvoiceField->text());
    // Shows what numbering now does: text that turned it off leaves the field empty.
    ui.nextInvoiceField->setText(Preferences::currentInvoiceNumber());
}

void SettingsPanel::showInvoiceNumber(const QVariant& number)
{
    ui.nextInvoiceField->setText(QString::number(number.toLongLong()));
}

void SettingsPanel::changeMailerAction()
{
    storeValue(Mailer, ui.mailerPop->currentText());
}

void SettingsPanel::showFontPanel()
{
    ui.reportFontText->setFocus(Qt::OtherFocusReason);
    if (!_fontPanel) {
        _fontPanel = new QFontDialog(this);
        _fontPanel->setWindowTitle(localized("Report Font"));
        connect(_fontPanel, &QFontDialog::fontSelected, ui.reportFontText, &FontTextView::changeFont);
    }
    _fontPanel->setCurrentFont(ui.reportFontText->font());
    _fontPanel->show();
    _fontPanel->raise();
    _fontPanel->activateWindow();
}

void SettingsPanel::changeReportFont(const QFont& font)
{
    SettingsStore& settings = SettingsStore::shared();
    settings.setValue(ReportFont, font.family());
    // A font sized in pixels has no point size of its own; the one it shows at stands in.
    const qreal pointSize = font.pointSizeF() > 0 ? font.pointSizeF() : QFontInfo(font).pointSizeF();
    settings.setValue(ReportFontSize, pointSize);
    settings.flush();
}

void SettingsPanel::runLogoOpenAction()
{
    if (!_logoOpenPanel) {
        _logoOpenPanel = new QFileDialog(this, localized("Choose a Logo"));
        _logoOpenPanel->setFileMode(QFileDialog::ExistingFile);
        _logoOpenPanel->setNameFilter(imageFileFilter());
        connect(_logoOpenPanel, &QFileDialog::fileSelected, this, &SettingsPanel::chooseLogo);
    }
    const QString current = ui.logoPathField->text();
    if (!current.isEmpty())
        _logoOpenPanel->selectFile(current);
    _logoOpenPanel->open();
}

void SettingsPanel::chooseLogo(const QString& path)
{
    ui.logoImageView->showImageAtPath(path);
    ui.logoPathField->setText(path);
    changeLogoPathAction();
}

void SettingsPanel::changeLogoAction()
{
    const QString path = ui.logoImageView->pathToImage();
    if (path.isEmpty())
        return;
    ui.logoPathField->setText(path);
    changeLogoPathAction();
}

void SettingsPanel::changeLogoPathAction()
{
    const QString path = ui.logoPathField->text();
    storeValue(CompanyLogoPath, path);
    ui.logoImageView->showImageAtPath(path);
}

void SettingsPanel::changeResumeAction()
{
    storeValue(ResumeAction, _resumeActionMatrix.checkedId());
}

void SettingsPanel::changeCCAddressAction()
{
    storeValue(VelmorCCAddress, ui.ccAddressField->text());
}

void SettingsPanel::changeAutoCheckForUpdatesAction()
{
    storeValue(AutoCheckForUpdates, ui.autoCheckForUpdatesSwitch->isChecked());
}

void SettingsPanel::changeIgnoreMoney()
{
    storeValue(IgnoreMoney, ui.ignoreMoneySwitch->isChecked());
}

void SettingsPanel::changeCurrencyBeforeAction()
{
    storeValue(CurrencySymbolAfter, _beforeAfterMatrix.checkedId() != TagOff);
    NotificationCenter::shared().post(MoneyFormatChangedNotification);
}

void SettingsPanel::changeDecimalAction()
{
    storeValue(DecimalSeparator, ui.decimalField->text());
    NotificationCenter::shared().post(MoneyFormatChangedNotification);
}

void SettingsPanel::changeSymbolAction()
{
    storeValue(CurrencySymbol, ui.symbolField->text());
    NotificationCenter::shared().post(MoneyFormatChangedNotification);
}

void SettingsPanel::changeThousandsAction()
{
    storeValue(ThousandsSeparator, ui.thousandsField->text());
    NotificationCenter::shared().post(MoneyFormatChangedNotification);
}

void SettingsPanel::changeRemitAddressAction()
{
    storeValue(RemitAddress, ui.addressText->toPlainText());
}

// Description lists

VelmorTableView* SettingsPanel::visibleDescriptionTable() const
{
    return ui.expenseJobTabView->currentIndex() == JobListIndex ? ui.jobDescriptionTableView
                                                                : ui.expenseDescriptionTableView;
}

DescriptionListModel* SettingsPanel::visibleDescriptionList() const
{
    return ui.expenseJobTabView->currentIndex() == JobListIndex ? _jobDescriptions : _expenseDescriptions;
}

int SettingsPanel::selectedDescriptionRow() const
{
    const QModelIndexList rows = visibleDescriptionTable()->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void SettingsPanel::selectDescriptionRow(int row)
{
    QTableView* table = visibleDescriptionTable();
    QItemSelectionModel* selection = table->selectionModel();
    if (row < 0 || row >= table->model()->rowCount()) {
        selection->clear();
        return;
    }
    const QModelIndex index = table->model()->index(row, DescriptionListModel::DescriptionColumn);
    selection->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void SettingsPanel::addDescriptionAction()
{
    endEditing();
    DescriptionListModel* list = visibleDescriptionList();
    const int row = list->addEntry(selectedDescriptionRow());
    selectDescriptionRow(row);
    QTableView* table = visibleDescriptionTable();
    table->setFocus(Qt::OtherFocusReason);
    table->edit(list->index(row, DescriptionListModel::DescriptionColumn));
    updateRemoveButton();
}

void SettingsPanel::removeDescriptionAction()
{
    endEditing();
    const int row = selectedDescriptionRow();
    if (visibleDescriptionList()->removeEntry(row))
        selectDescriptionRow(row);
    updateRemoveButton();
}

void SettingsPanel::changeDescription()
{
    updateRemoveButton();
}

void SettingsPanel::updateRemoveButton()
{
    ui.removeDescriptionButton->setEnabled(selectedDescriptionRow() >= 0);
}

// Reset

void SettingsPanel::useDefaults()
{
    Preferences::restoreToDefaultCondition();
    loadDefaultsIntoWindow();
    // The money format and the tax rule went back to their defaults too; open windows follow.
    NotificationCenter::shared().post(MoneyFormatChangedNotification);
    NotificationCenter::shared().post(TaxChangedNotification);
}
