#pragma once

#include "data/catalogue.h"

#include <QDate>
#include <QString>

#include <map>
#include <vector>

namespace SQLite { class Database; }

// One object of an observing programme as the store holds it now.
struct ProgrammeObject
{
    QString table;
    qint64 rowid = 0;
    QString designation;
    QString name;
    QString constellation;
    QString magnitude;
    bool hasPosition = false;
    double ra = 0, dec = 0; // J2000, degrees
    bool observed = false;
    QDate date; // when it was (first) observed, when the store says
};

// How far a programme has come: its objects, the counts and the dates the
// work began and (once every object is observed) ended.
struct ProgrammeStatus
{
    const Programme *programme = nullptr;
    std::vector<ProgrammeObject> objects;
    int observed = 0;
    int total = 0;
    QDate started;   // the earliest observation of the list
    QDate last;      // the latest
    QDate completed; // the latest, once all are observed

    bool isComplete() const { return total > 0 && observed == total; }
    double percent() const { return total > 0 ? 100.0 * observed / total : 0.0; }
    // "45.5": one decimal, and 100.0 only when the list is complete.
    QString percentText() const;
    // The dates of the observed objects that carry one, earliest first.
    std::vector<QDate> observationDates() const;
};

namespace ProgrammeProgress {

ProgrammeStatus load(SQLite::Database &db, const Programme &programme);
std::vector<ProgrammeStatus> loadAll(SQLite::Database &db);

// A programme by its name or night-planner letter, ignoring case and blanks
// ("herschel400", "H"); nullptr when none is called so.
const Programme *find(const QString &text);

// Observations logged in every logbook, counted by month (the first day of
// each month that has any).
std::map<QDate, int> perMonth(SQLite::Database &db);

} // namespace ProgrammeProgress
