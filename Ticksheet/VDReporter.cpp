#include "VDReporter.h"

#include "Alert.h"
#include "AppDelegate.h"
#include "AppKernel/MainApp.h"
#include "FileWriter.h"
#include "Localized.h"
#include "MyDocument.h"
#include "PageLayoutArchive.h"
#include "Preferences.h"
#include "StyledText.h"
#include "WindowFrameAutosave.h"
#include "Workspace.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QMimeData>
#include <QPrintDialog>
#include <QPrinter>
#include <QTemporaryFile>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolBar>
#include <QtDebug>

namespace {

const QString RtfType = QStringLiteral("text/rtf");
const QChar Attachment = QChar::ObjectReplacementCharacter;

// Every print from a viewer: left 36, top 36, right 0 and bottom 18 points.
const QMarginsF PrintMargins(36, 36, 0, 18);

bool isLineBreak(QChar c)
{
    return c == u'\n' || c == u'\r' || c == QChar::ParagraphSeparator;
}

// A rich text that begins with the logo loses it and the line break after it; any other text
// stays whole, so nothing but the logo line is ever dropped.
StyledText withoutLeadingLogo(const StyledText& styled)
{
    const QString& characters = styled.string();
    if (!characters.startsWith(Attachment))
        return styled;
    const qsizetype logoLine = characters.size() > 1 && isLineBreak(characters.at(1)) ? 2 : 1;
    return styled.mid(logoLine);
}

} // namespace

const QString VDReporter::LimnerName = QStringLiteral("Limner");

VDReporter::VDReporter(QWidget* parent)
    : QMainWindow(parent)
    , text(new QTextEdit(this))
{
    setCentralWidget(text);
    text->setObjectName(QStringLiteral("text"));
    text->setUndoRedoEnabled(true);
    QToolBar* tools = addToolBar(localized("Invoice"));
    tools->setObjectName(QStringLiteral("reporterTools"));
    tools->setMovable(false);
    tools->setToolButtonStyle(Qt::ToolButtonTextOnly);
    addToolAction(tools, localized("Print\u2026"), "printInvoiceAction", &VDReporter::printInvoiceAction);
    addToolAction(tools, localized("Save\u2026"), "saveInvoiceAction", &VDReporter::saveInvoiceAction);
    addToolAction(tools, localized("Email to Client"), "emailInvoiceAction", &VDReporter::emailInvoiceAction);
    addToolAction(tools, localized("Open in Limner"), "toCreateInvoiceAction", &VDReporter::toCreateInvoiceAction);
    QAction* closeWindow = new QAction(localized("Close"), this);
    closeWindow->setShortcut(QKeySequence::Close);
    connect(closeWindow, &QAction::triggered, this, &QWidget::close);
    QMainWindow::addAction(closeWindow);
    resize(640, 720);
}

VDReporter::~VDReporter() = default;

void VDReporter::addToolAction(QToolBar* tools, const QString& title, const char* name, void (VDReporter::*slot)())
{
    QAction* action = tools->addAction(title);
    action->setObjectName(QLatin1String(name));
    connect(action, &QAction::triggered, this, slot);
}

// The frame is kept under the viewer's own class name, known only once the subclass is built.
void VDReporter::showWindow()
{
    if (!_frameRestored) {
        _frameRestored = true;
        WindowFrameAutosave::restore(this, QLatin1String(metaObject()->className()));
    }
    show();
    raise();
    activateWindow();
    text->setUndoRedoEnabled(true);
    applyReportFont();
}

void VDReporter::applyReportFont()
{
    QTextCursor all(text->document());
    all.select(QTextCursor::Document);
    QTextCharFormat format;
    format.setFont(Preferences::reportFont());
    all.mergeCharFormat(format);
}

void VDReporter::closeEvent(QCloseEvent* event)
{
    WindowFrameAutosave::save(this, QLatin1String(metaObject()->className()));
    QMainWindow::closeEvent(event);
}

void VDReporter::loadText(const StyledText& styled, bool rich)
{
    text->setAcceptRichText(rich);
    if (!rich) {
        text->setPlainText(styled.string());
        return;
    }
    // The view deletes its previous document, which it parented.
    std::unique_ptr<QTextDocument> shown = styled.toTextDocument();
    shown->setParent(text);
    text->setDocument(shown.release());
}

MyDocument* VDReporter::firstDocument() const
{
    if (document)
        return document;
    const QList<MyDocument*> open = shownDocuments();
    return open.isEmpty() ? nullptr : open.first();
}

QList<MyDocument*> VDReporter::shownDocuments() const
{
    QList<MyDocument*> open;
    for (const QPointer<MyDocument>& shown : documents) {
        if (shown)
            open << shown.data();
    }
    return open;
}

QTextEdit* VDReporter::textView() const
{
    return text;
}

bool VDReporter::holdsRichText() const
{
    return text->acceptRichText();
}

StyledText VDReporter::shownText() const
{
    if (!holdsRichText())
        return StyledText(text->toPlainText());
    return StyledText::fromTextDocument(*text->document());
}

// A document that has not taken a number yet would otherwise be named with a dangling "# ".
QString VDReporter::invoiceName() const
{
    const QString label = Preferences::invoiceString();
    const MyDocument* client = firstDocument();
    if (!Preferences::wantsInvoiceNumber() || !client || client->invoiceNumber().isEmpty())
        return label;
    return QStringLiteral("%1 # %2").arg(label, client->invoiceNumber());
}

// Printing ------------------------------------------------------------------------------------

