#include "ViewExtensions.h"

#include <QColorDialog>
#include <QWidget>

void ViewExtensions::deactivateAllColorWells(QWidget* view)
{
    if (auto* chooser = qobject_cast<QColorDialog*>(view)) {
        if (chooser->isVisible())
            chooser->reject();
        return;
    }
    const QObjectList children = view->children();
    for (auto it = children.crbegin(); it != children.crend(); ++it) {
        if (auto* child = qobject_cast<QWidget*>(*it))
            deactivateAllColorWells(child);
    }
}
