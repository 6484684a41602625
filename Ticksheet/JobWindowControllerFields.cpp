// The client window's fields: client details written back when an edit ends, totals written
// through the document's money format, the rules that hide cash, equity and tax fields, and the
// collapsible tools area.

#include "JobWindowController.h"

#include "Constants.h"
#include "Localized.h"
#include "MyDocument.h"
#include "NotificationCenter.h"
#include "VelmorTableView.h"
#include "WorkTableModel.h"

#include "ui_Document.h"

#include <QAction>
#include <QEvent>
#include <QLayout>
#include <QMainWindow>

namespace {

const QString CommaSeparator = QStringLiteral(",");

} // namespace

void JobWindowController::setUpFields()
{
    for (QLineEdit* field : editableFields()) {
        connect(field, &QLineEdit::editingFinished, this, [this, field] { controlTextDidEndEditing(field); });
    }
    ui->addressText->installEventFilter(this);
    // The totals read as text on the window, not as boxes to type in.
    for (QLineEdit* total : {ui->totalField, ui->taxField, ui->grandTotalField, ui->cashPaidField, ui->cashOwedField,
                             ui->cashEarnedField, ui->equityEarnedField, ui->sharesEarnedField}) {
        QPalette palette = total->palette();
        palette.setColor(QPalette::Base, Qt::transparent);
        total->setPalette(palette);
    }
    // The tax rate's own formatter; only its decimal separator follows the document.
    const QString taxRatePattern = ui->taxRateField->property("formatterPattern").toString();
    _formatters.insert_or_assign(ui->taxRateField, MoneyFormatter(taxRatePattern, QStringLiteral("."), QString()));
}

void JobWindowController::setUpNotifications()
{
    NotificationCenter& center = NotificationCenter::shared();
    center.addObserver(MoneyFormatChangedNotification, this, [this](const QVariant&) { updateFormatters(); });
    center.addObserver(TaxChangedNotification, this, [this](const QVariant&) { updateTotals(); });
}

QList<QLineEdit*> JobWindowController::editableFields() const
{
    return {ui->clientField, ui->projectField, ui->telephoneField, ui->emailField,
            ui->rateField,   ui->taxRateField, ui->equityField};
}

// The fields that carry a money formatter (true) or a number formatter (false) while the decimal
// separator is not a comma.
QList<std::pair<QLineEdit*, bool>> JobWindowController::formattedFields() const
{
    return {{ui->rateField, true},       {ui->cashEarnedField, true},   {ui->cashOwedField, true},
            {ui->cashPaidField, true},   {ui->equityEarnedField, true}, {ui->grandTotalField, true},
            {ui->taxField, true},        {ui->totalField, true},        {ui->sharesEarnedField, false}};
}

// Refreshing ---------------------------------------------------------------------------------

void JobWindowController::reloadInfo()
{
    const MyDocument* client = clientDocument();
    if (!client)
        return;
    _model->reload();
    setValue(client->rate(), ui->rateField, true);
    setValue(client->taxRate(), ui->taxRateField, false);
    writeField(ui->clientField, client->clientName());
    writeField(ui->projectField, client->projectName());
    writeField(ui->telephoneField, client->phone());
    writeField(ui->emailField, client->email());
    if (ui->addressText->toPlainText() != client->address())
        ui->addressText->setPlainText(client->address());
    ui->addressText->document()->setModified(false);
    writeField(ui->equityField, client->toComma(QString::number(client->equityPercent())));
    ui->taxableSwitch->setChecked(client->taxable());
    updateTotals();
}

// Rewriting a field that is being typed in would move its cursor; unchanged text is left alone.
void JobWindowController::writeField(QLineEdit* field, const QString& text)
{
    if (field->text() != text)
        field->setText(text);
    field->setModified(false);
}

