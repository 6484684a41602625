#pragma once

#include <QDateTime>
#include <QString>

#include <memory>
#include <optional>

class PieceWork;

// What the work table's model and cells ask of the window that shows them. The client window
// implements it; tests implement it with a recorder, so the table's rules run without a window.
class WorkTableController
{
public:
    virtual ~WorkTableController() = default;

    // The entry at the table's selected row; null when no row is selected.
    virtual std::shared_ptr<PieceWork> selectedWork() const = 0;
    // After an edit of column `identifier` of `work`: re-sort when the document is sorted on that
    // column (selecting the entry again afterwards), otherwise refresh totals and table.
    virtual void sortIfSortedOn(const QString& identifier, const std::shared_ptr<PieceWork>& work) = 0;
    // An edit changed a figure: recompute and show the totals.
    virtual void updateTotals() = 0;
    // The date-and-time prompt opened on `base`, for typed text that is no time of day. Cancelled:
    // `base`; confirmed with fields that form no date: nothing.
    virtual std::optional<QDateTime> askForDate(const QDateTime& base) = 0;
    // The description cell's arrow was clicked while its list is empty: open the preferences at
    // the expense list (line item) or the job list.
    virtual void showDescriptionListSettings(bool lineItem) = 0;
    // The supporting-file cell of the selected row was clicked.
    virtual void openFileAction() = 0;
};
