// What the client window does with drops: contact cards fill in the client, client documents are
// merged in, any other file becomes the selected entry's supporting file; and rows moved in the
// work table.

#include "JobWindowController.h"

#include "Constants.h"
#include "MyDocument.h"
#include "PlugIns/ContactImporterInterface.h"
#include "VelmorDragInWindow.h"
#include "VelmorTableView.h"
#include "WorkTableModel.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace {

const QStringList VCardTypes = {QStringLiteral("text/vcard"), QStringLiteral("text/x-vcard")};
const QString FileListType = QStringLiteral("text/uri-list");

ContactImporterInterface* contactImporter()
{
    return qobject_cast<ContactImporterInterface*>(MyDocument::sharedInstanceOfClassName(QStringLiteral("ContactImporter")));
}

QStringList localPaths(const QMimeData* data)
{
    QStringList paths;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile())
            paths << url.toLocalFile();
    }
    return paths;
}

} // namespace

// Contact cards are offered only where the importer that reads them is installed.
QStringList JobWindowController::acceptableDraggedTypes() const
{
    QStringList types;
    if (_contactImporterLoaded)
        types << VCardTypes;
    types << FileListType;
    return types;
}

void JobWindowController::registerTypesForWindow(VelmorDragInWindow* window)
{
    _contactImporterLoaded = contactImporter() != nullptr;
    window->registerForDraggedTypes(acceptableDraggedTypes());
}

// The first accepted type the drag carries; empty when none.
QString JobWindowController::dropType(const QMimeData* data) const
{
    if (!data)
        return QString();
    for (const QString& type : acceptableDraggedTypes()) {
        if (data->hasFormat(type))
            return type;
    }
    return QString();
}

// The drop only reads the data, so it is a copy or a link, never a move: a source told that its
// data moved may delete the original file.
Qt::DropAction JobWindowController::draggingEntered(QDragMoveEvent* event)
{
    if (dropType(event->mimeData()).isEmpty())
        return Qt::IgnoreAction;
    if (event->possibleActions() & Qt::CopyAction)
        return Qt::CopyAction;
    if (event->possibleActions() & Qt::LinkAction)
        return Qt::LinkAction;
    return Qt::IgnoreAction;
}

Qt::DropAction JobWindowController::draggingUpdated(QDragMoveEvent* event)
{
    return draggingEntered(event);
}

bool JobWindowController::prepareForDragOperation(QDropEvent*)
{
    return true;
}

bool JobWindowController::performDragOperation(QDropEvent*)
{
    return true;
}

void JobWindowController::concludeDragOperation(QDropEvent* event)
{
    MyDocument* client = clientDocument();
    const QMimeData* data = event->mimeData();
    const QString type = dropType(data);
    if (!client || type.isEmpty())
        return;
    if (VCardTypes.contains(type)) {
        const QByteArray card = data->data(type);
        ContactImporterInterface* importer = contactImporter();
        if (!card.isEmpty() && importer)
            importer->loadPersonData(card, client);
        return;
    }
    dropFiles(localPaths(data));
}

// Client documents (by their exact extension) are merged in; anything else is a supporting file.
void JobWindowController::dropFiles(const QStringList& paths)
{
    MyDocument* client = clientDocument();
    if (paths.isEmpty() || !client)
        return;
    if (paths.constFirst().endsWith(u'.' + TWKFileType, Qt::CaseSensitive)) {
        client->importRecordsInFiles(paths);
        return;
    }
    if (const std::shared_ptr<PieceWork> work = selectedWork()) {
        work->setSupportingFile(paths.constFirst());
        _model->reload();
    }
}

// Row moves --------------------------------------------------------------------------------

unsigned JobWindowController::dragReorderingMask(int column)
{
    return WorkTableModel::identifierAt(column) == QStringLiteral("DATE") ? 0 : VelmorCommandKeyMask;
}

bool JobWindowController::draggingRow(VelmorTableView*, int, int)
{
    return true;
}

bool JobWindowController::didDepositRow(VelmorTableView* table, int from, int to)
{
    MyDocument* client = clientDocument();
    if (!client || !client->didDepositRow(table, from, to))
        return false;
    updateTableHeaderToMatchCurrentSort();
    return true;
}
