// Writes the sample client document and the application icon into a resources folder:
//
//     make-tallywick-resources <resources folder>
//
// The sample is built with the program's own document class and saved the way the program saves,
// so it always matches the current file format. Its dates are fixed, so the file only changes
// when the format does.

#include "Constants.h"
#include "MyDocument.h"
#include "PieceWork.h"
#include "Preferences.h"
#include "SettingsStore.h"
#include "VelmorPreferences.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>

namespace {

struct Session {
    const char* day;
    const char* start;
    const char* end;
    double pausedHours;
    const char* description;
    bool paid;
};

struct Expense {
    const char* day;
    float price;
    const char* description;
    bool taxable;
    bool paid;
};

QDateTime at(const char* day, const char* time)
{
    return QDateTime(QDate::fromString(QString::fromLatin1(day), Qt::ISODate),
                     QTime::fromString(QString::fromLatin1(time), QStringLiteral("HH:mm")));
}

std::shared_ptr<PieceWork> makeSession(const Session& session)
{
    auto work = PieceWork::init();
    work->setStartTime(at(session.day, session.start));
    work->setEndTime(at(session.day, session.end));
    work->setDownTime(session.pausedHours);
    work->setWorkDescription(QString::fromUtf8(session.description));
    work->setPaid(session.paid);
    return work;
}

std::shared_ptr<PieceWork> makeExpense(const Expense& expense)
{
    auto item = PieceWork::initLineItem();
    item->setStartTime(at(expense.day, "12:00"));
    item->setRate(expense.price);
    item->setWorkDescription(QString::fromUtf8(expense.description));
    item->setTaxable(expense.taxable);
    item->setPaid(expense.paid);
    return item;
}

// A small design studio's festival website, over four weeks: the first two weeks are invoiced and
// paid, the rest is open.
WorkList sampleWork()
{
    const Session sessions[] = {
        {"2024-09-02", "09:00", "12:30", 0.0, "Kick-off meeting and site audit", true},
        {"2024-09-03", "13:00", "17:15", 0.25, "Information architecture", true},
        {"2024-09-05", "09:30", "12:00", 0.0, "Wireframes: home and programme pages", true},
        {"2024-09-09", "10:00", "16:30", 0.75, "Visual design, first round", true},
        {"2024-09-11", "14:00", "18:00", 0.0, "Client review and revisions", true},
        {"2024-09-13", "09:00", "11:45", 0.0, "Ticketing integration research", false},
        {"2024-09-16", "09:15", "13:00", 0.5, "Front-end build: layout and navigation", false},
        {"2024-09-17", "13:30", "17:30", 0.0, "Front-end build: festival schedule", false},
        {"2024-09-19", "10:00", "15:00", 1.0, "Accessibility review and fixes", false},
        {"2024-09-23", "09:00", "12:15", 0.0, "Content entry with the festival team", false},
        {"2024-09-25", "14:00", "17:45", 0.25, "Launch preparation and testing", false},
        {"2024-09-27", "10:00", "11:30", 0.0, "Launch-day support", false},
    };
    const Expense expenses[] = {
        {"2024-09-06", 120.00f, "Stock photography licence", true, true},
        {"2024-09-18", 64.00f, "Web font licence (one year)", true, false},
        {"2024-09-24", 18.50f, "Courier: printed style guide", false, false},
    };

    WorkList work;
    for (const Session& session : sessions)
        work << makeSession(session);
    for (const Expense& expense : expenses)
        work << makeExpense(expense);
    std::stable_sort(work.begin(), work.end(), [](const auto& a, const auto& b) { return a->startTime() < b->startTime(); });
    return work;
}

bool writeSample(const QString& path)
{
    MyDocument document;
    document.setClientName(QStringLiteral("Red Arar Odo"));
    document.setProjectName(QStringLiteral("Harbour Festival website"));
    document.setEmail(QStringLiteral("accounts@redararodo.example"));
    document.setPhone(QStringLiteral("+1 212 555 0147"));
    document.setAddress(QStringLiteral("Red Arar Odo Design Studio\n41 Kestrel Lane\nBrooklyn, NY 11201"));
    document.setRate(85);
    document.setTaxRate(8.875f);
    document.setTaxable(true);
    document.setWorkList(sampleWork());
    if (!document.saveDocumentAs(path)) {
        std::fprintf(stderr, "%s\n", qPrintable(document.errorString()));
        return false;
    }
    return true;
}

// The logo (drawn on white) on a white rounded tile, so it reads on dark and light desktops alike.
bool writeIcon(const QString& logoPath, const QString& path)
{
    const QImage logo(logoPath);
    if (logo.isNull()) {
        std::fprintf(stderr, "Cannot read %s\n", qPrintable(logoPath));
        return false;
    }
    constexpr int size = 256;
    constexpr int margin = 12;
    QImage icon(size, size, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath tile;
    tile.addRoundedRect(QRectF(margin, margin, size - 2 * margin, size - 2 * margin), 40, 40);
    painter.fillPath(tile, Qt::white);
    painter.setPen(QPen(QColor(0xcf, 0xd4, 0xd8), 2));
    painter.drawPath(tile);
    const QImage scaled = logo.scaled(size - 5 * margin, size - 5 * margin, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    painter.drawImage((size - scaled.width()) / 2, (size - scaled.height()) / 2, scaled);
    painter.end();
    return icon.save(path, "PNG");
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The sample client works in New York; its times are stored with that offset wherever this runs.
    qputenv("TZ", "America/New_York");
    // The sample takes nothing from the settings of whoever runs this.
    QTemporaryDir settingsFolder;
    qputenv("TALLYWICK_SETTINGS", settingsFolder.filePath(QStringLiteral("settings.json")).toLocal8Bit());
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-tallywick-resources <resources folder>\n");
        return 2;
    }
    VelmorPreferences::initialize();
    Preferences::initialize();

    const QDir resources(QString::fromLocal8Bit(argv[1]));
    const bool sample = writeSample(resources.filePath(QStringLiteral("RedArarOdo.") + TWKFileType));
    const bool icon = writeIcon(resources.filePath(QStringLiteral("velmorlogo_huge.gif")),
                                resources.filePath(QStringLiteral("tallywick.png")));
    return sample && icon ? 0 : 1;
}