void JobWindowController::updateTotals()
{
    const MyDocument* client = clientDocument();
    if (!client)
        return;
    setValue(client->total(true), ui->totalField, true);
    setValue(client->taxableAmount(true), ui->taxField, true);
    setValue(client->grandTotal(true), ui->grandTotalField, true);
    setValue(client->amountPaid(), ui->cashPaidField, true);
    setValue(client->cashOwed(true), ui->cashOwedField, true);
    setValue(client->cashEarned(true), ui->cashEarnedField, true);
    setValue(client->equityEarned(true), ui->equityEarnedField, true);
    setValue(client->sharesEarned(true), ui->sharesEarnedField, false);
    hideAndShowFields();
    validatePauseButton();
}

void JobWindowController::updateTotalsAndReload()
{
    updateTotals();
    _model->reload();
}

void JobWindowController::setValue(float value, QLineEdit* field, bool money)
{
    const MyDocument* client = clientDocument();
    if (!client)
        return;
    QString text;
    bool red = false;
    if (client->decimalSeparator() == CommaSeparator) {
        text = client->formattedValue(value, money);
    } else if (const auto formatter = _formatters.find(field); formatter != _formatters.end()) {
        text = formatter->second.format(value);
        red = formatter->second.isRed(value);
    } else {
        text = QString::number(value);
    }
    if (field->text() != text)
        field->setText(text);
    field->setModified(false);
    QPalette palette = field->palette();
    palette.setColor(QPalette::Text, red ? QColor(Qt::red) : window()->palette().color(QPalette::Text));
    field->setPalette(palette);
}

// Visibility ---------------------------------------------------------------------------------

void JobWindowController::hideAndShowFields()
{
    const MyDocument* client = clientDocument();
    if (!client)
        return;
    const float equity = client->equityPercent();
    const QList<QWidget*> cashViews = {ui->cashPaidLabel,   ui->cashPaidField, ui->cashEarnedField,
                                       ui->cashEarnedLabel, ui->cashOwedField, ui->cashOwedLabel};
    const QList<QWidget*> equityViews = {ui->equityEarnedLabel, ui->equityEarnedField, ui->sharesEarnedLabel,
                                         ui->sharesEarnedField};
    const QList<QWidget*> taxViews = {ui->taxLabel, ui->taxField, ui->totalLabel, ui->totalField};
    for (QWidget* view : cashViews)
        equity >= 100 ? removeView(view) : restoreView(view);
    for (QWidget* view : equityViews)
        equity == 0 ? removeView(view) : restoreView(view);
    for (QWidget* view : taxViews)
        client->taxable() ? restoreView(view) : removeView(view);
}

// A removed view stays in its holder's layout cell, hidden, so it comes back where it was.
void JobWindowController::removeView(QWidget* view)
{
    if (isInWindow(view))
        view->hide();
}

void JobWindowController::restoreView(QWidget* view)
{
    if (!isInWindow(view))
        view->show();
}

bool JobWindowController::isInWindow(const QWidget* view) const
{
    return view->isVisibleTo(view->parentWidget());
}

// Formatters ---------------------------------------------------------------------------------

void JobWindowController::updateFormatters()
{
    const MyDocument* client = clientDocument();
    if (!client)
        return;
    const QString pattern = client->moneyFormat();
    const QString thousands = client->thousandsSeparator();
    const QString decimal = client->decimalSeparator();
    addOrRemoveFormatters(decimal);
    const auto taxRate = _formatters.find(ui->taxRateField);
    if (taxRate != _formatters.end())
        updateFormatter(ui->taxRateField, taxRate->second.pattern(), taxRate->second.thousandsSeparator(), decimal);
    for (const auto& [field, money] : formattedFields())
        updateFormatter(field, money ? pattern : client->numberFormatter().pattern(), thousands, decimal);
    reloadInfo();
    window()->update();
}

void JobWindowController::addOrRemoveFormatters(const QString& decimalSeparator)
{
    for (const auto& [field, money] : formattedFields()) {
        if (decimalSeparator == CommaSeparator)
            _formatters.erase(field);
        else
            addFormatterIfNecessary(field, money);
    }
}

void JobWindowController::addFormatterIfNecessary(QLineEdit* field, bool money)
{
    const MyDocument* client = clientDocument();
    if (!client || _formatters.count(field))
        return;
    _formatters.insert_or_assign(field, money ? client->moneyFormatter() : client->numberFormatter());
}

