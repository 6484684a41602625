#include "MyDocument.h"

#include "ClientWindow.h"
#include "Constants.h"
#include "DocumentController.h"
#include "DocumentXmlReader.h"
#include "DocumentXmlWriter.h"
#include "PageLayoutArchive.h"
#include "PropertyList.h"
#include "SettingsStore.h"
#include "UndoManager.h"

#include <QFileInfo>
#include <QtDebug>

// The document file: one property list, a dictionary of texts plus "Work" (an array of the
// entries' dictionaries) and "PrintInfo" (data). Loading checks the whole file before it changes
// anything, so a file that does not load leaves an open document exactly as it was.

namespace {

const QString SortOnKey = QStringLiteral("SortOn");
const QString SortIsDescendingKey = QStringLiteral("SortIsDescending");
const QString HideToolsKey = QStringLiteral("HideTools");
const QString MoneySymbolKey = QStringLiteral("MoneySymbol");
const QString ThousandsSeparatorKey = QStringLiteral("ThousandsSeparator");
const QString DecimalSeparatorKey = QStringLiteral("DecimalSeparatorKey");
const QString MoneyComesAfterKey = QStringLiteral("MoneyComesAfter");
const QString RateKey = QStringLiteral("Rate");
const QString TaxRateKey = QStringLiteral("TaxRate");
const QString ShareCostKey = QStringLiteral("ShareCost");
const QString EquityKey = QStringLiteral("Equity");
const QString TaxableKey = QStringLiteral("Taxable");
const QString VersionKey = QStringLiteral("Version");
const QString WorkKey = QStringLiteral("Work");
const QString AddressKey = QStringLiteral("Address");
const QString ProjectNameKey = QStringLiteral("ProjectName");
const QString EmailKey = QStringLiteral("Email");
const QString PhoneKey = QStringLiteral("Phone");
const QString ClientNameKey = QStringLiteral("ClientName");
const QString PrintInfoKey = QStringLiteral("PrintInfo");

const QString YES = QStringLiteral("YES");
const QString NO = QStringLiteral("NO");

// The keys whose value must be text ("Version" is never read, so its kind does not matter).
const QString* const TextKeys[] = {
    &SortOnKey, &SortIsDescendingKey, &HideToolsKey, &MoneySymbolKey, &ThousandsSeparatorKey,
    &DecimalSeparatorKey, &MoneyComesAfterKey, &RateKey, &TaxRateKey, &ShareCostKey, &EquityKey,
    &TaxableKey, &AddressKey, &ProjectNameKey, &EmailKey, &PhoneKey, &ClientNameKey,
};

QString yesNo(bool flag)
{
    return flag ? YES : NO;
}

// "%f" always writes "." as the decimal point.
QString decimal(float value)
{
    return QString::asprintf("%f", static_cast<double>(value));
}

QString nonNull(const QString& text)
{
    return text.isNull() ? QStringLiteral("") : text;
}

bool isText(const QVariant& value)
{
    return value.typeId() == QMetaType::QString;
}

// Entries are numbered from 1 in messages, as a person counts them.
QString entryNotDictionary(qsizetype index)
{
    return QStringLiteral("entry %1 of \"Work\" is not a dictionary").arg(index + 1);
}

QString entryValueNotText(qsizetype index, const QString& key)
{
    return QStringLiteral("entry %1 of \"Work\" has a value under \"%2\" that is not text").arg(index + 1).arg(key);
}

bool checkTopLevelKinds(const QVariantMap& dictionary, QString& reason)
{
    for (const QString* key : TextKeys) {
        const auto found = dictionary.constFind(*key);
        if (found != dictionary.cend() && !isText(*found)) {
            reason = QStringLiteral("the value of \"%1\" is not text").arg(*key);
            return false;
        }
    }
    const auto printInfo = dictionary.constFind(PrintInfoKey);
    if (printInfo != dictionary.cend() && printInfo->typeId() != QMetaType::QByteArray) {
        reason = QStringLiteral("the value of \"PrintInfo\" is not data");
        return false;
    }
    const auto work = dictionary.constFind(WorkKey);
    if (work != dictionary.cend() && work->typeId() != QMetaType::QVariantList) {
        reason = QStringLiteral("the value of \"Work\" is not an array");
        return false;
    }
    return true;
}

// Checks one element of "Work" and appends the entry made from it.
bool appendEntry(WorkList& work, qsizetype index, const QVariant& element, QString& reason)
{
    if (element.typeId() != QMetaType::QVariantMap) {
        reason = entryNotDictionary(index);
        return false;
    }
    const QVariantMap entry = element.toMap();
    for (auto value = entry.cbegin(); value != entry.cend(); ++value) {
        if (!isText(value.value())) {
            reason = entryValueNotText(index, value.key());
            return false;
        }
    }
    work.append(PieceWork::workWithPropertyListRepresentation(entry));
    return true;
}

// Every dictionary is released as soon as its entry exists, so a large file is not held in both
// forms at once.
std::optional<WorkList> workFromArray(QVariantList array, QString& reason)
{
    WorkList work;
    work.reserve(array.size());
    for (qsizetype index = 0; index < array.size(); ++index) {
        const QVariant element = std::exchange(array[index], QVariant());
        if (!appendEntry(work, index, element, reason))
            return std::nullopt;
    }
    return work;
}

// The file's dictionary without "Work", whose elements become entries (in work when the key holds
// an array). The XML form is read as a stream, each entry made as soon as it has been read.
std::optional<QVariantMap> readDocumentFile(const QByteArray& data, std::optional<WorkList>& work, QString& reason)
{
    if (PropertyList::detectFormat(data) == PropertyList::Format::Xml) {
        WorkList entries;
        bool refused = false;
        const auto sink = [&entries, &refused](qsizetype index, const QVariant& element, QString& why) {
            refused = !appendEntry(entries, index, element, why);
            return !refused;
        };
        std::optional<DocumentXmlReader::Contents> contents = DocumentXmlReader::read(data, WorkKey, sink, reason);
        if (contents) {
            if (contents->streamed)
                work = std::move(entries);
            return std::move(contents->dictionary);
        }
        if (refused)
            return std::nullopt;
        // XML that the streaming reader does not take may still be a property list the general
        // reader takes (another writer's quirks); its reason is kept when neither does.
    }
    const QString streamingReason = reason;
    std::optional<QVariantMap> dictionary = MyDocument::workDocumentDictionaryFromData(data, &reason);
    if (!dictionary) {
        if (!streamingReason.isEmpty())
            reason = streamingReason;
        return std::nullopt;
    }
    if (dictionary->value(WorkKey).typeId() == QMetaType::QVariantList) {
        // Taken out of the dictionary so that the array is not shared while it is emptied.
        QVariantList array = dictionary->take(WorkKey).toList();
        work = workFromArray(std::move(array), reason);
        if (!work)
            return std::nullopt;
    }
    return dictionary;
}

} // namespace

