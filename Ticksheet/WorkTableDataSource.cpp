#include "WorkTableDataSource.h"

#include "DescriptionList.h"
#include "MyDocument.h"
#include "TypedTimeReader.h"
#include "WorkTableController.h"

#include <QRegularExpression>

#include <cmath>
#include <limits>

namespace {

const QString Date = QStringLiteral("DATE");
const QString Start = QStringLiteral("STARTTIME");
const QString Stop = QStringLiteral("STOPTIME");
const QString Time = QStringLiteral("TIME");
const QString Description = QStringLiteral("DESCRIPTION");
const QString Rate = QStringLiteral("RATE");
const QString Amount = QStringLiteral("AMOUNT");
const QString Paid = QStringLiteral("PAID");
const QString Link = QStringLiteral("LINK");

// The arrow of a description editor: this far from its right edge.
constexpr int ArrowWidth = 18;

QColor lightBlue() { return QColor::fromRgbF(0.85f, 0.85f, 1.0f); }
QColor lightRed() { return QColor::fromRgbF(1.0f, 0.85f, 0.85f); }
QColor lightGreen() { return QColor::fromRgbF(0.85f, 1.0f, 0.85f); }
QColor lightYellow() { return QColor::fromRgbF(1.0f, 1.0f, 0.85f); }

float toFloat(double value)
{
    return std::fabs(value) <= std::numeric_limits<float>::max() ? static_cast<float>(value) : 0.0f;
}

} // namespace

WorkTableDataSource::WorkTableDataSource(MyDocument* document, WorkTableController* controller)
    : _document(document)
    , _controller(controller)
{
}

const QStringList& WorkTableDataSource::columnIdentifiers()
{
    static const QStringList identifiers {Date, Start, Stop, Time, Description, Rate, Amount, Paid, Link};
    return identifiers;
}

WorkList WorkTableDataSource::workList() const
{
    return _document ? _document->workList() : WorkList();
}

int WorkTableDataSource::numberOfRows() const
{
    return static_cast<int>(workList().size());
}

std::shared_ptr<PieceWork> WorkTableDataSource::workAt(int row) const
{
    const WorkList list = workList();
    return row >= 0 && row < list.size() ? list.at(row) : nullptr;
}

// Display ------------------------------------------------------------------------------------

QVariant WorkTableDataSource::objectValueForTableColumn(const QString& identifier, int row) const
{
    const auto work = workAt(row);
    if (!work)
        return {};
    if (identifier == Date)
        return work->dateString();
    if (identifier == Start)
        return work->startTimeString();
    if (identifier == Stop)
        return work->isLineItem() ? QString() : work->endTimeString();
    if (identifier == Time)
        return work->canBePaused() ? QString() : work->timeOnJobString();
    if (identifier == Description)
        return work->workDescription();
    if (identifier == Rate)
        return work->isLineItem() ? QString() : work->rateString();
    if (identifier == Amount)
        return work->amountString();
    if (identifier == Paid)
        return work->paid();
    if (identifier == Link)
        return !work->supportingFile().isEmpty();
    return {};
}

bool WorkTableDataSource::shouldEditTableColumn(const QString& identifier, int row) const
{
    const auto work = workAt(row);
    if (!work)
        return false;
    if (identifier == Amount)
        return work->isLineItem();
    if (identifier == Stop || identifier == Rate || identifier == Time)
        return !work->isLineItem();
    // The date and the file link only show; their values are never edited.
    return identifier == Start || identifier == Description || identifier == Paid;
}

QColor WorkTableDataSource::colorOfCell(const QString& identifier, const PieceWork& work) const
{
    if (identifier == Time && work.downTime() > 0)
        return lightYellow(); // the session has been paused: its time is net of the breaks
    if (work.isLineItem())
        return lightBlue();
    if (work.isPaused())
        return lightRed();
    if (work.canBePaused())
        return lightGreen();
    return QColor(Qt::white);
}

// Edits --------------------------------------------------------------------------------------

void WorkTableDataSource::setObjectValue(const QVariant& value, const QString& identifier, int row)
{
    const auto work = workAt(row);
    if (!work || !shouldEditTableColumn(identifier, row))
        return;
    if (identifier == Description) {
        setDescription(value.toString(), *work);
        // The entry's own change notice refreshes the window; only a sort may be due.
        if (_controller)
            _controller->sortIfSortedOn(identifier, work);
        return;
    }
    if (identifier == Stop) {
        if (!setStopTime(value, *work))
            return;
    } else if (identifier == Start) {
        if (!setStartTime(value, *work))
            return;
    } else if (identifier == Paid) {
        work->setPaid(value.toBool());
    } else if (identifier == Time) {
        work->setHoursOnJob(numberFromText(value));
    } else if (identifier == Rate) {
        const float rate = toFloat(numberFromText(value));
        work->setRateSetAsZero(rate == 0);
        work->setRate(rate);
    } else if (identifier == Amount) {
        work->setRate(toFloat(numberFromText(value)));
    }
    afterEdit(identifier, work);
}

