#pragma once

#include "TicksheetExport.h"

#include <QDateTime>
#include <QList>
#include <QPointer>
#include <QString>
#include <QVariantMap>

#include <functional>
#include <memory>

class MyDocument;
class PieceWork;
class UndoManager;

using WorkList = QList<std::shared_ptr<PieceWork>>;

// One row of a client's work list: a timed work session billed by the hour, or an expense line
// item with a fixed amount. Changes made through the setters are undoable on the owner's undo
// stack and refresh the owner's windows; an entry without owner simply records nothing.
class TICKSHEET_EXPORT PieceWork : public std::enable_shared_from_this<PieceWork>
{
    // Reading a file: the start time comes from the file, so "now" is not worked out first.
    struct WithoutStartTime
    {
        explicit WithoutStartTime() = default;
    };

public:
    // A new work session starting now, rounded down to the minute.
    PieceWork();

    static std::shared_ptr<PieceWork> init();
    static std::shared_ptr<PieceWork> initLineItem();
    static std::shared_ptr<PieceWork> workWithPropertyListRepresentation(const QVariantMap& dictionary);
    // Every stored field, without owner.
    std::shared_ptr<PieceWork> copy() const;

    MyDocument* owner() const;
    void setOwner(MyDocument* owner);

    // Stored fields, times in local time. An absent end time is an invalid QDateTime.
    QDateTime startTime() const;
    QDateTime endTime() const;
    QString workDescription() const;
    double timeOnJob() const;
    double downTime() const;
    QString supportingFile() const;
    // The stored rate, after taking the owner's rate when none was set (see inheritOwnerRate).
    float rate() const;
    bool rateSetAsZero() const;
    bool paid() const;
    bool isLineItem() const;
    bool isPaused() const;
    bool taxable() const;

    void setStartTime(const QDateTime& startTime);
    void setEndTime(const QDateTime& endTime);
    void setTimeOnJob(double hours);
    void setDownTime(double hours);
    void setRate(float rate);
    void setRate(float rate, const QString& description);
    void setWorkDescription(const QString& description);
    void setSupportingFile(const QString& path);
    void setPaid(bool paid);
    void setTaxable(bool taxable);
    void setIsLineItem(bool isLineItem);
    void setIsPaused(bool isPaused);
    void setRateSetAsZero(bool rateSetAsZero);

    // Timing.
    void pause();
    void resume();
    void setHoursOnJob(double hours);
    bool canBePaused() const;
    double actualTimeOnJob() const;
    float amount() const;

    // Display texts, following the date and time settings at each call.
    QString dateString() const;
    QString dateStringPadded() const;
    QString startTimeString() const;
    QString endTimeString() const;
    QString timeOnJobString() const;
    QString rateString() const;
    QString amountString() const;
    QString dayOfWeek() const;

    bool occursAfter(const QDateTime& after, const QDateTime& notAfter) const;

    enum class SortKey { None, Time, StartTime, StopTime, Description, Link, Paid, Rate, Amount, Unsupported };
    static SortKey sortKeyFromText(const QString& key);

    // -1, 0 or 1 under the owner's sort column and direction.
    int compare(const PieceWork& other) const;
    // The same with the key and direction given.
    int compare(const PieceWork& other, SortKey key, bool increasingOrder) const;
    // What an entry is ordered by under a key, taken once per entry when many are sorted.
    struct SortValue {
        bool special = false; // a line item (TIME, RATE), an absent date or text, a paid entry
        float number = 0;
        qint64 seconds = 0;
        QString text; // case-folded
    };
    SortValue sortValue(SortKey key) const;
    // The increasing order of two values under a key: -1, 0 or 1.
    static int compare(const SortValue& a, const SortValue& b, SortKey key);
    static bool isSupportedSortKey(const QString& key);

    // Dictionary of text values for the document file.
    QVariantMap propertyListRepresentation() const;
    void loadPropertyListRepresentation(const QVariantMap& dictionary);
    static QString archiveDateString(const QDateTime& dateTime);
    static QDateTime dateFromString(const QString& text);
    // A number of the file: optional sign, "." as decimal point; anything unreadable or beyond a
    // float reads as 0.
    static float floatFromText(const QString& text);

    // Seconds dropped (raised to the next minute when roundUp) unless already zero.
    static QDateTime dateToNearestMinute(const QDateTime& dateTime, bool roundUp);
    static QDateTime nowToNearestMinute(bool roundUp);

    // Only for reading a file (workWithPropertyListRepresentation), which sets the start itself.
    explicit PieceWork(WithoutStartTime);

private:
    void inheritOwnerRate() const;
    void recomputeTimeOnJob();
    QString toComma(const QString& text) const;

    UndoManager* undoManager() const;
    void recordUndo(std::function<void(PieceWork&)> inverse);
    void refreshWindows() const;
    void nameAction(const char* name) const;

    // UTC, whole seconds (see storedTime).
    QDateTime _startTime;
    QDateTime _endTime;
    QString _description;
    double _timeOnJob = 0;
    double _downTime = 0;
    QString _supportingFile;
    // Mutable: the first read of the rate may take the owner's rate.
    mutable float _rate = 0;
    bool _rateSetAsZero = false;
    bool _paid = false;
    bool _isLineItem = false;
    bool _isPaused = false;
    bool _taxable = false;
    QPointer<MyDocument> _owner;
};
