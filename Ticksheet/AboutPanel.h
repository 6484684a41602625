#pragma once

#include "TicksheetExport.h"

#include <QDialog>
#include <QString>

class QLabel;

// The About panel: the logo, the application's name, its version and the rights notice (left out
// when empty).
class TICKSHEET_EXPORT AboutPanel : public QDialog
{
    Q_OBJECT

public:
    AboutPanel(const QString& version, const QString& rights, QWidget* parent = nullptr);

    static QString applicationName();
    QString versionText() const;
    QString rightsText() const;

private:
    QLabel* _version;
    QLabel* _rights;
};