// Writing -------------------------------------------------------------------------------------

QVariantMap MyDocument::dictionaryWithoutWork() const
{
    QVariantMap dictionary;
    if (!_sortColumn.isEmpty())
        dictionary.insert(SortOnKey, _sortColumn);
    dictionary.insert(SortIsDescendingKey, yesNo(_sortIsDescending));
    if (_toolsHidden)
        dictionary.insert(HideToolsKey, YES);
    dictionary.insert(MoneySymbolKey, nonNull(_moneySymbol));
    dictionary.insert(ThousandsSeparatorKey, nonNull(_thousandsSeparator));
    dictionary.insert(DecimalSeparatorKey, nonNull(_decimalSeparator));
    dictionary.insert(MoneyComesAfterKey, yesNo(_symbolAfterNumber));
    dictionary.insert(RateKey, decimal(_rate));
    dictionary.insert(TaxRateKey, decimal(_taxRate));
    dictionary.insert(ShareCostKey, decimal(_shareCost));
    dictionary.insert(EquityKey, decimal(_equityPercent));
    dictionary.insert(TaxableKey, yesNo(_taxable));
    dictionary.insert(VersionKey, QStringLiteral("1"));
    dictionary.insert(AddressKey, nonNull(_clientAddress));
    dictionary.insert(ProjectNameKey, nonNull(_projectName));
    dictionary.insert(EmailKey, nonNull(_clientEmail));
    dictionary.insert(PhoneKey, nonNull(_clientPhone));
    dictionary.insert(ClientNameKey, nonNull(_clientName));
    dictionary.insert(PrintInfoKey, PageLayoutArchive::encode(pageLayout()));
    return dictionary;
}

