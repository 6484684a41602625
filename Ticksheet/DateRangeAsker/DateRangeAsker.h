#pragma once

#include "PlugIns/DateRangeAskerInterface.h"
#include "VelmorModalPrompt.h"

#include "ui_DateRangeAsker.h"

class QLineEdit;

// Asks for a span of dates, start first. Each field shows and reads its date in the date format
// its layout gives it (the field's "dateFormat" property, strftime style).
class DateRangeAsker : public VelmorModalPrompt<DateRangeAsker>, public DateRangeAskerInterface
{
    Q_OBJECT
    Q_INTERFACES(DateRangeAskerInterface)

public:
    explicit DateRangeAsker(QWidget* parent = nullptr);

    // The module's own shared instance; it lives until the process ends.
    static DateRangeAsker* singleInstance();
    static void setSingleInstance(DateRangeAsker* instance);

    std::optional<QList<QDate>> datesForDates(const QList<QDate>& proposal) override;

    void loadDates(const QList<QDate>& dates);
    // The readable dates in field order, stopping at the first unreadable one.
    QList<QDate> parseDates() const;

private:
    QList<QLineEdit*> dateFields() const;
    static QString dateFormat(const QLineEdit* field);

    Ui::DateRangeAsker ui;
};
