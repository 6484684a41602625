#include "MyDocument.h"

#include "ClientWindow.h"
#include "Constants.h"
#include "DocumentController.h"
#include "Localized.h"
#include "PageLayoutArchive.h"
#include "PlugInLoader.h"
#include "SettingsStore.h"
#include "UndoManager.h"

#include <QtDebug>

#include <algorithm>
#include <numeric>
#include <vector>
#include <cmath>

namespace {

float settingAsFloat(const SettingsStore& settings, const QString& key)
{
    const float value = static_cast<float>(settings.realForKey(key));
    return std::isfinite(value) ? value : 0.0f;
}

QString settingAsText(const SettingsStore& settings, const QString& key)
{
    const QString value = settings.stringForKey(key);
    return value.isNull() ? QStringLiteral("") : value;
}

int sign(int value)
{
    return (value > 0) - (value < 0);
}

} // namespace

MyDocument::MyDocument(QObject* parent)
    : Document(parent)
{
    setFileType(DocumentType);
    // A new document copies the settings once; later changes of the settings do not reach it.
    const SettingsStore& settings = SettingsStore::shared();
    _moneySymbol = settingAsText(settings, CurrencySymbol);
    _thousandsSeparator = settingAsText(settings, ThousandsSeparator);
    _decimalSeparator = settingAsText(settings, DecimalSeparator);
    _rate = settingAsFloat(settings, Rate);
    _taxRate = settingAsFloat(settings, TaxRate);
    _equityPercent = settingAsFloat(settings, EquityPercent);
    _shareCost = settingAsFloat(settings, ShareCost);
    _taxable = settings.boolForKey(TaxableByDefault);
    _symbolAfterNumber = settings.boolForKey(CurrencySymbolAfter);
    _pageLayout = PageLayoutArchive::defaultLayout();
}

MyDocument::~MyDocument() = default;


void MyDocument::addWindowController(ClientWindow* window)
{
    if (window && !_windowControllers.contains(window))
        _windowControllers.append(window);
}

void MyDocument::removeWindowController(ClientWindow* window)
{
    _windowControllers.removeAll(window);
}

QList<ClientWindow*> MyDocument::windowControllers() const { return _windowControllers; }

WorkList MyDocument::workList() const { return _workList; }
QString MyDocument::clientName() const { return _clientName; }
QString MyDocument::email() const { return _clientEmail; }
QString MyDocument::phone() const { return _clientPhone; }
QString MyDocument::address() const { return _clientAddress; }
QString MyDocument::projectName() const { return _projectName; }
QString MyDocument::moneySymbol() const { return _moneySymbol; }
QString MyDocument::thousandsSeparator() const { return _thousandsSeparator; }
QString MyDocument::decimalSeparator() const { return _decimalSeparator; }
QString MyDocument::sortColumn() const { return _sortColumn; }
float MyDocument::rate() const { return _rate; }
float MyDocument::taxRate() const { return _taxRate; }
float MyDocument::equityPercent() const { return _equityPercent; }
float MyDocument::shareCost() const { return _shareCost; }
bool MyDocument::taxable() const { return _taxable; }
bool MyDocument::symbolAfterNumber() const { return _symbolAfterNumber; }
bool MyDocument::sortIsDescending() const { return _sortIsDescending; }
bool MyDocument::toolsHidden() const { return _toolsHidden; }
QString MyDocument::invoiceNumber() const { return _invoiceNumber; }

// Undoable setters ---------------------------------------------------------------------------

// Records the setter with the old value (undoing it records the redo) and stores the new one;
// false when the value is unchanged.
template <typename T, typename Setter>
bool MyDocument::changeField(T& field, const T& value, Setter setter)
{
    if (field == value)
        return false;
    undoManager()->registerUndo([this, setter, old = field] { (this->*setter)(old); });
    field = value;
    return true;
}

void MyDocument::nameAction(const char* name)
{
    if (undoManager()->isUndoRegistrationEnabled())
        undoManager()->setActionName(localized(name));
}

void MyDocument::finishInfoChange(const char* actionName)
{
    for (ClientWindow* window : windowControllers())
        window->reloadInfo();
    nameAction(actionName);
}

void MyDocument::updateTotalsAndReloadWindows() const
{
    for (ClientWindow* window : windowControllers())
        window->updateTotalsAndReload();
}

