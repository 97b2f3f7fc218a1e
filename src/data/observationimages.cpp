#include "data/observationimages.h"

#include "data/catalogue.h"
#include "data/dataerror.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

namespace {

QString text(const SQLite::Column &c)
{
    return c.isNull() ? QString() : QString::fromUtf8(c.getText());
}

std::vector<ObservationImage> select(SQLite::Database &db, const QString &table, qint64 rowid, bool removed)
{
    std::vector<ObservationImage> out;
    SQLite::Statement st(db, std::string("SELECT id, obs_table, obs_row, file, original, removed_at FROM "
                                         "observation_image WHERE obs_table = ? AND obs_row = ? AND removed_at IS ") +
                                 (removed ? "NOT NULL" : "NULL") + " ORDER BY id");
    st.bind(1, table.toStdString());
    st.bind(2, int64_t(rowid));
    while (st.executeStep())
        out.push_back({st.getColumn(0).getInt64(), text(st.getColumn(1)), st.getColumn(2).getInt64(),
                       text(st.getColumn(3)), text(st.getColumn(4)), text(st.getColumn(5))});
    return out;
}

void mark(SQLite::Database &db, qint64 id, bool removed)
{
    try {
        SQLite::Statement st(db, removed ? "UPDATE observation_image SET removed_at = strftime('%Y-%m-%d "
                                           "%H:%M:%S', 'now', 'localtime') WHERE id = ?"
                                         : "UPDATE observation_image SET removed_at = NULL WHERE id = ?");
        st.bind(1, int64_t(id));
        st.exec();
    } catch (const SQLite::Exception &e) {
        throw DataError::fromStore(e.getErrorCode(), QString::fromUtf8(e.what()));
    }
}

} // namespace

void ObservationImages::install(SQLite::Database &db)
{
    db.exec("CREATE TABLE IF NOT EXISTS observation_image (id INTEGER PRIMARY KEY, obs_table TEXT NOT NULL "
            "COLLATE NOCASE, obs_row INTEGER NOT NULL, file TEXT NOT NULL UNIQUE COLLATE NOCASE, original TEXT COLLATE "
            "NOCASE, added_at TEXT COLLATE NOCASE, removed_at TEXT COLLATE NOCASE)");
    db.exec("CREATE INDEX IF NOT EXISTS observation_image_row ON observation_image (obs_table, obs_row)");
    for (const Catalogue *c : Catalogues::observationTables())
        db.exec(QStringLiteral("CREATE TRIGGER IF NOT EXISTS \"image_keep_%1\" AFTER DELETE ON \"%1\" BEGIN "
                               "UPDATE observation_image SET removed_at = strftime('%Y-%m-%d %H:%M:%S', 'now', "
                               "'localtime') WHERE obs_table = '%1' AND obs_row = OLD.rowid AND removed_at IS "
                               "NULL; END")
                    .arg(c->table)
                    .toStdString());
}

ObservationImage ObservationImages::attach(SQLite::Database &db, const QString &dataDir, const QString &table,
                                           qint64 rowid, const QString &source)
{
    const QFileInfo info(source);
    QImageReader reader(source);
    const QByteArray format = reader.format();
    if (!info.isFile() || (format != "png" && format != "jpeg") || !reader.canRead())
        throw DataError(QStringLiteral("%1 is not a PNG or JPEG picture; nothing was attached.")
                            .arg(QDir::toNativeSeparators(source)));
    QDir dir(dataDir);
    if (!dir.mkpath(QString::fromLatin1(kFolder)))
        throw DataError(QStringLiteral("The folder %1 cannot be made; nothing was attached.")
                            .arg(QDir::toNativeSeparators(dir.filePath(kFolder))));
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QString ext = format == "png" ? QStringLiteral("png") : QStringLiteral("jpg");
    QString relative;
    // QFile::copy never overwrites, so a name taken meanwhile (by another
    // program too) only moves on to the next number.
    for (int n = 1;; ++n) {
        relative = QStringLiteral("%1/%2-%3-%4-%5.%6").arg(kFolder, table.toLower()).arg(rowid).arg(stamp).arg(n).arg(ext);
        if (QFile::copy(source, dir.filePath(relative)))
            break;
        if (!QFileInfo::exists(dir.filePath(relative)) || n > 999)
            throw DataError(QStringLiteral("%1 cannot be copied into %2; nothing was attached.")
                                .arg(QDir::toNativeSeparators(source),
                                     QDir::toNativeSeparators(dir.filePath(kFolder))));
    }
    try {
        SQLite::Statement st(db, "INSERT INTO observation_image (obs_table, obs_row, file, original, added_at) "
                                 "VALUES (?, ?, ?, ?, strftime('%Y-%m-%d %H:%M:%S', 'now', 'localtime'))");
        st.bind(1, table.toStdString());
        st.bind(2, int64_t(rowid));
        st.bind(3, relative.toStdString());
        st.bind(4, info.fileName().toStdString());
        st.exec();
    } catch (const SQLite::Exception &e) {
        QFile::remove(dir.filePath(relative));
        throw DataError::fromStore(e.getErrorCode(), QString::fromUtf8(e.what()));
    }
    return {db.getLastInsertRowid(), table, rowid, relative, info.fileName(), QString()};
}

std::vector<ObservationImage> ObservationImages::of(SQLite::Database &db, const QString &table, qint64 rowid)
{
    return select(db, table, rowid, false);
}

std::vector<ObservationImage> ObservationImages::removed(SQLite::Database &db, const QString &table, qint64 rowid)
{
    return select(db, table, rowid, true);
}

void ObservationImages::remove(SQLite::Database &db, qint64 id)
{
    mark(db, id, true);
}

void ObservationImages::restore(SQLite::Database &db, qint64 id)
{
    mark(db, id, false);
}