void VDReporter::printInvoiceAction()
{
    MyDocument* source = firstDocument();
    QPageLayout layout = source ? source->pageLayout() : PageLayoutArchive::defaultLayout();
    layout.setUnits(QPageLayout::Point);
    layout.setMinimumMargins(QMarginsF());
    layout.setMargins(PrintMargins);
    if (source)
        source->setPageLayout(layout);

    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(layout);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    text->document()->print(&printer);
}

void VDReporter::printDocument()
{
    printInvoiceAction();
}

// Saving --------------------------------------------------------------------------------------

QList<VDReporter::SaveFormat> VDReporter::saveFormats() const
{
    if (!holdsRichText())
        return {SaveFormat::PlainText, SaveFormat::Pdf};
    if (shownText().containsAttachment())
        return {SaveFormat::Rtfd, SaveFormat::Pdf};
    return {SaveFormat::Rtf, SaveFormat::Pdf};
}

QString VDReporter::nameFilter(SaveFormat format)
{
    switch (format) {
    case SaveFormat::Rtfd:
        return localized("Rich text with pictures (*.rtfd)");
    case SaveFormat::Rtf:
        return localized("Rich text (*.rtf)");
    case SaveFormat::PlainText:
        return localized("Plain text (*)");
    case SaveFormat::Pdf:
        break;
    }
    return localized("PDF (*.pdf)");
}

QString VDReporter::pathWithExtension(const QString& path, SaveFormat format)
{
    QString extension;
    switch (format) {
    case SaveFormat::Rtfd:
        extension = QStringLiteral(".rtfd");
        break;
    case SaveFormat::Rtf:
        extension = QStringLiteral(".rtf");
        break;
    case SaveFormat::Pdf:
        extension = QStringLiteral(".pdf");
        break;
    case SaveFormat::PlainText:
        return path;
    }
    return path.endsWith(extension, Qt::CaseInsensitive) ? path : path + extension;
}

bool VDReporter::writeText(const QString& path, SaveFormat format, QString* errorString) const
{
    switch (format) {
    case SaveFormat::Rtfd:
        return shownText().writeRtfd(path, errorString);
    case SaveFormat::Rtf:
        return shownText().writeRtf(path, errorString);
    case SaveFormat::Pdf:
        return shownText().writePdf(path, errorString);
    case SaveFormat::PlainText:
        break;
    }
    return FileWriter::writeToFile(text->toPlainText(), path);
}

void VDReporter::saveInvoiceAction()
{
    const QList<SaveFormat> formats = saveFormats();
    QStringList filters;
    for (const SaveFormat format : formats)
        filters << nameFilter(format);

    QFileDialog dialog(this, localized("Save"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(filters);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;

    const SaveFormat format = formats.value(filters.indexOf(dialog.selectedNameFilter()), formats.first());
    const QString path = pathWithExtension(dialog.selectedFiles().constFirst(), format);
    QString reason;
    if (!writeText(path, format, &reason)) {
        Alert::run(localized("Cannot Save"),
                   localized("The file \u201c%1\u201d could not be written.").arg(QDir::toNativeSeparators(path))
                       + (reason.isEmpty() ? QString() : u' ' + reason),
                   localized("OK"));
    }
}

// The clipboard and Limner --------------------------------------------------------------------

std::unique_ptr<QMimeData> VDReporter::getPboard() const
{
    const StyledText shown = shownText();
    auto board = std::make_unique<QMimeData>();
    board->setData(RtfType, (holdsRichText() ? withoutLeadingLogo(shown) : shown).toRtf());
    board->setText(shown.string());
    return board;
}

// Limner is given the RTF of the clipboard as a file to open: the desktop has no services
// through which one program hands a clipboard to another. The file is left for Limner to read.
QString VDReporter::writeHandOffFile() const
{
    QTemporaryFile file(QDir::temp().filePath(QStringLiteral("Tallywick-Limner-XXXXXX.rtf")));
    file.setAutoRemove(false);
    if (!file.open())
        return {};
    file.write(getPboard()->data(RtfType));
    file.close();
    return file.fileName();
}

void VDReporter::toCreateInvoiceAction()
{
    if (Workspace::programForApplication(LimnerName).isEmpty()) {
        showNoLimnerAlert();
        return;
    }
    const QString handOff = writeHandOffFile();
    if (!handOff.isEmpty() && Workspace::openFile(handOff, LimnerName))
        return;
    QFile::remove(handOff);
    showNoLimnerAlert();
}

void VDReporter::showNoLimnerAlert()
{
    Alert::run(localized("No Limner?"),
               localized("You must have Limner installed for this function to work.") + u' '
                   + localized("Please visit %1 to download a copy of Limner.").arg(AppDelegate::homePage()),
               localized("OK"));
}

// Mail ----------------------------------------------------------------------------------------

void VDReporter::emailInvoiceAction()
{
    MyDocument* client = firstDocument();
    const QString address = client ? client->email() : QString();
    if (address.isEmpty()) {
        Alert::run(localized("No Client Email"),
                   localized("Please specify your client's email in the Ticksheet before emailing invoice. "
                             "Alternatively, you can select the invoice, and choose Services->Mail Viewer/Mail "
                             "Selection."),
                   localized("OK"));
        return;
    }
    AppDelegate* delegate = MainApp::instance() ? MainApp::instance()->delegate() : nullptr;
    if (!delegate) {
        qWarning("Cannot mail because: the application has no delegate");
        return;
    }
    delegate->sendRichMail(shownText(), address, invoiceName(), isRich, client->clientName());
}
