#include "PieceWork.h"

#include "ArchiveDate.h"
#include "CalendarFormat.h"
#include "ClientWindow.h"
#include "Clock.h"
#include "Constants.h"
#include "Localized.h"
#include "MyDocument.h"
#include "SettingsStore.h"
#include "UndoManager.h"

#include <QtDebug>

#include <charconv>
#include <cmath>
#include <limits>

namespace {

const QString YES = QStringLiteral("YES");

// Dictionary keys of the document file.
const QString DescriptionKey = QStringLiteral("Description");
const QString PaidKey = QStringLiteral("Paid");
const QString RateSetAsZeroKey = QStringLiteral("RateSetAsZero");
const QString LineItemKey = QStringLiteral("LineItem");
const QString PausedKey = QStringLiteral("Paused");
const QString TaxableKey = QStringLiteral("Taxable");
const QString SupportKey = QStringLiteral("Support");
const QString StartTimeKey = QStringLiteral("StartTime");
const QString EndTimeKey = QStringLiteral("EndTime");
const QString TimeKey = QStringLiteral("Time");
const QString DownTimeKey = QStringLiteral("DownTime");
const QString WorkRateKey = QStringLiteral("WorkRate");

// No real session lasts this long; the bound keeps the hour arithmetic in range.
constexpr double MaximumHoursOnJob = 1e9;

using SortKey = PieceWork::SortKey;

} // namespace

PieceWork::SortKey PieceWork::sortKeyFromText(const QString& key)
{
    if (key.isEmpty())
        return SortKey::None;
    if (key == QLatin1String("TIME"))
        return SortKey::Time;
    if (key == QLatin1String("STARTTIME") || key == QLatin1String("DATE"))
        return SortKey::StartTime;
    if (key == QLatin1String("STOPTIME"))
        return SortKey::StopTime;
    if (key == QLatin1String("DESCRIPTION"))
        return SortKey::Description;
    if (key == QLatin1String("LINK"))
        return SortKey::Link;
    if (key == QLatin1String("PAID"))
        return SortKey::Paid;
    if (key == QLatin1String("RATE"))
        return SortKey::Rate;
    if (key == QLatin1String("AMOUNT"))
        return SortKey::Amount;
    return SortKey::Unsupported;
}

namespace {

template <typename T>
int compareValues(const T& a, const T& b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

// NaN after every number, so the order stays total.
int compareFloats(float a, float b)
{
    if (std::isnan(a) || std::isnan(b))
        return compareValues(std::isnan(a), std::isnan(b));
    return compareValues(a, b);
}

// Entries hold their times in UTC, whole seconds: comparing and measuring them then needs no
// time-zone lookup, which made sorting large lists slow. They are handed out in local time.
QDateTime storedTime(const QDateTime& dateTime)
{
    if (!dateTime.isValid())
        return {};
    return QDateTime::fromSecsSinceEpoch(dateTime.toSecsSinceEpoch(), Qt::UTC);
}

double roundToHundredths(double value)
{
    return std::rint(value * 100) / 100;
}

// The numbers of the file: blanks, an optional sign, digits with an optional "." and fraction, an
// optional exponent; whatever follows is ignored and text without digits reads 0. Read as the
// settings read their numbers, without going through a locale.
double readNumber(QStringView text)
{
    char buffer[64];
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t' || text[i] == u'\n'))
        ++i;
    int length = 0;
    const auto isDigit = [&text](qsizetype at) { return at < text.size() && text[at] >= u'0' && text[at] <= u'9'; };
    const auto take = [&](qsizetype at) {
        if (length < int(sizeof buffer))
            buffer[length] = static_cast<char>(text[at].unicode());
        ++length;
    };
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        if (text[i] == u'-')
            take(i);
        ++i;
    }
    bool hasDigits = false;
    for (; isDigit(i); ++i, hasDigits = true)
        take(i);
    if (i < text.size() && text[i] == u'.') {
        take(i++);
        for (; isDigit(i); ++i, hasDigits = true)
            take(i);
    }
    if (!hasDigits)
        return 0;
    if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
        qsizetype exponent = i + 1;
        if (exponent < text.size() && (text[exponent] == u'+' || text[exponent] == u'-'))
            ++exponent;
        if (isDigit(exponent)) {
            for (; i < exponent; ++i)
                take(i);
            for (; isDigit(i); ++i)
                take(i);
        }
    }
    if (length > int(sizeof buffer))
        return SettingsStore::toReal(text.toString()); // very long digits: the slow way
    double value = 0;
    const auto [end, error] = std::from_chars(buffer, buffer + length, value);
    return error == std::errc() && std::isfinite(value) ? value : 0;
}

