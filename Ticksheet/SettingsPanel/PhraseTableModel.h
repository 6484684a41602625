#pragma once

#include <QAbstractTableModel>
#include <QStringList>

// The 35 report labels side by side: the default text ("DEFAULT_PHRASE") and the text in use
// ("DESIRED_PHRASE"), which is the only editable column. An edit is stored under the label's
// default text, and a cleared label is stored as " " so that it prints blank instead of falling
// back to its default.
//
// Labels hold tabs and line breaks, which a one-line cell can neither show nor take; the cells
// show them as \t and \n (a backslash as \\) and read them back the same way.
class PhraseTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    // The columns "DEFAULT_PHRASE" and "DESIRED_PHRASE".
    enum Column { DefaultPhraseColumn, DesiredPhraseColumn, ColumnCount };

    explicit PhraseTableModel(QObject* parent = nullptr);

    static QString visibleText(const QString& text);
    static QString storedText(const QString& visible);

    // Rereads every current text from the settings.
    void reload();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QStringList _defaultTexts;
    QStringList _currentTexts;
};