QVariantMap MyDocument::workDocumentDictionary() const
{
    QVariantMap dictionary = dictionaryWithoutWork();
    QVariantList work;
    work.reserve(_workList.size());
    for (const auto& entry : _workList)
        work.append(entry->propertyListRepresentation());
    dictionary.insert(WorkKey, work);
    return dictionary;
}

// The XML form is written entry by entry, so a large document is never held as a whole tree.
// XML cannot hold every character (most control characters, say); rather than refuse to save,
// such a document is written in the ASCII form, which the reader takes as well.
QByteArray MyDocument::workDocumentData() const
{
    if (SettingsStore::shared().boolForKey(WriteXMLFormat)) {
        const WorkList work = _workList;
        const QByteArray xml = DocumentXmlWriter::write(dictionaryWithoutWork(), WorkKey, work.size(),
                                                        [&work](qsizetype index) {
                                                            return QVariant(work.at(index)->propertyListRepresentation());
                                                        });
        if (!xml.isEmpty())
            return xml;
        qWarning("The document \"%s\" cannot be written as XML; it is written in the ASCII form",
                 qPrintable(displayName()));
    }
    return PropertyList::writeAscii(workDocumentDictionary());
}

std::optional<QVariantMap> MyDocument::workDocumentDictionaryFromData(const QByteArray& data, QString* errorMessage)
{
    QString error;
    const QVariant value = PropertyList::read(data, &error);
    if (!value.isValid()) {
        if (errorMessage)
            *errorMessage = QStringLiteral("it is not a property list (%1)").arg(error);
        return std::nullopt;
    }
    if (value.typeId() != QMetaType::QVariantMap) {
        if (errorMessage)
            *errorMessage = QStringLiteral("its top level is not a dictionary");
        return std::nullopt;
    }
    return value.toMap();
}

QByteArray MyDocument::dataRepresentationOfType(const QString& type)
{
    return type == DocumentType ? workDocumentData() : QByteArray();
}

// Loading ------------------------------------------------------------------------------------

bool MyDocument::loadDataRepresentation(const QByteArray& data, const QString& type, QString* errorMessage)
{
    QString reason;
    const bool loaded = loadDocument(data, type, reason);
    if (!loaded && errorMessage)
        *errorMessage = reason;
    return loaded;
}

bool MyDocument::loadDocument(const QByteArray& data, const QString& type, QString& reason)
{
    if (type != DocumentType) {
        reason = QStringLiteral("documents of the type \"%1\" cannot be read").arg(type);
        return false;
    }
    std::optional<WorkList> work;
    const std::optional<QVariantMap> dictionary = readDocumentFile(data, work, reason);
    if (!dictionary || !checkTopLevelKinds(*dictionary, reason))
        return false;
    std::optional<QPageLayout> layout;
    if (dictionary->contains(PrintInfoKey)) {
        layout = PageLayoutArchive::decode(dictionary->value(PrintInfoKey).toByteArray());
        if (!layout)
            qWarning("The page setup of the document \"%s\" cannot be read; the default one is used",
                     qPrintable(displayName()));
    }
    applyDocumentDictionary(*dictionary, std::move(work), layout);
    return true;
}

// The fields are stored directly: loading is not an edit, records no undo step and leaves the
// refreshing of the windows to the revert operations. The order makes the entries inherit the
// rate just read, not the one before.
void MyDocument::applyDocumentDictionary(const QVariantMap& dictionary, std::optional<WorkList> work,
                                         const std::optional<QPageLayout>& layout)
{
    const auto apply = [&dictionary](const QString& key, auto store) {
        const auto found = dictionary.constFind(key);
        if (found != dictionary.cend())
            store(found->toString());
    };
    const auto text = [](QString& field) { return [&field](const QString& value) { field = value; }; };
    const auto flag = [](bool& field) { return [&field](const QString& value) { field = value == YES; }; };
    const auto number = [](float& field) {
        return [&field](const QString& value) { field = PieceWork::floatFromText(value); };
    };
    // The money setters ignore an empty text, and so does loading.
    const auto moneyText = [](QString& field) {
        return [&field](const QString& value) {
            if (!value.isEmpty())
                field = value;
        };
    };

    if (layout)
        _pageLayout = *layout;
    if (work)
        _workList = std::move(*work);
    apply(ClientNameKey, text(_clientName));
    apply(AddressKey, text(_clientAddress));
    apply(SortOnKey, text(_sortColumn));
    apply(SortIsDescendingKey, flag(_sortIsDescending));
    apply(HideToolsKey, flag(_toolsHidden));
    apply(ProjectNameKey, text(_projectName));
    apply(EmailKey, text(_clientEmail));
    apply(PhoneKey, text(_clientPhone));
    apply(EquityKey, number(_equityPercent));
    apply(ShareCostKey, number(_shareCost));
    apply(RateKey, number(_rate));
    for (const auto& entry : std::as_const(_workList))
        entry->setOwner(this);
    apply(TaxRateKey, number(_taxRate));
    apply(TaxableKey, flag(_taxable));
    apply(MoneyComesAfterKey, flag(_symbolAfterNumber));
    apply(MoneySymbolKey, moneyText(_moneySymbol));
    apply(ThousandsSeparatorKey, moneyText(_thousandsSeparator));
    apply(DecimalSeparatorKey, moneyText(_decimalSeparator));
    undoManager()->removeAllActions();
}

