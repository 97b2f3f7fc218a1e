#pragma once

#include "data/importwriter.h"

#include <QString>

#include <functional>

// Brings every user table of a Jet file (velnora.mdb of an earlier
// installation) into a new velnora.db. The Jet file is only read.
namespace MdbImporter {

struct Progress
{
    int table = 0;  // 1-based; 0 before the first table
    int tables = 0; // how many tables the file has
    QString name;   // the table; before the first, the file's format ("Jet 4")
    qint64 rows = 0;
    int columns = 0;
};
using ProgressFn = std::function<void(const Progress &)>;

// Whether libmdb was available when the program was built.
bool available();

// Imports `mdbPath` into `dbPath`, which must not exist yet. Calls `progress`
// once before the first table and after each table. Throws DataError naming
// the file and what is wrong; no file is left at `dbPath` then.
JetImport::Summary import(const QString &mdbPath, const QString &dbPath, const ProgressFn &progress = {});

} // namespace MdbImporter