QString cFormat(const char* format, double value)
{
    return QString::asprintf(format, value);
}

} // namespace

PieceWork::PieceWork()
    : _startTime(storedTime(nowToNearestMinute(false)))
{
}

std::shared_ptr<PieceWork> PieceWork::init()
{
    return std::make_shared<PieceWork>();
}

std::shared_ptr<PieceWork> PieceWork::initLineItem()
{
    auto item = std::make_shared<PieceWork>();
    item->_rate = 0;
    item->_rateSetAsZero = true;
    item->_isLineItem = true;
    return item;
}

PieceWork::PieceWork(WithoutStartTime)
{
}

std::shared_ptr<PieceWork> PieceWork::workWithPropertyListRepresentation(const QVariantMap& dictionary)
{
    auto work = std::make_shared<PieceWork>(WithoutStartTime());
    work->loadPropertyListRepresentation(dictionary);
    return work;
}

std::shared_ptr<PieceWork> PieceWork::copy() const
{
    auto result = std::make_shared<PieceWork>(*this);
    result->_owner = nullptr;
    return result;
}

MyDocument* PieceWork::owner() const
{
    return _owner.data();
}

void PieceWork::setOwner(MyDocument* owner)
{
    _owner = owner;
    inheritOwnerRate();
}

// A session without a rate of its own takes the owner's; once taken, the rate is its own.
// Line items are expenses and never take an hourly rate, even when a file lost their flag.
void PieceWork::inheritOwnerRate() const
{
    if (_rate == 0 && !_rateSetAsZero && !_isLineItem && _owner)
        _rate = _owner->rate();
}

QDateTime PieceWork::startTime() const { return _startTime.toLocalTime(); }
QDateTime PieceWork::endTime() const { return _endTime.toLocalTime(); }
QString PieceWork::workDescription() const { return _description; }
double PieceWork::timeOnJob() const { return _timeOnJob; }
double PieceWork::downTime() const { return _downTime; }
QString PieceWork::supportingFile() const { return _supportingFile; }
bool PieceWork::rateSetAsZero() const { return _rateSetAsZero; }
bool PieceWork::paid() const { return _paid; }
bool PieceWork::isLineItem() const { return _isLineItem; }
bool PieceWork::isPaused() const { return _isPaused; }
bool PieceWork::taxable() const { return _taxable; }

float PieceWork::rate() const
{
    inheritOwnerRate();
    return _rate;
}

// Undo support --------------------------------------------------------------------------------

UndoManager* PieceWork::undoManager() const
{
    return _owner ? _owner->undoManager() : nullptr;
}

// The inverse keeps the entry alive while the step exists.
void PieceWork::recordUndo(std::function<void(PieceWork&)> inverse)
{
    UndoManager* undo = undoManager();
    if (!undo)
        return;
    if (std::shared_ptr<PieceWork> self = weak_from_this().lock())
        undo->registerUndo([self, inverse] { inverse(*self); });
    else
        undo->registerUndo([this, inverse] { inverse(*this); });
}

void PieceWork::refreshWindows() const
{
    if (!_owner)
        return;
    for (ClientWindow* window : _owner->windowControllers())
        window->updateTotalsAndReload();
}

// A change made while recording is suspended (a pause) must not rename the step before it.
void PieceWork::nameAction(const char* name) const
{
    UndoManager* undo = undoManager();
    if (undo && undo->isUndoRegistrationEnabled())
        undo->setActionName(localized(name));
}

