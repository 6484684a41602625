#include "DateTimeAsker.h"

#include "CalendarFormat.h"
#include "Constants.h"
#include "SettingsStore.h"

namespace {

DateTimeAsker* sharedAsker = nullptr;

const QString AM = QStringLiteral("AM");
const QString PM = QStringLiteral("PM");

// The leading integer of a field, 0 when there is none.
int integerValue(const QComboBox* field)
{
    const QString text = field->currentText().trimmed();
    qsizetype end = 0;
    if (end < text.size() && (text[end] == u'-' || text[end] == u'+'))
        ++end;
    while (end < text.size() && text[end].isDigit())
        ++end;
    return text.left(end).toInt();
}

} // namespace

DateTimeAsker::DateTimeAsker(QWidget* parent)
    : VelmorModalPrompt(parent)
{
    ui.setupUi(this);
    connect(ui.okButton, &QPushButton::clicked, this, &VelmorModalWindowController::ok);
    connect(ui.cancelButton, &QPushButton::clicked, this, &VelmorModalWindowController::cancel);
}

DateTimeAsker* DateTimeAsker::singleInstance()
{
    return sharedAsker;
}

void DateTimeAsker::setSingleInstance(DateTimeAsker* instance)
{
    sharedAsker = instance;
}

std::optional<QDateTime> DateTimeAsker::calendarDateFromModal(const QDateTime& date)
{
    loadDate(date);
    if (exec() != QDialog::Accepted)
        return date;
    return parseDate();
}

bool DateTimeAsker::isTwentyFourHour()
{
    return SettingsStore::shared().boolForKey(TwentyFourHour);
}

void DateTimeAsker::showInField(QComboBox* field, const QString& text)
{
    const int index = field->findText(text);
    if (index >= 0)
        field->setCurrentIndex(index);
    field->setEditText(text);
}

void DateTimeAsker::loadDate(const QDateTime& date)
{
    const bool twentyFourHour = isTwentyFourHour();
    const QDate day = date.date();
    int hour = date.time().hour();
    bool pm = false;
    if (!twentyFourHour) {
        // Midnight to 1 AM shows as hour 0, which parseDate reads back as 0.
        pm = hour > 11;
        if (hour > 12)
            hour -= 12;
    }

    showInField(ui.monthField, QString::number(day.month()));
    showInField(ui.dayField, QString::number(day.day()));
    showInField(ui.yearField, QString::number(day.year()));
    showInField(ui.hourField, QString::number(hour));
    showInField(ui.minuteField, QStringLiteral("%1").arg(date.time().minute(), 2, 10, QLatin1Char('0')));
    showInField(ui.amPmField, pm ? PM : AM);
    ui.amPmField->setEnabled(!twentyFourHour);
}

std::optional<QDateTime> DateTimeAsker::parseDate() const
{
    const bool twentyFourHour = isTwentyFourHour();
    int hour = integerValue(ui.hourField);
    // The reader takes 12-hour hours from 1 to 12 only; hour 0 is the 12 of its half day.
    if (!twentyFourHour && hour == 0)
        hour = 12;

    const auto twoDigits = [](int value) { return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0')); };
    QString text = QStringList {ui.monthField->currentText(), ui.dayField->currentText(), ui.yearField->currentText(),
                                twoDigits(hour), twoDigits(integerValue(ui.minuteField))}
                       .join(u' ');
    QString pattern = QStringLiteral("%m %e %Y %H %M");
    if (!twentyFourHour) {
        text += u' ' + ui.amPmField->currentText();
        pattern = QStringLiteral("%m %e %Y %I %M %p");
    }

    const QDateTime date = CalendarFormat::parse(text, pattern, CalendarFormat::Names::English);
    if (!date.isValid())
        return std::nullopt;
    return date;
}