// Saving and reverting -----------------------------------------------------------------------

bool MyDocument::writeToFile(const QString& path, const QString& type, SaveOperation operation)
{
    for (ClientWindow* window : windowControllers())
        window->endEditing();
    if (!Document::writeToFile(path, type, operation))
        return false;
    // After a plain save the steps before it can no longer be undone; a copy or a save under
    // another name keeps them.
    if (operation == SaveOperation::Save) {
        undoManager()->removeAllActions();
        undoManager()->setClean();
    }
    return true;
}

bool MyDocument::revertToSavedFromFile(const QString& path, const QString& type)
{
    if (!Document::revertToSavedFromFile(path, type))
        return false;
    updateTotalsAndReloadWindows();
    return true;
}

bool MyDocument::revertDocumentToSaved()
{
    if (!Document::revertDocumentToSaved())
        return false;
    for (ClientWindow* window : windowControllers())
        window->reloadInfo();
    updateFormattersOfWindows();
    return true;
}

// Clone and import ---------------------------------------------------------------------------

// The clone takes this document's settings through the ASCII form whatever "WriteXMLFormat"
// says. Its money format differs from a new document's, so its windows rebuild their formatters.
MyDocument* MyDocument::cloneDocumentAction()
{
    QVariantMap dictionary = workDocumentDictionary();
    dictionary.remove(WorkKey);
    auto* clone = qobject_cast<MyDocument*>(
        DocumentController::shared().openUntitledDocumentOfType(DocumentType, true));
    if (!clone)
        return nullptr;
    QString reason;
    if (!clone->loadDataRepresentation(PropertyList::writeAscii(dictionary), DocumentType, &reason)) {
        qWarning("The document \"%s\" could not be cloned: %s", qPrintable(displayName()), qPrintable(reason));
        DocumentController::shared().closeDocument(clone);
        return nullptr;
    }
    for (ClientWindow* window : clone->windowControllers())
        window->reloadInfo();
    clone->updateFormattersOfWindows();
    return clone;
}

// Imported entries are copies: an entry has one owner, and the other document (open or opened
// here) keeps its own. This document's own file is never imported into itself.
int MyDocument::importRecordsInFiles(const QStringList& paths)
{
    WorkList combined = _workList;
    for (const QString& path : paths) {
        if (isOwnFile(path))
            continue;
        Document* opened = DocumentController::shared().openDocumentWithContentsOfFile(path, false);
        auto* other = qobject_cast<MyDocument*>(opened);
        if (!other || other == this) {
            if (!opened)
                qWarning("The records of \"%s\" cannot be imported: %s", qPrintable(path),
                         qPrintable(DocumentController::shared().lastError()));
            continue;
        }
        for (const auto& entry : other->_workList)
            combined.append(entry->copy());
    }
    setWorkList(combined);
    return static_cast<int>(_workList.size());
}

bool MyDocument::isOwnFile(const QString& path) const
{
    if (fileName().isEmpty())
        return false;
    const QFileInfo file(path);
    if (file.absoluteFilePath() == fileName())
        return true;
    const QString canonical = file.canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(fileName()).canonicalFilePath();
}

// Page setup ---------------------------------------------------------------------------------

QPageLayout MyDocument::pageLayout() const
{
    return _pageLayout;
}

void MyDocument::setPageLayout(const QPageLayout& layout)
{
    if (layout.isValid())
        _pageLayout = layout;
}
