#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace SQLite {
class Database;
}

// Every object of every logbook by any of its names: designations, the other
// designations, common names, Bayer and Flamsteed names. Each name is kept
// as a key without case, accents, blanks or leading zeros ("NGC 0224",
// "ngc224" and "NGC224" are one key), and once more from each of its later
// words, so "orion neb" finds "Great Orion Nebula". Triggers note the rows a
// write touches and the next look-up indexes them again, so the index stays
// right whoever edits the store (the sqlite3 shell included: the triggers are
// plain SQL).
class FindIndex
{
public:
    struct Match
    {
        QString table;
        qint64 rowid = 0;
        QString logbook; // "Messier"
        QString designation;
        QString name;
        QString constellation;
        QString matched; // the name that matched
        int rank = 0;    // 0 a whole name, 1 a name's later words, 2 and 3 the same begun
    };

    // The key of a text: lower case, accents folded, Greek letters spelled,
    // "Caldwell 23" as "C 23" and "Messier 42" as "M 42", blanks and
    // punctuation dropped, numbers without leading zeros.
    static QString key(const QString &text);

    // Makes the index whole: built afresh when missing, outdated or lacking a
    // trigger, else the rows written since the last look-up indexed again.
    // Runs in its own transaction; a store nobody can write is left as it is.
    static void refresh(SQLite::Database &db);
    // Builds the index afresh inside the caller's transaction.
    static void rebuild(SQLite::Database &db);
    static bool isCurrent(SQLite::Database &db);

    // The objects with a name matching `text`, best first: whole names before
    // later words, exact before begun, then the logbooks' order. At most
    // `limit` of them.
    static std::vector<Match> find(SQLite::Database &db, const QString &text, int limit = 200);
};
