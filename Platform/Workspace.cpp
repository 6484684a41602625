#include "Workspace.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

const QString Workspace::OpenerProgram = QStringLiteral("xdg-open");

bool Workspace::openFile(const QString& path)
{
    if (path.isEmpty() || !QFileInfo::exists(path))
        return false;
    const QString opener = QStandardPaths::findExecutable(OpenerProgram);
    return !opener.isEmpty() && startDetached(opener, {path});
}

bool Workspace::openFile(const QString& path, const QString& application)
{
    if (path.isEmpty() || !QFileInfo::exists(path))
        return false;
    const QString program = programForApplication(application);
    return !program.isEmpty() && startDetached(program, {path});
}

bool Workspace::launchApplication(const QString& application)
{
    const QString program = programForApplication(application);
    return !program.isEmpty() && startDetached(program, {});
}

QString Workspace::programForApplication(const QString& application)
{
    for (const QString& candidate : candidatePrograms(application)) {
        const QString program = QStandardPaths::findExecutable(candidate);
        if (!program.isEmpty())
            return program;
    }
    return {};
}

QStringList Workspace::candidatePrograms(const QString& application)
{
    if (application.isEmpty() || application.contains(QLatin1Char('/')))
        return {};
    QStringList candidates{application};
    if (application.toLower() != application)
        candidates << application.toLower();
    // The plain-text editor the program falls back on, as the desktops name theirs.
    if (application == QLatin1String("TextEdit"))
        candidates << QStringList{"gnome-text-editor", "gedit", "kate", "kwrite", "mousepad", "xed", "pluma", "featherpad"};
    return candidates;
}

bool Workspace::startDetached(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setStandardInputFile(QProcess::nullDevice());
    return process.startDetached();
}
