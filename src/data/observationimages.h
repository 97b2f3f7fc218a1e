#pragma once

#include <QString>

#include <vector>

namespace SQLite {
class Database;
}

// A sketch or photograph kept with an observation: a copy of the picture in
// the images folder beside the store, named by the store so that two never
// collide.
struct ObservationImage
{
    qint64 id = 0;
    QString table;
    qint64 rowid = 0;
    QString file;      // relative to the store's folder: "images/mess-42-20261207-221500-1.png"
    QString original;  // the name the picture had when attached
    QString removedAt; // empty while it is shown with its observation
};

// The pictures of every observation. Removing one keeps the file and the
// row, marked removed, so that it can be brought back; deleting an
// observation marks its pictures removed the same way.
class ObservationImages
{
public:
    static void install(SQLite::Database &db);
    static constexpr const char *kFolder = "images";

    // Copies `source` (a PNG or JPEG picture) into the images folder of
    // `dataDir` and ties it to the observation. Throws DataError, leaving
    // neither file nor row, for a file that is no such picture or that
    // cannot be copied.
    static ObservationImage attach(SQLite::Database &db, const QString &dataDir, const QString &table,
                                   qint64 rowid, const QString &source);
    // Shown pictures, in the order they were attached.
    static std::vector<ObservationImage> of(SQLite::Database &db, const QString &table, qint64 rowid);
    static std::vector<ObservationImage> removed(SQLite::Database &db, const QString &table, qint64 rowid);
    static void remove(SQLite::Database &db, qint64 id);
    static void restore(SQLite::Database &db, qint64 id);
};