void WorkTableDataSource::setDescription(const QString& description, PieceWork& work) const
{
    const std::optional<QString> rate = DescriptionList(work.isLineItem()).rateFor(description);
    if (rate && !rate->isEmpty())
        work.setRate(PieceWork::floatFromText(*rate), description);
    else
        work.setWorkDescription(description);
}

bool WorkTableDataSource::setStopTime(const QVariant& value, PieceWork& work) const
{
    if (value.toString().isEmpty())
        return false;
    const QDateTime base = work.endTime().isValid() ? work.endTime() : work.startTime();
    const TypedDate typed = readTypedDate(value, base, work, true);
    if (leavesEntryAlone(typed))
        return false;
    if (work.isPaused())
        work.resume();
    work.setEndTime(typed.date);
    return true;
}

bool WorkTableDataSource::setStartTime(const QVariant& value, PieceWork& work) const
{
    const QDateTime base = work.startTime();
    const TypedDate typed = readTypedDate(value, base, work, false);
    if (leavesEntryAlone(typed))
        return false;
    // A new start makes the old breaks meaningless, even when the time itself stays.
    work.setDownTime(0);
    work.setStartTime(typed.date);
    return true;
}

void WorkTableDataSource::afterEdit(const QString& identifier, const std::shared_ptr<PieceWork>& work) const
{
    if (!_controller)
        return;
    _controller->sortIfSortedOn(identifier, work);
    _controller->updateTotals();
}

double WorkTableDataSource::numberFromText(const QVariant& text) const
{
    static const QRegularExpression leadingNumber(QStringLiteral("^\\s*([+-]?(?:\\d+(?:\\.\\d*)?|\\.\\d+))"));
    QString normalized = text.toString();
    const QString separator = _document ? _document->decimalSeparator() : QString();
    if (!separator.isEmpty() && separator != QLatin1String("."))
        normalized.replace(separator, QStringLiteral("."));
    const QRegularExpressionMatch match = leadingNumber.match(normalized);
    if (!match.hasMatch())
        return 0;
    const double value = match.captured(1).toDouble();
    return std::isfinite(value) ? value : 0;
}

// Typed times --------------------------------------------------------------------------------

QDateTime WorkTableDataSource::getDateForObject(const QVariant& text, const QDateTime& base, const PieceWork& work,
                                                bool isEnd) const
{
    return readTypedDate(text, base, work, isEnd).date;
}

WorkTableDataSource::TypedDate WorkTableDataSource::readTypedDate(const QVariant& text, const QDateTime& base,
                                                                  const PieceWork& work, bool isEnd) const
{
    QDateTime from = base;
    if (!from.isValid())
        from = isEnd ? work.startTime() : PieceWork::nowToNearestMinute(false);
    if (TypedTimeReader::meansNow(text))
        return {PieceWork::nowToNearestMinute(isEnd), from, false};
    if (const auto typed = parseDateString(text.toString(), from, work))
        return {*typed, from, false};
    if (!_controller)
        return {from, from, true};
    return {_controller->askForDate(from).value_or(QDateTime()), from, true};
}

// The prompt answers the date it opened on when it is cancelled: that, or a confirmation that
// forms no date, must not end a running session at its start or wipe its breaks.
bool WorkTableDataSource::leavesEntryAlone(const TypedDate& typed)
{
    return typed.fromPrompt && (!typed.date.isValid() || typed.date == typed.base);
}

std::optional<QDateTime> WorkTableDataSource::parseDateString(const QString& text, const QDateTime& base,
                                                              const PieceWork& work) const
{
    Q_UNUSED(base) // the typed time always lands on the entry's own start day
    return TypedTimeReader::timeOnDay(work.dateString(), text);
}

// Description list ---------------------------------------------------------------------------

bool WorkTableDataSource::selectionIsLineItem() const
{
    const auto selected = _controller ? _controller->selectedWork() : nullptr;
    return selected && selected->isLineItem();
}

QVariantList WorkTableDataSource::itemsForSelection() const
{
    return DescriptionList(selectionIsLineItem()).items();
}

int WorkTableDataSource::numberOfItemsInComboBoxCell() const
{
    return DescriptionList(selectionIsLineItem()).count();
}

QString WorkTableDataSource::comboBoxCellObjectValueForItemAtIndex(int index) const
{
    return DescriptionList(selectionIsLineItem()).descriptionAt(index);
}

int WorkTableDataSource::comboBoxCellIndexOfItemWithStringValue(const QString& text) const
{
    return DescriptionList(selectionIsLineItem()).indexOf(text);
}

std::optional<QString> WorkTableDataSource::rateValueForString(const QString& text) const
{
    return DescriptionList(selectionIsLineItem()).rateFor(text);
}

void WorkTableDataSource::comboBoxMousedDown(const QPoint& location, const QRect& frame) const
{
    const bool lineItem = selectionIsLineItem();
    if (!_controller || DescriptionList(lineItem).count() > 0)
        return;
    if (location.x() > frame.x() + frame.width() - ArrowWidth)
        _controller->showDescriptionListSettings(lineItem);
}
