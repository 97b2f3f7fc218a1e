#pragma once

#include <QString>

#include <functional>

namespace SQLite {
class Database;
}

// Writes every recorded observation of every logbook as one OpenAstronomyLog
// 2.1 document: the catalogue rows with a date or the observed mark, every
// solar-system log entry, and the earlier observations the history keeps.
class OalExport
{
public:
    struct Result
    {
        int observations = 0;
        int targets = 0;
        int sites = 0;
        int scopes = 0;
        int undated = 0;       // written with the placeholder date
        int fromLocalTime = 0; // begin worked out from the local date and time
        int sessions = 0;
        int images = 0;
        int imagesMissing = 0; // pictures that could not be copied beside the document
    };
    // Called now and then with the observations written so far; false cancels.
    // While they are being counted, before the first is written, total is 0.
    using Progress = std::function<bool(int done, int total)>;

    // Writes `path` whole or not at all. Throws DataError on a store or file
    // failure, or when cancelled (nothing written then).
    static Result write(SQLite::Database &db, const QString &path, const Progress &progress = {});

    // The observer the document names: the account's user name.
    static QString observerName();
};
