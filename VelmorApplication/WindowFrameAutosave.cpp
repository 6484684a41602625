#include "WindowFrameAutosave.h"

#include "SettingsStore.h"

#include <QByteArray>
#include <QWidget>

QString WindowFrameAutosave::settingsKey(const QString& name)
{
    return QStringLiteral("Window Frame ") + name;
}

void WindowFrameAutosave::save(const QWidget* window, const QString& name)
{
    SettingsStore& store = SettingsStore::shared();
    store.setValue(settingsKey(name), QString::fromLatin1(window->saveGeometry().toBase64()));
    store.flush();
}

bool WindowFrameAutosave::restore(QWidget* window, const QString& name)
{
    const QString stored = SettingsStore::shared().stringForKey(settingsKey(name));
    if (stored.isEmpty())
        return false;
    return window->restoreGeometry(QByteArray::fromBase64(stored.toLatin1()));
}
