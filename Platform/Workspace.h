#pragma once

#include "PlatformExport.h"

#include <QString>
#include <QStringList>

// The desktop's launcher: opens files with their default application (xdg-open) and starts
// applications by name. Programs are found on PATH, so tests can stand in for them.
class PLATFORM_EXPORT Workspace
{
public:
    // Hands the file to the desktop's default application. False when the file does not exist or
    // the opener could not be started.
    static bool openFile(const QString& path);
    // Opens the file with the named application; false when it is not installed or does not start.
    static bool openFile(const QString& path, const QString& application);
    // Starts the named application with no arguments.
    static bool launchApplication(const QString& application);

    // The program an application name stands for: the name itself, its lower-case form, or for
    // the few names with a desktop equivalent ("TextEdit"), the first of those installed. Empty
    // when none is on PATH.
    static QString programForApplication(const QString& application);

    static const QString OpenerProgram;

private:
    static QStringList candidatePrograms(const QString& application);
    static bool startDetached(const QString& program, const QStringList& arguments);
};
