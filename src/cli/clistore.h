#pragma once

#include "data/backups.h"
#include "data/dataerror.h"
#include "data/mdbimporter.h"
#include "data/store.h"

#include <QDir>
#include <QTextStream>

namespace Cli {

// The store of the current folder, opened as a start of the program opens it.
// A store another program holds is waited for, said once on stderr; a damaged
// one is put aside and the command stops there, so that a script never runs
// on a different logbook without being told.
inline QString openStore()
{
    bool told = false;
    QString setAside;
    Store::StartNotices notices;
    notices.held = [&](const QString &notice) {
        if (!told)
            QTextStream(stderr) << notice << " (Ctrl+C stops.)\n";
        told = true;
        return true;
    };
    notices.setAside = [&](const QString &notice) { setAside = notice; };
    const QString path = Store::ensureDatabase(
        QDir::currentPath(), [](const QString &mdb, const QString &db) { MdbImporter::import(mdb, db); },
        notices);
    if (!setAside.isEmpty())
        throw DataError(setAside + " Nothing was run: run the command again to use the new logbook.");
    // The day's first use copies the logbook; a failed copy stops nothing.
    try {
        Backups::makeDaily(path);
    } catch (const DataError &e) {
        QTextStream(stderr) << e.description() << '\n';
    }
    return path;
}

} // namespace Cli
