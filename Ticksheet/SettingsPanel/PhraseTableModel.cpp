#include "PhraseTableModel.h"

#include "Localized.h"
#include "Preferences.h"
#include "SettingsStore.h"

#include <iterator>

namespace {

// The label operations in row order; they, not a plain lookup, give each row its current text,
// so that the pay-rate repair behind rateString runs here too.
using LabelText = QString (*)();
const LabelText currentLabels[] = {
    &Preferences::invoiceString,     &Preferences::reString,          &Preferences::dashString,
    &Preferences::throughString,     &Preferences::header2String,     &Preferences::header1String,
    &Preferences::header3String,     &Preferences::dueNowString,      &Preferences::remitString,
    &Preferences::creditString,      &Preferences::totalHoursString,  &Preferences::earnedString,
    &Preferences::expensesString,    &Preferences::subtotalString,    &Preferences::equityString,
    &Preferences::sharesString,      &Preferences::cashString,        &Preferences::taxString,
    &Preferences::totalString,       &Preferences::pdString,          &Preferences::rawHoursString,
    &Preferences::grandTotalString,  &Preferences::stillUnpaidString, &Preferences::yesString,
    &Preferences::noString,          &Preferences::clientString,      &Preferences::projectString,
    &Preferences::dateString,        &Preferences::startString,       &Preferences::endString,
    &Preferences::timeString,        &Preferences::rateString,        &Preferences::amountString,
    &Preferences::descriptionString, &Preferences::paidString,
};

// A label the user cleared prints as a blank; an empty value would bring the default back.
const QString ClearedLabel = QStringLiteral(" ");

} // namespace

PhraseTableModel::PhraseTableModel(QObject* parent)
    : QAbstractTableModel(parent)
    , _defaultTexts(Preferences::defaultStrings())
{
    Q_ASSERT(_defaultTexts.size() == int(std::size(currentLabels)));
    reload();
}

QString PhraseTableModel::visibleText(const QString& text)
{
    QString visible;
    visible.reserve(text.size());
    for (const QChar c : text) {
        if (c == QLatin1Char('\\'))
            visible += QStringLiteral("\\\\");
        else if (c == QLatin1Char('\t'))
            visible += QStringLiteral("\\t");
        else if (c == QLatin1Char('\n'))
            visible += QStringLiteral("\\n");
        else
            visible += c;
    }
    return visible;
}

QString PhraseTableModel::storedText(const QString& visible)
{
    QString text;
    text.reserve(visible.size());
    for (qsizetype i = 0; i < visible.size(); ++i) {
        const QChar c = visible.at(i);
        const QChar next = i + 1 < visible.size() ? visible.at(i + 1) : QChar();
        if (c != QLatin1Char('\\') || next.isNull()) {
            text += c;
            continue;
        }
        if (next == QLatin1Char('t'))
            text += QLatin1Char('\t');
        else if (next == QLatin1Char('n'))
            text += QLatin1Char('\n');
        else if (next == QLatin1Char('\\'))
            text += QLatin1Char('\\');
        else {
            text += c; // a lone backslash stays as typed
            continue;
        }
        ++i;
    }
    return text;
}

void PhraseTableModel::reload()
{
    beginResetModel();
    _currentTexts.clear();
    for (LabelText current : currentLabels)
        _currentTexts << current();
    endResetModel();
}

int PhraseTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(_defaultTexts.size());
}

int PhraseTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant PhraseTableModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    if (role != Qt::DisplayRole && role != Qt::EditRole && role != Qt::ToolTipRole)
        return {};
    const QStringList& texts = index.column() == DefaultPhraseColumn ? _defaultTexts : _currentTexts;
    return visibleText(texts.at(index.row()));
}

bool PhraseTableModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || index.column() != DesiredPhraseColumn
        || !checkIndex(index, CheckIndexOption::IndexIsValid))
        return false;
    QString text = storedText(value.toString());
    if (text.isEmpty())
        text = ClearedLabel;
    SettingsStore& settings = SettingsStore::shared();
    settings.setValue(_defaultTexts.at(index.row()), text);
    settings.flush();
    _currentTexts[index.row()] = text;
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole, Qt::ToolTipRole});
    return true;
}

Qt::ItemFlags PhraseTableModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    const Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    return index.column() == DesiredPhraseColumn ? flags | Qt::ItemIsEditable : flags;
}

QVariant PhraseTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    return section == DefaultPhraseColumn ? localized("Default") : localized("Printed as");
}
