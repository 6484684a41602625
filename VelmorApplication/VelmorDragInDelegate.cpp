#include "VelmorDragInDelegate.h"

VelmorDragInDelegate::~VelmorDragInDelegate() = default;

void VelmorDragInDelegate::toggleToolbarShown()
{
}
