#include "ContactPicker.h"

#include "AddressBook.h"
#include "AllGroup.h"
#include "ClientWindow.h"
#include "Constants.h"
#include "ContactOutlineModel.h"
#include "DocumentController.h"
#include "DocumentWindowController.h"
#include "MyDocument.h"
#include "PlugIns/ContactImporterInterface.h"

#include <QItemSelectionModel>

#include <algorithm>

namespace {

ContactPicker* sharedPicker = nullptr;

bool lastNameBefore(const ContactPicker::PersonRef& one, const ContactPicker::PersonRef& other)
{
    return one->lastName().compare(other->lastName(), Qt::CaseInsensitive) < 0;
}

} // namespace

ContactPicker::ContactPicker(QWidget* parent)
    : VelmorModalPrompt(parent)
    , _model(new ContactOutlineModel(this, this))
    , _book(&AddressBook::shared())
{
    ui.setupUi(this);
    ui.outlineView->setModel(_model);
    connect(ui.okButton, &QPushButton::clicked, this, &VelmorModalWindowController::ok);
    connect(ui.cancelButton, &QPushButton::clicked, this, &VelmorModalWindowController::cancel);
    connect(ui.outlineView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &ContactPicker::outlineViewSelectionDidChange);
    connect(ui.outlineView, &QTreeView::clicked, this, &ContactPicker::validateOKButtonAction);
    connect(ui.outlineView, &QTreeView::doubleClicked, this, &ContactPicker::openOnPerson);
    connect(_book, &AddressBook::changed, this, &ContactPicker::addressBookChanged);
}

ContactPicker::~ContactPicker()
{
    if (sharedPicker == this)
        sharedPicker = nullptr;
}

ContactPicker* ContactPicker::singleInstance()
{
    return sharedPicker;
}

void ContactPicker::setSingleInstance(ContactPicker* instance)
{
    sharedPicker = instance;
}

MyDocument* ContactPicker::createNewWithAddressBook()
{
    // The folder setting is read at every opening; a change of folder reloads the outline itself.
    AddressBook::shared();
    dropCache();
    updateOKButton();
    if (exec() != QDialog::Accepted)
        return nullptr;
    return setStuff();
}

int ContactPicker::numberOfChildrenOfItem(const Item& item)
{
    if (item.isRoot())
        return static_cast<int>(_book->groups().size()) + 1;
    return item.group ? totalInGroup(item.group) : 0;
}

ContactPicker::Item ContactPicker::child(int index, const Item& item)
{
    if (item.isRoot()) {
        if (index == 0) {
            if (!topGroup)
                topGroup = std::make_shared<AllGroup>(_book->people());
            return {topGroup, nullptr};
        }
        return {_book->groups().value(index - 1), nullptr};
    }
    if (!item.group)
        return {};
    const QList<GroupRef> subgroups = item.group->subgroups();
    if (index < subgroups.size())
        return {subgroups[index], nullptr};
    return {nullptr, sortedMembers(item.group).value(index - subgroups.size())};
}

bool ContactPicker::isItemExpandable(const Item& item) const
{
    return item.group && totalInGroup(item.group) > 0;
}

QString ContactPicker::objectValueForTableColumn(int column, const Item& item) const
{
    if (item.group)
        return item.group->name();
    if (!item.person)
        return QString();
    return column == 0 ? item.person->lastName() : stringForPerson(*item.person);
}

bool ContactPicker::shouldEditTableColumn(int, const Item&) const
{
    return false;
}

void ContactPicker::setObjectValue(const QVariant&, int, const Item&)
{
}

ContactPicker::PersonRef ContactPicker::selectedPerson() const
{
    const QModelIndexList rows = ui.outlineView->selectionModel()->selectedRows();
    return rows.isEmpty() ? nullptr : _model->itemAt(rows.first()).person;
}

QList<ContactPicker::PersonRef> ContactPicker::sortedMembers(const GroupRef& group)
{
    const auto cached = dict.find(group);
    if (cached != dict.end())
        return cached->second;
    QList<PersonRef> members = group->members();
    std::stable_sort(members.begin(), members.end(), lastNameBefore);
    dict.emplace(group, members);
    return members;
}

int ContactPicker::totalInGroup(const GroupRef& group)
{
    return static_cast<int>(group->members().size() + group->subgroups().size());
}

QString ContactPicker::stringForPerson(const AddressBookPerson& person)
{
    QString text;
    for (const QString& part : {person.firstName(), person.lastName(), person.organization()}) {
        if (!part.isEmpty())
            text += part + u' ';
    }
    return text;
}

MyDocument* ContactPicker::setStuff()
{
    auto* document = qobject_cast<MyDocument*>(
        DocumentController::shared().openUntitledDocumentOfType(DocumentType, true));
    if (!document)
        return nullptr;
    const PersonRef person = selectedPerson();
    auto* importer = qobject_cast<ContactImporterInterface*>(
        MyDocument::sharedInstanceOfClassName(QStringLiteral("ContactImporter")));
    if (importer && person)
        importer->loadPerson(*person, document);
    if (DocumentWindowController* window = DocumentWindowController::controllerFor(document))
        window->showWindow();
    for (ClientWindow* window : document->windowControllers())
        window->reloadInfo();
    return document;
}

void ContactPicker::outlineViewSelectionDidChange()
{
    updateOKButton();
}

void ContactPicker::validateOKButtonAction(const QModelIndex& clicked)
{
    if (clicked.isValid() && _model->itemAt(clicked).group && !ui.outlineView->isExpanded(clicked.siblingAtColumn(0)))
        ui.outlineView->expand(clicked.siblingAtColumn(0));
    updateOKButton();
}

void ContactPicker::addressBookChanged()
{
    dropCache();
}

// Drops the sorted lists and the pseudo-group and shows the address book as it is now, with
// everyone in view.
void ContactPicker::dropCache()
{
    dict.clear();
    topGroup.reset();
    _model->reload();
    ui.outlineView->expand(_model->index(0, 0));
    updateOKButton();
}

void ContactPicker::updateOKButton()
{
    ui.okButton->setEnabled(selectedPerson() != nullptr);
}

void ContactPicker::openOnPerson(const QModelIndex& index)
{
    if (index.isValid() && _model->itemAt(index).person)
        ok();
}