// Setters -------------------------------------------------------------------------------------

void PieceWork::setStartTime(const QDateTime& startTime)
{
    const QDateTime value = storedTime(startTime);
    if (_startTime.isValid() && _startTime == value)
        return;
    recordUndo([old = _startTime](PieceWork& work) { work.setStartTime(old); });
    _startTime = value;
    if (_endTime.isValid())
        recomputeTimeOnJob();
    refreshWindows();
    nameAction("Start Time Change");
}

void PieceWork::setEndTime(const QDateTime& endTime)
{
    const QDateTime value = storedTime(endTime);
    if (_endTime.isValid() && _endTime == value)
        return;
    recordUndo([old = _endTime](PieceWork& work) { work.setEndTime(old); });
    _endTime = value;
    if (_startTime.isValid())
        recomputeTimeOnJob();
    refreshWindows();
    nameAction("End Time Change");
}

// Hours from start to end to the hundredth, halves to even. Without an end nothing is measured
// yet, so undoing the end of a running session gives its time back as 0.
void PieceWork::recomputeTimeOnJob()
{
    if (!_startTime.isValid() || !_endTime.isValid()) {
        _timeOnJob = 0;
        return;
    }
    const double seconds = static_cast<double>(_startTime.secsTo(_endTime));
    _timeOnJob = std::rint(seconds / 36) / 100;
}

void PieceWork::setTimeOnJob(double hours)
{
    if (hours == _timeOnJob)
        return;
    recordUndo([old = _timeOnJob](PieceWork& work) { work.setTimeOnJob(old); });
    _timeOnJob = roundToHundredths(hours);
    refreshWindows();
    nameAction("Session Time Change");
}

void PieceWork::setDownTime(double hours)
{
    if (hours == _downTime)
        return;
    recordUndo([old = _downTime](PieceWork& work) { work.setDownTime(old); });
    _downTime = hours;
    nameAction("Down Time Change");
}

// An explicit 0 is a change of its own even when the stored rate is already 0.
void PieceWork::setRate(float rate)
{
    if (rate == _rate && !_rateSetAsZero)
        return;
    recordUndo([old = _rate](PieceWork& work) { work.setRate(old); });
    _rate = rate;
    refreshWindows();
    nameAction("Rate Change");
}

void PieceWork::setRate(float rate, const QString& description)
{
    if (rate == _rate && description == _description)
        return;
    recordUndo([oldRate = _rate, oldDescription = _description](PieceWork& work) {
        work.setRate(oldRate, oldDescription);
    });
    _rate = rate;
    _description = description;
    refreshWindows();
    nameAction("Description Change");
}

void PieceWork::setWorkDescription(const QString& description)
{
    if (description == _description)
        return;
    recordUndo([old = _description](PieceWork& work) { work.setWorkDescription(old); });
    _description = description;
    refreshWindows();
    nameAction("Description Change");
}

void PieceWork::setSupportingFile(const QString& path)
{
    if (path == _supportingFile)
        return;
    recordUndo([old = _supportingFile](PieceWork& work) { work.setSupportingFile(old); });
    _supportingFile = path;
    refreshWindows();
    nameAction("Supporting File");
}

void PieceWork::setPaid(bool paid)
{
    if (paid == _paid)
        return;
    recordUndo([old = _paid](PieceWork& work) { work.setPaid(old); });
    _paid = paid;
    refreshWindows();
    nameAction("Paid Change");
}

void PieceWork::setTaxable(bool taxable)
{
    if (taxable == _taxable)
        return;
    recordUndo([old = _taxable](PieceWork& work) { work.setTaxable(old); });
    _taxable = taxable;
    nameAction("Is Taxable Change");
}

void PieceWork::setIsLineItem(bool isLineItem)
{
    if (isLineItem == _isLineItem)
        return;
    recordUndo([old = _isLineItem](PieceWork& work) { work.setIsLineItem(old); });
    _isLineItem = isLineItem;
    refreshWindows();
    nameAction("Line Item");
}