void MyDocument::setClientName(const QString& name)
{
    if (changeField(_clientName, name, &MyDocument::setClientName))
        finishInfoChange("Client Name Change");
}

void MyDocument::setEmail(const QString& email)
{
    if (changeField(_clientEmail, email, &MyDocument::setEmail))
        finishInfoChange("Email Change");
}

void MyDocument::setPhone(const QString& phone)
{
    if (changeField(_clientPhone, phone, &MyDocument::setPhone))
        finishInfoChange("Phone Change");
}

void MyDocument::setAddress(const QString& address)
{
    if (changeField(_clientAddress, address, &MyDocument::setAddress))
        finishInfoChange("Address Change");
}

void MyDocument::setProjectName(const QString& name)
{
    if (changeField(_projectName, name, &MyDocument::setProjectName))
        finishInfoChange("Project Name");
}

void MyDocument::setRate(float rate)
{
    if (changeField(_rate, rate, &MyDocument::setRate))
        finishInfoChange("Rate Change");
}

void MyDocument::setShareCost(float cost)
{
    if (changeField(_shareCost, cost, &MyDocument::setShareCost))
        finishInfoChange("Share Value Change");
}

void MyDocument::setTaxRate(float rate)
{
    if (changeField(_taxRate, rate, &MyDocument::setTaxRate))
        finishInfoChange("Tax Rate Change");
}

void MyDocument::setEquityPercent(float percent)
{
    if (changeField(_equityPercent, percent, &MyDocument::setEquityPercent))
        finishInfoChange("Equity Percent Change");
}

void MyDocument::setTaxable(bool taxable)
{
    if (changeField(_taxable, taxable, &MyDocument::setTaxable))
        finishInfoChange("Is Taxable Change");
}

// Changing the sort settings does not sort; the caller sorts when it wants to.
void MyDocument::setSortColumn(const QString& key)
{
    if (changeField(_sortColumn, key, &MyDocument::setSortColumn))
        nameAction("Sort");
}

void MyDocument::setSortIsDescending(bool increasing)
{
    if (changeField(_sortIsDescending, increasing, &MyDocument::setSortIsDescending))
        nameAction("Sort Direction");
}

// Always a step of its own, even for the same list, so every list operation can be undone.
void MyDocument::setWorkList(const WorkList& list)
{
    undoManager()->registerUndo([this, old = _workList] { setWorkList(old); });
    WorkList entries = list;
    entries.removeAll(nullptr);
    if (!_sortColumn.isEmpty())
        sort(entries);
    for (const auto& work : std::as_const(entries))
        work->setOwner(this);
    _workList = entries;
    updateTotalsAndReloadWindows();
    nameAction("Work Change");
}

void MyDocument::setToolsHidden(bool hidden)
{
    _toolsHidden = hidden;
}

// Work list operations -----------------------------------------------------------------------

std::shared_ptr<PieceWork> MyDocument::insertEntry(const std::shared_ptr<PieceWork>& work, int index)
{
    WorkList list = _workList;
    list.insert(index, work);
    setWorkList(list);
    return work;
}

std::shared_ptr<PieceWork> MyDocument::insertWork(int index)
{
    if (index < 0 || index > _workList.size())
        return nullptr;
    return insertEntry(PieceWork::init(), index);
}

std::shared_ptr<PieceWork> MyDocument::addWork()
{
    return insertWork(static_cast<int>(_workList.size()));
}

std::shared_ptr<PieceWork> MyDocument::insertLineItem(int index)
{
    if (index < 0 || index > _workList.size())
        return nullptr;
    return insertEntry(PieceWork::initLineItem(), index);
}

std::shared_ptr<PieceWork> MyDocument::addLineItem()
{
    return insertLineItem(static_cast<int>(_workList.size()));
}

void MyDocument::removeWork(int index)
{
    if (index < 0 || index >= _workList.size())
        return;
    WorkList list = _workList;
    list.removeAt(index);
    setWorkList(list);
}

// The moved list is in manual order, so the sort column goes (without a step of its own).
bool MyDocument::didDepositRow(QObject* /*table*/, int from, int to)
{
    if (from < 0 || from >= _workList.size() || to < 0)
        return false;
    WorkList list = _workList;
    const std::shared_ptr<PieceWork> moved = list.takeAt(from);
    if (to < list.size())
        list.insert(to, moved);
    else
        list.append(moved);
    _sortColumn = QString();
    setWorkList(list);
    return true;
}

