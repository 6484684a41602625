#include "Document.h"
#include "DocumentController.h"
#include "UndoManager.h"

#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString textType = QStringLiteral("Plain Text Note");

// A document whose content is one line of text; "bad" content refuses to load.
class NoteDocument : public Document
{
public:
    QString text;
    bool backup = false;

    void setText(const QString& value)
    {
        const QString old = text;
        undoManager()->registerUndo([this, old] { setText(old); });
        text = value;
    }

    QByteArray dataRepresentationOfType(const QString& type) override
    {
        return type == textType ? text.toUtf8() : QByteArray();
    }

    bool loadDataRepresentation(const QByteArray& data, const QString& type, QString* errorMessage) override
    {
        if (type != textType || data.startsWith("bad")) {
            *errorMessage = QStringLiteral("not a note");
            return false;
        }
        text = QString::fromUtf8(data);
        return true;
    }

    bool keepBackupFile() const override { return backup; }
};

QByteArray contentsOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

class TestDocument : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        DocumentController::shared().closeAllDocuments();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void saveMarksCleanAndSaveToLeavesTheDocumentAlone()
    {
        QTemporaryDir folder;
        NoteDocument note;
        note.setFileType(textType);
        note.setText(QStringLiteral("first"));
        QVERIFY(note.isDocumentEdited());

        QVERIFY(note.saveDocumentAs(folder.filePath("a.note")));
        QVERIFY(!note.isDocumentEdited());
        QCOMPARE(note.fileName(), folder.filePath("a.note"));

        note.setText(QStringLiteral("second"));
        QVERIFY(note.saveDocumentTo(folder.filePath("copy.note")));
        QCOMPARE(contentsOf(folder.filePath("copy.note")), QByteArray("second"));
        QCOMPARE(note.fileName(), folder.filePath("a.note"));
        QVERIFY(note.isDocumentEdited());

        QVERIFY(note.saveDocument());
        QCOMPARE(contentsOf(folder.filePath("a.note")), QByteArray("second"));
        QVERIFY(!note.isDocumentEdited());
        // Undoing past the save makes it edited again; redoing returns to the saved state.
        note.undoManager()->undo();
        QVERIFY(note.isDocumentEdited());
        note.undoManager()->redo();
        QVERIFY(!note.isDocumentEdited());
    }

    void failedSaveLeavesFileAndDocumentAsTheyWere()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath("a.note");
        NoteDocument note;
        note.setFileType(textType);
        note.setText(QStringLiteral("kept"));
        QVERIFY(note.saveDocumentAs(path));
        note.setText(QStringLiteral("edited"));

        // A folder stands where the copy should go: the write must fail, whoever runs the test.
        QVERIFY(QDir(folder.path()).mkdir("taken.note"));
        QVERIFY(!note.saveDocumentAs(folder.filePath("taken.note")));
        QVERIFY2(note.errorString().contains("taken.note"), qPrintable(note.errorString()));
        QCOMPARE(note.fileName(), path);
        QVERIFY(note.isDocumentEdited());
        QCOMPARE(contentsOf(path), QByteArray("kept"));
        QVERIFY(QFileInfo(folder.filePath("taken.note")).isDir());
    }

    void unwritableTypeIsAFailureNotAnEmptyFile()
    {
        QTemporaryDir folder;
        NoteDocument note;
        note.setFileType(QStringLiteral("Other"));
        note.setText(QStringLiteral("x"));
        QVERIFY(!note.saveDocumentAs(folder.filePath("a.note")));
        QVERIFY(!QFileInfo::exists(folder.filePath("a.note")));
    }

    void backupKeepsThePreviousFile()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath("client.tickSheet");
        NoteDocument note;
        note.backup = true;
        note.setFileType(textType);
        note.setText(QStringLiteral("one"));
        QVERIFY(note.saveDocumentAs(path));
        QVERIFY(!QFileInfo::exists(Document::backupPathFor(path)));
        note.setText(QStringLiteral("two"));
        QVERIFY(note.saveDocument());
        QCOMPARE(Document::backupPathFor(path), folder.filePath("client~.tickSheet"));
        QCOMPARE(contentsOf(Document::backupPathFor(path)), QByteArray("one"));
        QCOMPARE(contentsOf(path), QByteArray("two"));
    }

    void revertFailureLeavesTheDocumentAsItWas()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath("a.note");
        NoteDocument note;
        note.setFileType(textType);
        note.setText(QStringLiteral("saved"));
        QVERIFY(note.saveDocumentAs(path));
        note.setText(QStringLiteral("edited"));

        writeFile(path, "bad content");
        QVERIFY(!note.revertDocumentToSaved());
        QCOMPARE(note.text, QStringLiteral("edited"));
        QVERIFY(note.undoManager()->canUndo());

        writeFile(path, "from disk");
        QVERIFY(note.revertDocumentToSaved());
        QCOMPARE(note.text, QStringLiteral("from disk"));
        QVERIFY(!note.undoManager()->canUndo());
        QVERIFY(!note.isDocumentEdited());
    }

    void controllerOpensEachFileOnceAndNamesTheFileOnFailure()
    {
        QTemporaryDir folder;
        DocumentController& controller = DocumentController::shared();
        controller.setDocumentFactory(textType, [] { return new NoteDocument; });
        QStringList shown;
        controller.setShowHook([&](Document* document) { shown << document->displayName(); });

        writeFile(folder.filePath("good.note"), "hello");
        writeFile(folder.filePath("broken.note"), "bad");
        Document* first = controller.openDocumentWithContentsOfFile(folder.filePath("good.note"), true);
        QVERIFY(first);
        QVERIFY(!first->isDocumentEdited());
        QCOMPARE(controller.openDocumentWithContentsOfFile(folder.filePath("good.note"), true), first);
        QCOMPARE(controller.documents().size(), 1);
        QCOMPARE(shown, QStringList({"good.note", "good.note"}));

        QVERIFY(!controller.openDocumentWithContentsOfFile(folder.filePath("broken.note"), true));
        QVERIFY(controller.lastError().contains("broken.note"));
        QVERIFY(!controller.openDocumentWithContentsOfFile(folder.filePath("missing.note"), false));
        QVERIFY(controller.lastError().contains("missing.note"));
        QCOMPARE(controller.documents().size(), 1);

        Document* untitled = controller.openUntitledDocumentOfType(textType, false);
        QVERIFY(untitled);
        QVERIFY(untitled->displayName().startsWith("Untitled"));
        QCOMPARE(controller.documents().size(), 2);
    }

    void hugeFileIsRefusedBeforeReading()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath("huge.note");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.resize(Document::maximumFileSize + 1)); // sparse: costs no disk
        file.close();
        NoteDocument note;
        QVERIFY(!note.readFromFile(path, textType));
        QVERIFY2(note.errorString().contains("too large"), qPrintable(note.errorString()));
    }
};

QTEST_GUILESS_MAIN(TestDocument)
#include "tst_document.moc"