void PieceWork::setIsPaused(bool isPaused)
{
    _isPaused = isPaused;
}

void PieceWork::setRateSetAsZero(bool rateSetAsZero)
{
    _rateSetAsZero = rateSetAsZero;
}

// Timing -------------------------------------------------------------------------------------

bool PieceWork::canBePaused() const
{
    return !_isLineItem && _startTime.isValid() && !_endTime.isValid();
}

// Pausing is bookkeeping, not an edit: it leaves no undo step.
void PieceWork::pause()
{
    if (!canBePaused())
        return;
    UndoManager* undo = undoManager();
    if (undo)
        undo->disableUndoRegistration();
    setEndTime(Clock::now());
    _isPaused = true;
    if (undo)
        undo->enableUndoRegistration();
}

void PieceWork::resume()
{
    if (!_isPaused)
        return;
    if (_endTime.isValid())
        _downTime += static_cast<double>(_endTime.secsTo(Clock::now())) / 3600;
    _isPaused = false;
    _endTime = QDateTime();
}

void PieceWork::setHoursOnJob(double hours)
{
    if (!std::isfinite(hours) || std::fabs(hours) > MaximumHoursOnJob)
        return;
    const double wholeHours = std::floor(hours);
    qint64 h = static_cast<qint64>(wholeHours);
    const double minutes = (hours - wholeHours) * 60;
    const int seconds = static_cast<int>(std::trunc((minutes - std::floor(minutes)) * 60));
    int m = static_cast<int>(std::floor(minutes));
    if (seconds > 30)
        ++m;
    if (m == 60) {
        ++h;
        m = 0;
    }
    _downTime = 0;
    _isPaused = false;
    if (!_startTime.isValid())
        _startTime = storedTime(nowToNearestMinute(false));
    setEndTime(_startTime.addSecs(h * 3600 + m * 60));
}

double PieceWork::actualTimeOnJob() const
{
    return _timeOnJob - _downTime;
}

float PieceWork::amount() const
{
    if (_isLineItem)
        return rate();
    if (!_endTime.isValid())
        return 0;
    return static_cast<float>(static_cast<double>(rate()) * roundToHundredths(_timeOnJob - _downTime));
}

// Display ------------------------------------------------------------------------------------

QString PieceWork::toComma(const QString& text) const
{
    return _owner ? _owner->toComma(text) : text;
}

QString PieceWork::dateString() const
{
    const bool euro = SettingsStore::shared().boolForKey(EuroDates);
    return CalendarFormat::format(_startTime, euro ? DATE_FORMAT_EURO : DATE_FORMAT);
}

QString PieceWork::dateStringPadded() const
{
    const QString date = dateString();
    return date.size() <= 9 ? date + QLatin1Char(' ') : date;
}

QString PieceWork::startTimeString() const
{
    const bool twentyFour = SettingsStore::shared().boolForKey(TwentyFourHour);
    return CalendarFormat::format(_startTime, twentyFour ? HOUR_FORMAT_EURO : HOUR_FORMAT);
}

QString PieceWork::endTimeString() const
{
    if (!_endTime.isValid())
        return QStringLiteral("");
    const bool twentyFour = SettingsStore::shared().boolForKey(TwentyFourHour);
    return CalendarFormat::format(_endTime, twentyFour ? HOUR_FORMAT_EURO : HOUR_FORMAT);
}

QString PieceWork::timeOnJobString() const
{
    if (_isLineItem)
        return localized("Exp.");
    return toComma(cFormat("%2.2f", roundToHundredths(_timeOnJob - _downTime)));
}

QString PieceWork::rateString() const
{
    return toComma(cFormat("%.2f", rate()));
}

QString PieceWork::amountString() const
{
    if (_isLineItem)
        return rateString();
    if (!_endTime.isValid())
        return QStringLiteral("");
    return toComma(cFormat("%.2f", amount()));
}

QString PieceWork::dayOfWeek() const
{
    if (!_startTime.isValid())
        return QStringLiteral("???");
    return CalendarFormat::format(_startTime, QStringLiteral("%a"), CalendarFormat::Names::English);
}