// Sorting ------------------------------------------------------------------------------------

void MyDocument::sort()
{
    if (_sortColumn.isEmpty())
        return;
    sort(_workList);
    updateTotalsAndReloadWindows();
}

// An unsupported key orders nothing; it is logged once per sort rather than once per comparison.
void MyDocument::sort(WorkList& list)
{
    for (const auto& work : std::as_const(list))
        work->setOwner(this);
    if (_sortColumn.isEmpty())
        return;
    if (!PieceWork::isSupportedSortKey(_sortColumn)) {
        qWarning("unsupported sort key:%s", qPrintable(_sortColumn));
        return;
    }
    // Each entry's value is taken once, so a comparison touches no time zone and folds no case.
    const PieceWork::SortKey key = PieceWork::sortKeyFromText(_sortColumn);
    const bool increasing = _sortIsDescending;
    std::vector<PieceWork::SortValue> values;
    values.reserve(list.size());
    for (const auto& work : std::as_const(list))
        values.push_back(work->sortValue(key));
    std::vector<qsizetype> order(values.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&values, key, increasing](qsizetype a, qsizetype b) {
        const int comparison = PieceWork::compare(values[a], values[b], key);
        return increasing ? comparison < 0 : comparison > 0;
    });
    WorkList sorted;
    sorted.reserve(list.size());
    for (qsizetype index : order)
        sorted.append(std::move(list[index]));
    list = std::move(sorted);
}

// Other operations ---------------------------------------------------------------------------

void MyDocument::pauseAllOpenBut(const std::shared_ptr<PieceWork>& work)
{
    bool pausedAny = false;
    const WorkList list = _workList;
    for (auto it = list.crbegin(); it != list.crend(); ++it) {
        if (*it != work && (*it)->canBePaused()) {
            (*it)->pause();
            pausedAny = true;
        }
    }
    if (pausedAny)
        updateTotalsAndReloadWindows();
}

int MyDocument::compare(const MyDocument& other) const
{
    const int byClient = QString::compare(_clientName, other._clientName, Qt::CaseSensitive);
    if (byClient != 0)
        return sign(byClient);
    return sign(QString::compare(_projectName, other._projectName, Qt::CaseSensitive));
}

QString MyDocument::toComma(const QString& text) const
{
    if (_decimalSeparator != QLatin1String(","))
        return text;
    return QString(text).replace(QLatin1Char('.'), QLatin1Char(','));
}

bool MyDocument::keepBackupFile() const
{
    return SettingsStore::shared().boolForKey(KeepBackupFile);
}

bool MyDocument::ignoreMoney() const
{
    return SettingsStore::shared().boolForKey(IgnoreMoney);
}

// Scripting ----------------------------------------------------------------------------------

// Indexes at or past the end append; a negative index names no place and is ignored.
void MyDocument::insertInWorkList(const std::shared_ptr<PieceWork>& work, int index)
{
    if (!work || index < 0)
        return;
    insertEntry(work, static_cast<int>(std::min<qsizetype>(index, _workList.size())));
}

void MyDocument::insertInWorkList(const std::shared_ptr<PieceWork>& work)
{
    insertInWorkList(work, static_cast<int>(_workList.size()));
}

void MyDocument::addInWorkList(const std::shared_ptr<PieceWork>& work, int index)
{
    insertInWorkList(work, index);
}

bool MyDocument::removeFromWorkListAtIndex(int index)
{
    if (index < 0 || index >= _workList.size())
        return false;
    removeWork(index);
    return true;
}

void MyDocument::registerDocumentType()
{
    DocumentController::shared().setDocumentFactory(DocumentType, [] { return new MyDocument; });
}

QObject* MyDocument::instanceOfClassName(const QString& name, bool shared)
{
    return PlugInLoader::instanceOfClassName(name, shared);
}

QObject* MyDocument::sharedInstanceOfClassName(const QString& name)
{
    return PlugInLoader::sharedInstanceOfClassName(name);
}

QObject* MyDocument::instanceOfClassName(const QString& name)
{
    return PlugInLoader::instanceOfClassName(name);
}