// A field without a formatter keeps none.
void JobWindowController::updateFormatter(QLineEdit* field, const QString& pattern, const QString& thousands,
                                          const QString& decimal)
{
    if (_formatters.count(field))
        _formatters.insert_or_assign(field, MoneyFormatter(pattern, decimal, thousands));
}

bool JobWindowController::hasFormatter(const QLineEdit* field) const
{
    return _formatters.count(field) > 0;
}

// Edits --------------------------------------------------------------------------------------

// Text that reads as no number leaves the document as it was; the field shows its value again.
float JobWindowController::numberInField(QLineEdit* field, bool money, float current) const
{
    const MyDocument* client = clientDocument();
    const auto own = _formatters.find(field);
    const MoneyFormatter formatter = own != _formatters.end() ? own->second
                                     : money                  ? client->moneyFormatter()
                                                              : client->numberFormatter();
    return static_cast<float>(formatter.parse(field->text().trimmed()).value_or(current));
}

void JobWindowController::controlTextDidEndEditing(QLineEdit* field)
{
    MyDocument* client = clientDocument();
    if (!client || !field->isModified())
        return;
    field->setModified(false);
    if (field == ui->clientField)
        client->setClientName(field->text());
    else if (field == ui->projectField)
        client->setProjectName(field->text());
    else if (field == ui->telephoneField)
        client->setPhone(field->text());
    else if (field == ui->emailField)
        client->setEmail(field->text());
    else if (field == ui->rateField)
        client->setRate(numberInField(field, true, client->rate()));
    else if (field == ui->taxRateField)
        changeTaxRateAction(numberInField(field, false, client->taxRate()));
    else if (field == ui->equityField)
        client->setEquityPercent(numberInField(field, false, client->equityPercent()));
    else
        return;
    // An unchanged value sends no refresh; the field shows the document's value again either way.
    reloadInfo();
}

void JobWindowController::textDidEndEditing(QObject* textView)
{
    MyDocument* client = clientDocument();
    if (!client || textView != ui->addressText || !ui->addressText->document()->isModified())
        return;
    ui->addressText->document()->setModified(false);
    client->setAddress(ui->addressText->toPlainText());
}

bool JobWindowController::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ui->addressText && event->type() == QEvent::FocusOut)
        textDidEndEditing(watched);
    return DocumentWindowController::eventFilter(watched, event);
}

// The field or cell being typed in reaches the document; a field keeps the focus and its cursor.
void JobWindowController::endEditing()
{
    endTableEditing();
    endFieldEditing();
}

void JobWindowController::endFieldEditing()
{
    QWidget* focus = window()->focusWidget();
    if (auto* field = qobject_cast<QLineEdit*>(focus); field && editableFields().contains(field))
        controlTextDidEndEditing(field);
    else if (focus == ui->addressText)
        textDidEndEditing(focus);
}

// Tools area ---------------------------------------------------------------------------------

bool JobWindowController::toolsHidden() const
{
    return !ui->toolsBox->isVisibleTo(window());
}

// The tools box and the spacing above the bottom box.
int JobWindowController::toolsHeight() const
{
    return ui->toolsBox->sizeHint().height() + window()->centralWidget()->layout()->spacing();
}

void JobWindowController::toggleToolbarShown()
{
    QMainWindow* frame = window();
    const bool wasHidden = toolsHidden();
    const int height = toolsHeight();
    // The top edge stays; the bottom edge moves by the height of the tools.
    const QSize size(frame->width(), frame->height() + (wasHidden ? height : -height));
    ui->toolsBox->setVisible(wasHidden);
    frame->centralWidget()->layout()->activate();
    frame->resize(size);
    if (MyDocument* client = clientDocument())
        client->setToolsHidden(!wasHidden);
    updateToolsButton();
}

void JobWindowController::updateToolsButton()
{
    const QString title = toolsHidden() ? localized("Show Details") : localized("Hide Details");
    ui->toolsButton->setText(title);
    if (QAction* toggle = action(QStringLiteral("toggleToolbarShown")))
        toggle->setText(toolsHidden() ? localized("Show Client &Details") : localized("Hide Client &Details"));
}
