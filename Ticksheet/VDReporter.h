#pragma once

#include "TicksheetExport.h"

#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QString>

#include <memory>

class MyDocument;
class QMimeData;
class QTextEdit;
class QToolBar;
class StyledText;

// The window every invoice and report is shown in: an editable text view in the report font and
// the actions on what it shows (print, save, e-mail to the client, hand over to Limner). The
// viewers of the Invoicer and Reporter plug-ins fill it.
class TICKSHEET_EXPORT VDReporter : public QMainWindow
{
    Q_OBJECT

public:
    enum class SaveFormat { Rtfd, Rtf, PlainText, Pdf };

    explicit VDReporter(QWidget* parent = nullptr);
    ~VDReporter() override;

    // Shows the window with undo on and the whole text in the report font, every time.
    void showWindow();

    // The document a one-document viewer shows, else the first of the several it shows.
    MyDocument* firstDocument() const;
    QList<MyDocument*> shownDocuments() const;
    QTextEdit* textView() const;
    // Whether the view holds styled text rather than plain characters.
    bool holdsRichText() const;
    // The text as shown, with the user's edits.
    StyledText shownText() const;

    // The invoice label, with the document's number while numbering is on and it has one.
    QString invoiceName() const;

    // What the text can be saved as, the preferred format first.
    QList<SaveFormat> saveFormats() const;
    static QString nameFilter(SaveFormat format);
    // The path with the format's extension added when it lacks it; plain text forces none.
    static QString pathWithExtension(const QString& path, SaveFormat format);
    bool writeText(const QString& path, SaveFormat format, QString* errorString = nullptr) const;

    // A private clipboard holding the text as RTF (without the logo line) and as plain text.
    std::unique_ptr<QMimeData> getPboard() const;

    static const QString LimnerName;

public slots:
    void printInvoiceAction();
    void printDocument();
    void saveInvoiceAction();
    void toCreateInvoiceAction();
    void emailInvoiceAction();

protected:
    // Shows the text; plain shows only its characters.
    void loadText(const StyledText& styled, bool rich);
    void closeEvent(QCloseEvent* event) override;

    QTextEdit* text = nullptr;
    // Documents may close while the viewer is open: those become null and are passed over.
    QPointer<MyDocument> document;
    QList<QPointer<MyDocument>> documents;
    bool isRich = false;

private:
    void addToolAction(QToolBar* tools, const QString& title, const char* name, void (VDReporter::*slot)());
    void applyReportFont();
    QString writeHandOffFile() const;
    static void showNoLimnerAlert();

    bool _frameRestored = false;
};
