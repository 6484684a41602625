#pragma once

#include "TicksheetExport.h"

class VelmorTableView;
class WorkTableController;
class WorkTableModel;

// Puts the work table's cell editors in place: time combo boxes ("NOW", "Set...") for the start
// and end, the description list, the paid check box and the supporting-file button. It also makes
// the table editable from the keyboard: typing or a double click edits the current cell, Return
// applies the edit, Tab applies it and edits the next cell, Escape drops it.
class TICKSHEET_EXPORT WorkTableCells
{
public:
    static void install(VelmorTableView* table, WorkTableModel* model, WorkTableController* controller);
};
