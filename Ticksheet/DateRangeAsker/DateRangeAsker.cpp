#include "DateRangeAsker.h"

#include "CalendarFormat.h"

namespace {

DateRangeAsker* sharedAsker = nullptr;

// Noon exists on every day in every time zone, so formatting a date never meets a clock change.
const QTime Noon(12, 0);

} // namespace

DateRangeAsker::DateRangeAsker(QWidget* parent)
    : VelmorModalPrompt(parent)
{
    ui.setupUi(this);
    connect(ui.okButton, &QPushButton::clicked, this, &VelmorModalWindowController::ok);
    connect(ui.cancelButton, &QPushButton::clicked, this, &VelmorModalWindowController::cancel);
}

DateRangeAsker* DateRangeAsker::singleInstance()
{
    return sharedAsker;
}

void DateRangeAsker::setSingleInstance(DateRangeAsker* instance)
{
    sharedAsker = instance;
}

std::optional<QList<QDate>> DateRangeAsker::datesForDates(const QList<QDate>& proposal)
{
    loadDates(proposal);
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    return parseDates();
}

QList<QLineEdit*> DateRangeAsker::dateFields() const
{
    return {ui.startDateField, ui.endDateField};
}

QString DateRangeAsker::dateFormat(const QLineEdit* field)
{
    return field->property("dateFormat").toString();
}

void DateRangeAsker::loadDates(const QList<QDate>& dates)
{
    const QList<QLineEdit*> fields = dateFields();
    for (qsizetype i = 0; i < fields.size(); ++i) {
        const QDate date = dates.value(i);
        fields[i]->setText(date.isValid() ? CalendarFormat::format(QDateTime(date, Noon), dateFormat(fields[i]))
                                          : QString());
    }
}

QList<QDate> DateRangeAsker::parseDates() const
{
    QList<QDate> dates;
    for (const QLineEdit* field : dateFields()) {
        const QDateTime date = CalendarFormat::parse(field->text(), dateFormat(field));
        if (!date.isValid())
            break;
        dates << date.date();
    }
    return dates;
}
