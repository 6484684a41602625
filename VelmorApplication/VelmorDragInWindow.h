#pragma once

#include "VelmorExport.h"

#include <QMainWindow>
#include <QStringList>

class QMimeData;
class VelmorDragInDelegate;

// The client window: drags and drops go to its delegate (the window controller), and only
// those that carry one of the registered types reach it. The window has no toolbar of its own;
// the toolbar command goes to the delegate, which shows or hides its own tools area.
class VELMOR_EXPORT VelmorDragInWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit VelmorDragInWindow(QWidget* parent = nullptr);
    ~VelmorDragInWindow() override;

    // The delegate is not owned and must outlive the window or be unset first. Setting one asks
    // it to register its drag types.
    void setDragInDelegate(VelmorDragInDelegate* delegate);
    VelmorDragInDelegate* dragInDelegate() const;

    // MIME formats the window accepts drags of.
    void registerForDraggedTypes(const QStringList& types);
    void unregisterDraggedTypes();
    QStringList registeredDraggedTypes() const;

public slots:
    void toggleToolbarShown();
    void runToolbarCustomizationPalette();

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void performToggleToolbarShown();
    bool carriesRegisteredType(const QMimeData* data) const;
    static void answerDrag(QDragMoveEvent* event, Qt::DropAction action);

    VelmorDragInDelegate* _delegate = nullptr;
    QStringList _draggedTypes;
};
