#pragma once

#include "PieceWork.h"
#include "TicksheetExport.h"

#include <QColor>
#include <QDateTime>
#include <QPointer>
#include <QRect>
#include <QStringList>
#include <QVariant>

#include <optional>

class MyDocument;
class WorkTableController;

// The rules of the client window's work table, without a table: what each cell shows, which cells
// may be edited, what an edited text does to the entry, and the description list behind the
// description cell. Every answer reads the document afresh; the table model forwards to it.
class TICKSHEET_EXPORT WorkTableDataSource
{
public:
    // The controller may be null: edits then neither re-sort nor ask for dates.
    WorkTableDataSource(MyDocument* document, WorkTableController* controller);

    // "DATE", "STARTTIME", "STOPTIME", "TIME", "DESCRIPTION", "RATE", "AMOUNT", "PAID", "LINK".
    static const QStringList& columnIdentifiers();

    WorkList workList() const;
    int numberOfRows() const;
    // The cell's text; a bool for PAID, and for LINK whether the entry has a supporting file.
    // Nothing for a row outside the list or an unknown column.
    QVariant objectValueForTableColumn(const QString& identifier, int row) const;
    bool shouldEditTableColumn(const QString& identifier, int row) const;
    void setObjectValue(const QVariant& value, const QString& identifier, int row);
    QColor colorOfCell(const QString& identifier, const PieceWork& work) const;

    // The moment typed text stands for: now for "NOW" or no text, a typed time of day on the
    // entry's start day, otherwise what the date prompt opened on `base` answers (invalid when it
    // was confirmed without a date).
    QDateTime getDateForObject(const QVariant& text, const QDateTime& base, const PieceWork& work, bool isEnd) const;
    // `text` as a time of day on the entry's start day; nothing when it is no time.
    std::optional<QDateTime> parseDateString(const QString& text, const QDateTime& base, const PieceWork& work) const;

    // The description list for the selected entry's kind, read from the settings at each call.
    QVariantList itemsForSelection() const;
    int numberOfItemsInComboBoxCell() const;
    QString comboBoxCellObjectValueForItemAtIndex(int index) const;
    // -1 when no item has exactly that text.
    int comboBoxCellIndexOfItemWithStringValue(const QString& text) const;
    // The rate saved with that description ("" when none); nothing when no item has it.
    std::optional<QString> rateValueForString(const QString& text) const;
    // A press at `location` in a description editor whose frame is `frame`: with an empty list,
    // a press on the arrow opens the settings at the list the user would want to fill.
    void comboBoxMousedDown(const QPoint& location, const QRect& frame) const;

    // A number typed in the TIME, RATE or AMOUNT cell, with "." or the document's decimal
    // separator; 0 when the text starts with no number.
    double numberFromText(const QVariant& text) const;

private:
    struct TypedDate {
        QDateTime date; // invalid: no date to apply
        QDateTime base; // what the prompt opened on
        bool fromPrompt = false;
    };

    std::shared_ptr<PieceWork> workAt(int row) const;
    bool selectionIsLineItem() const;
    TypedDate readTypedDate(const QVariant& text, const QDateTime& base, const PieceWork& work, bool isEnd) const;
    static bool leavesEntryAlone(const TypedDate& typed);

    void setDescription(const QString& description, PieceWork& work) const;
    // False when the edit changed nothing.
    bool setStopTime(const QVariant& value, PieceWork& work) const;
    bool setStartTime(const QVariant& value, PieceWork& work) const;
    void afterEdit(const QString& identifier, const std::shared_ptr<PieceWork>& work) const;

    QPointer<MyDocument> _document;
    WorkTableController* _controller;
};
