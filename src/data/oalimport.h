#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace SQLite {
class Database;
}

// Merges an OpenAstronomyLog 2.x document into the logbooks, in one
// transaction. Each observation goes to the catalogue row whose designation
// it names (case and blanks ignored): into the row when the row holds no
// observation yet, else into the row's history, so that nothing recorded is
// overwritten. Solar-system bodies get a new log entry.
class OalImport
{
public:
    struct Skipped
    {
        QString name;
        QString reason;
    };
    struct Summary
    {
        int read = 0;
        int matched = 0;      // found their object in a logbook
        QStringList imported; // filled a row or added a log entry
        QStringList keptEarlier;
        std::vector<Skipped> skipped;
        QStringList registered; // register items added: "telescope Dob 8"
        int reused = 0;         // entities the register held already
        int sessions = 0;       // observing sessions added
        int images = 0;         // pictures copied in
        QString text(const QString &file) const;
    };
    using Progress = std::function<bool(int done, int total)>;

    // Throws DataError, with nothing changed, for a file that cannot be read,
    // is no well-formed XML, or holds another kind of document; and when cancelled.
    static Summary run(SQLite::Database &db, const QString &path, const Progress &progress = {});
};
