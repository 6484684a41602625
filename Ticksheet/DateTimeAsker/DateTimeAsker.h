#pragma once

#include "PlugIns/DateTimeAskerInterface.h"
#include "VelmorModalPrompt.h"

#include "ui_DateTimeAsker.h"

class QComboBox;

// Asks for one point in time as month, day, year, hour, minute and AM/PM fields, in 12- or
// 24-hour form as the "TwentyFourHour" setting says.
class DateTimeAsker : public VelmorModalPrompt<DateTimeAsker>, public DateTimeAskerInterface
{
    Q_OBJECT
    Q_INTERFACES(DateTimeAskerInterface)

public:
    explicit DateTimeAsker(QWidget* parent = nullptr);

    // The module's own shared instance; it lives until the process ends.
    static DateTimeAsker* singleInstance();
    static void setSingleInstance(DateTimeAsker* instance);

    std::optional<QDateTime> calendarDateFromModal(const QDateTime& date) override;

    void loadDate(const QDateTime& date);
    // The date the fields name, seconds 0, local time; nothing when they name none.
    std::optional<QDateTime> parseDate() const;

private:
    static bool isTwentyFourHour();
    static void showInField(QComboBox* field, const QString& text);

    Ui::DateTimeAsker ui;
};
