#pragma once

// What the model asks of a client document's window. The window controller implements it; the
// model never touches a widget, so tests can implement it with a recorder.
class ClientWindow
{
public:
    virtual ~ClientWindow() = default;

    // The work list or an entry changed: recompute totals and reload the table.
    virtual void updateTotalsAndReload() = 0;
    // A client detail or document setting changed.
    virtual void reloadInfo() = 0;
    // The money format changed: rebuild the formatters.
    virtual void updateFormatters() = 0;
    // A save is coming: commit the field being edited to the document first.
    virtual void endEditing() = 0;
};
