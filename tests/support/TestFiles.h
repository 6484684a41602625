#pragma once

#include <QByteArray>
#include <QString>

// Files that tests write and read back, stand-in programs among them.
namespace TestFiles {

// Writes the bytes, failing the running test when the file cannot be made; `executable` makes a
// stand-in program of it.
void write(const QString& path, const QByteArray& contents, bool executable = false);
// The file's bytes; empty when it cannot be read.
QByteArray read(const QString& path);

} // namespace TestFiles
