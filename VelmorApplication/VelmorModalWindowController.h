#pragma once

#include "VelmorExport.h"

#include <QDialog>

// The base of the modal prompts. A prompt runs with exec(): Accepted is the confirmed answer
// (ok), Rejected the aborted one (cancel); callers take the entered values only when accepted.
//
// Layout: a subclass named X keeps its layout in X.ui (a QDialog named X) beside its sources.
// AUTOUIC compiles it in and the subclass calls Ui::X::setupUi(this) in its constructor, so a
// layout cannot go missing at run time and its widget names are checked by the compiler.
// Connect the layout's OK and Cancel buttons to ok() and cancel().
//
// Frame: saved when the window hides and restored when it first shows, under the class name
// (subclasses declare Q_OBJECT so that metaObject() names them).
//
// Derive prompts from VelmorModalPrompt<X> to get X::sharedInstance().
class VELMOR_EXPORT VelmorModalWindowController : public QDialog
{
    Q_OBJECT

public:
    explicit VelmorModalWindowController(QWidget* parent = nullptr);
    ~VelmorModalWindowController() override;

    // The base keeps no instance, so a subclass that does not hide these two with its own
    // gets a new instance (owned by the caller) from every sharedInstance().
    static VelmorModalWindowController* singleInstance() { return nullptr; }
    static void setSingleInstance(VelmorModalWindowController*) {}

    // The name the frame is kept under: the class name.
    QString frameName() const;

public slots:
    // Hide the window and end the modal run confirmed.
    void ok();
    // Hide the window and end the modal run aborted.
    void cancel();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    bool _frameRestored = false;
};
