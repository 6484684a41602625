#include "MyDocument.h"

#include "CalendarFormat.h"
#include "PlugIns/ExportOptionsInterface.h"
#include "Preferences.h"

#include <array>

namespace {

// A session's end and amount are not known until it is finished; a paused session's end time
// only marks the pause.
bool isUnfinishedSession(const PieceWork& work)
{
    return !work.isLineItem() && (!work.endTime().isValid() || work.isPaused());
}

QString endValue(const PieceWork& work)
{
    if (isUnfinishedSession(work))
        return {};
    return CalendarFormat::format(work.endTime(), MyDocument::hourFormat());
}

QString amountValue(const PieceWork& work)
{
    if (isUnfinishedSession(work))
        return {};
    return work.amountString();
}

struct ExportColumn {
    bool (ExportOptionsInterface::*ticked)() const;
    QString (*label)();
    QString (*value)(const MyDocument& document, const PieceWork& work);
};

// The columns in the order they are written.
const std::array<ExportColumn, 10> Columns {{
    {&ExportOptionsInterface::saveName, &Preferences::clientString,
     [](const MyDocument& document, const PieceWork&) { return document.clientName(); }},
    {&ExportOptionsInterface::saveProject, &Preferences::projectString,
     [](const MyDocument& document, const PieceWork&) { return document.projectName(); }},
    {&ExportOptionsInterface::saveDate, &Preferences::dateString,
     [](const MyDocument&, const PieceWork& work) {
         return CalendarFormat::format(work.startTime(), MyDocument::dateFormat());
     }},
    {&ExportOptionsInterface::saveStart, &Preferences::startString,
     [](const MyDocument&, const PieceWork& work) {
         return CalendarFormat::format(work.startTime(), MyDocument::hourFormat());
     }},
    {&ExportOptionsInterface::saveEnd, &Preferences::endString,
     [](const MyDocument&, const PieceWork& work) { return endValue(work); }},
    {&ExportOptionsInterface::saveTime, &Preferences::timeString,
     [](const MyDocument&, const PieceWork& work) { return work.timeOnJobString(); }},
    {&ExportOptionsInterface::saveRate, &Preferences::rateString,
     [](const MyDocument&, const PieceWork& work) { return work.isLineItem() ? QString() : work.rateString(); }},
    {&ExportOptionsInterface::saveAmount, &Preferences::amountString,
     [](const MyDocument&, const PieceWork& work) { return amountValue(work); }},
    {&ExportOptionsInterface::saveDescription, &Preferences::descriptionString,
     [](const MyDocument&, const PieceWork& work) { return work.workDescription(); }},
    {&ExportOptionsInterface::savePaid, &Preferences::paidString,
     [](const MyDocument&, const PieceWork& work) {
         return work.paid() ? Preferences::yesString() : Preferences::noString();
     }},
}};

// Every ticked column keeps its tab even when its value is empty, so the columns stay aligned.
void appendLine(QString& text, const QStringList& fields)
{
    text += fields.join(QLatin1Char('\t'));
    text += QLatin1Char('\n');
}

QStringList headings(const ExportOptionsInterface& options)
{
    QStringList fields;
    for (const ExportColumn& column : Columns) {
        if ((options.*column.ticked)())
            fields << column.label();
    }
    return fields;
}

QStringList values(const MyDocument& document, const PieceWork& work, const ExportOptionsInterface& options)
{
    QStringList fields;
    for (const ExportColumn& column : Columns) {
        if ((options.*column.ticked)())
            fields << column.value(document, work);
    }
    return fields;
}

} // namespace

void MyDocument::exportToString(QString& text, const ExportOptionsInterface& options, bool first) const
{
    if (first && options.saveHeaders())
        appendLine(text, headings(options));
    for (const auto& work : _workList)
        appendLine(text, values(*this, *work, options));
}

QString MyDocument::hourFormat()
{
    return QStringLiteral("%X");
}
