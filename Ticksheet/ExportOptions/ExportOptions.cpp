#include "ExportOptions.h"

#include "Localized.h"
#include "SettingsStore.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QVBoxLayout>

namespace {

struct OptionBox {
    const char* name; // the option query, also the box's object name
    const char* key;
    const char* title;
};

const std::array<OptionBox, ExportOptions::OptionCount> Options {{
    {"saveAmount", "EA_amount", "Amount"},
    {"saveDate", "EA_date", "Date"},
    {"saveDescription", "EA_desc", "Description"},
    {"saveEnd", "EA_end", "End Time"},
    {"saveHeaders", "EA_headers", "Column headings"},
    {"saveName", "EA_name", "Client"},
    {"openAfterSave", "EA_openOnSave", "Open the file after saving"},
    {"savePaid", "EA_paid", "Paid"},
    {"saveProject", "EA_project", "Project"},
    {"saveRate", "EA_rate", "Rate"},
    {"saveStart", "EA_start", "Start Time"},
    {"saveTime", "EA_time", "Time"},
    {"exportAllOpen", "EA_exportall", "Export all open documents"},
}};

// The column boxes in the order the columns are written.
constexpr std::array ColumnOrder {ExportOptions::Name,  ExportOptions::Project, ExportOptions::Date,
                                  ExportOptions::Start, ExportOptions::End,     ExportOptions::Time,
                                  ExportOptions::Rate,  ExportOptions::Amount,  ExportOptions::Description,
                                  ExportOptions::Paid};
constexpr std::array OtherOrder {ExportOptions::Headers, ExportOptions::OpenOnSave, ExportOptions::ExportAll};
constexpr int ColumnRows = 5;

const QString Unticked = QStringLiteral("YES");
const QString Ticked = QStringLiteral("NO");

// Only the exact text "YES" (or a real true, which the store reads as the same) unticks a box.
bool isStoredUnticked(const QVariant& value)
{
    if (value.typeId() == QMetaType::Bool)
        return value.toBool();
    return value.typeId() == QMetaType::QString && value.toString() == Unticked;
}

} // namespace

ExportOptions::ExportOptions(QObject* parent)
    : QObject(parent)
{
    buildView();
    restoreDefaults();
}

ExportOptions::~ExportOptions()
{
    if (_view && !_view->parent())
        delete _view;
}

void ExportOptions::buildView()
{
    _view = new QWidget;
    _view->setObjectName(QStringLiteral("ExportOptions"));

    auto* columns = new QGroupBox(localized("Columns"), _view);
    auto* grid = new QGridLayout(columns);
    for (int i = 0; i < static_cast<int>(ColumnOrder.size()); ++i)
        grid->addWidget(makeBox(ColumnOrder[i]), i % ColumnRows, i / ColumnRows);

    auto* layout = new QVBoxLayout(_view);
    layout->addWidget(columns);
    for (Option option : OtherOrder)
        layout->addWidget(makeBox(option));
}

QCheckBox* ExportOptions::makeBox(Option option)
{
    auto* box = new QCheckBox(localized(Options[option].title));
    box->setObjectName(QLatin1String(Options[option].name));
    _boxes[option] = box;
    return box;
}

QWidget* ExportOptions::accessoryView()
{
    return _view;
}

void ExportOptions::restoreDefaults()
{
    const SettingsStore& settings = SettingsStore::shared();
    for (int option = 0; option < OptionCount; ++option) {
        if (_boxes[option])
            _boxes[option]->setChecked(!isStoredUnticked(settings.value(QLatin1String(Options[option].key))));
    }
}

void ExportOptions::saveDefaults()
{
    SettingsStore& settings = SettingsStore::shared();
    for (int option = 0; option < OptionCount; ++option) {
        if (_boxes[option])
            settings.setValue(QLatin1String(Options[option].key), _boxes[option]->isChecked() ? Ticked : Unticked);
    }
}

bool ExportOptions::isTicked(Option option) const
{
    return _boxes[option] && _boxes[option]->isChecked();
}

bool ExportOptions::saveAmount() const { return isTicked(Amount); }
bool ExportOptions::saveDate() const { return isTicked(Date); }
bool ExportOptions::saveDescription() const { return isTicked(Description); }
bool ExportOptions::saveEnd() const { return isTicked(End); }
bool ExportOptions::saveName() const { return isTicked(Name); }
bool ExportOptions::savePaid() const { return isTicked(Paid); }
bool ExportOptions::saveProject() const { return isTicked(Project); }
bool ExportOptions::saveRate() const { return isTicked(Rate); }
bool ExportOptions::saveStart() const { return isTicked(Start); }
bool ExportOptions::saveTime() const { return isTicked(Time); }
bool ExportOptions::saveHeaders() const { return isTicked(Headers); }
bool ExportOptions::openAfterSave() const { return isTicked(OpenOnSave); }
bool ExportOptions::exportAllOpen() const { return isTicked(ExportAll); }