bool PieceWork::occursAfter(const QDateTime& after, const QDateTime& notAfter) const
{
    return _startTime.isValid() && _startTime > after && _startTime <= notAfter;
}

// Ordering -----------------------------------------------------------------------------------

bool PieceWork::isSupportedSortKey(const QString& key)
{
    const SortKey sortKey = sortKeyFromText(key);
    return sortKey != SortKey::None && sortKey != SortKey::Unsupported;
}

int PieceWork::compare(const PieceWork& other) const
{
    if (!_owner)
        return 0;
    const QString key = _owner->sortColumn();
    const SortKey sortKey = sortKeyFromText(key);
    if (sortKey == SortKey::Unsupported) {
        qWarning("unsupported sort key:%s", qPrintable(key));
        return 0;
    }
    return compare(other, sortKey, _owner->sortIsDescending());
}

int PieceWork::compare(const PieceWork& other, SortKey sortKey, bool increasingOrder) const
{
    const int increasing = compare(sortValue(sortKey), other.sortValue(sortKey), sortKey);
    // The document's "descending" flag set means increasing order.
    return increasingOrder ? increasing : -increasing;
}

PieceWork::SortValue PieceWork::sortValue(SortKey sortKey) const
{
    SortValue value;
    switch (sortKey) {
    case SortKey::None:
    case SortKey::Unsupported:
        break;
    case SortKey::Time:
        value.special = _isLineItem;
        value.number = static_cast<float>(_timeOnJob);
        break;
    case SortKey::StartTime:
    case SortKey::StopTime: {
        const QDateTime& time = sortKey == SortKey::StartTime ? _startTime : _endTime;
        value.special = !time.isValid();
        value.seconds = value.special ? 0 : time.toSecsSinceEpoch();
        break;
    }
    case SortKey::Description:
    case SortKey::Link: {
        const QString& text = sortKey == SortKey::Description ? _description : _supportingFile;
        value.special = text.isEmpty();
        value.text = text.toCaseFolded();
        break;
    }
    case SortKey::Paid:
        value.special = _paid;
        break;
    case SortKey::Rate:
        value.special = _isLineItem;
        value.number = _isLineItem ? 0 : rate();
        break;
    case SortKey::Amount:
        value.number = amount();
        break;
    }
    return value;
}

int PieceWork::compare(const SortValue& a, const SortValue& b, SortKey sortKey)
{
    switch (sortKey) {
    case SortKey::None:
    case SortKey::Unsupported:
        return 0;
    case SortKey::Time:
    case SortKey::Rate:
        // Line items before sessions; the values only when neither is one.
        if (a.special || b.special)
            return compareValues(!a.special, !b.special);
        return compareFloats(a.number, b.number);
    case SortKey::StartTime:
    case SortKey::StopTime:
        // Absent dates after present ones.
        if (a.special || b.special)
            return compareValues(a.special, b.special);
        return compareValues(a.seconds, b.seconds);
    case SortKey::Description:
    case SortKey::Link:
        // Empty texts after all others; the rest without regard to case.
        if (a.special || b.special)
            return compareValues(a.special, b.special);
        return compareValues(QString::compare(a.text, b.text, Qt::CaseSensitive), 0);
    case SortKey::Paid:
        // Unpaid before paid.
        return compareValues(a.special, b.special);
    case SortKey::Amount:
        return compareFloats(a.number, b.number);
    }
    return 0;
}

// Dictionary form ----------------------------------------------------------------------------

