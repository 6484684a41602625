#include "VelmorMovingRowsProtocol.h"

#include <QPixmap>

VelmorMovingRowsProtocol::~VelmorMovingRowsProtocol() = default;

bool VelmorMovingRowsProtocol::rowWillMove(VelmorTableView* /*table*/, int /*row*/)
{
    return true;
}

bool VelmorMovingRowsProtocol::willDepositRow(VelmorTableView* /*table*/, int /*from*/, int /*to*/)
{
    return true;
}

QPixmap VelmorMovingRowsProtocol::imageForRow(VelmorTableView* /*table*/, int /*row*/)
{
    return {};
}