QVariantMap PieceWork::propertyListRepresentation() const
{
    QVariantMap dictionary;
    dictionary.insert(DescriptionKey, _description);
    if (_paid)
        dictionary.insert(PaidKey, YES);
    if (_rateSetAsZero)
        dictionary.insert(RateSetAsZeroKey, YES);
    if (_isLineItem)
        dictionary.insert(LineItemKey, YES);
    if (_isPaused)
        dictionary.insert(PausedKey, YES);
    if (_taxable)
        dictionary.insert(TaxableKey, YES);
    if (!_supportingFile.isEmpty())
        dictionary.insert(SupportKey, _supportingFile);
    if (_startTime.isValid())
        dictionary.insert(StartTimeKey, archiveDateString(_startTime));
    if (_endTime.isValid())
        dictionary.insert(EndTimeKey, archiveDateString(_endTime));
    if (_timeOnJob != 0)
        dictionary.insert(TimeKey, cFormat("%f", _timeOnJob));
    if (_downTime != 0)
        dictionary.insert(DownTimeKey, cFormat("%f", _downTime));
    if (_rate != 0 || _rateSetAsZero)
        dictionary.insert(WorkRateKey, cFormat("%.2f", _rate));
    return dictionary;
}

// The order matters: the times come last, so an entry with both times takes its time on job from
// them rather than from "Time". An entry without a readable start starts at the moment of reading.
void PieceWork::loadPropertyListRepresentation(const QVariantMap& dictionary)
{
    const auto text = [&dictionary](const QString& key) -> std::optional<QString> {
        const auto found = dictionary.constFind(key);
        if (found == dictionary.cend())
            return std::nullopt;
        return found->toString();
    };
    const auto flag = [&text](const QString& key, bool& field) {
        if (const auto value = text(key))
            field = *value == YES;
    };
    const auto number = [&text](const QString& key, auto& field) {
        if (const auto value = text(key))
            field = floatFromText(*value);
    };
    const auto date = [&text, this](const QString& key, void (PieceWork::*setter)(const QDateTime&)) {
        const auto value = text(key);
        if (!value)
            return;
        if (const auto seconds = ArchiveDate::parse(*value))
            (this->*setter)(QDateTime::fromSecsSinceEpoch(*seconds, Qt::UTC));
        else
            qWarning("Work entry: the date \"%s\" under %s cannot be read and is ignored", qPrintable(*value),
                     qPrintable(key));
    };

    flag(LineItemKey, _isLineItem);
    flag(PausedKey, _isPaused);
    flag(TaxableKey, _taxable);
    if (const auto description = text(DescriptionKey))
        setWorkDescription(*description);
    if (const auto support = text(SupportKey))
        setSupportingFile(*support);
    number(TimeKey, _timeOnJob);
    number(DownTimeKey, _downTime);
    number(WorkRateKey, _rate);
    flag(PaidKey, _paid);
    flag(RateSetAsZeroKey, _rateSetAsZero);
    date(StartTimeKey, &PieceWork::setStartTime);
    if (!_startTime.isValid())
        _startTime = storedTime(nowToNearestMinute(false));
    date(EndTimeKey, &PieceWork::setEndTime);
}

QString PieceWork::archiveDateString(const QDateTime& dateTime)
{
    return dateTime.isValid() ? ArchiveDate::format(dateTime.toSecsSinceEpoch()) : QString();
}

QDateTime PieceWork::dateFromString(const QString& text)
{
    const auto seconds = ArchiveDate::parse(text);
    return seconds ? QDateTime::fromSecsSinceEpoch(*seconds) : QDateTime();
}

// A double beyond a float's range has no float value (the conversion would be undefined).
float PieceWork::floatFromText(const QString& text)
{
    const double value = readNumber(text);
    if (!std::isfinite(value) || std::fabs(value) > std::numeric_limits<float>::max())
        return 0.0f;
    return static_cast<float>(value);
}

// Minutes ------------------------------------------------------------------------------------

QDateTime PieceWork::dateToNearestMinute(const QDateTime& dateTime, bool roundUp)
{
    if (!dateTime.isValid())
        return {};
    const QDateTime local = QDateTime::fromSecsSinceEpoch(dateTime.toSecsSinceEpoch());
    const int seconds = local.time().second();
    if (seconds == 0)
        return local;
    return local.addSecs(roundUp ? 60 - seconds : -seconds);
}

QDateTime PieceWork::nowToNearestMinute(bool roundUp)
{
    return dateToNearestMinute(Clock::now(), roundUp);
}
