#pragma once

#include <QString>

// Start-up's import of an earlier installation's velnora.mdb, with a progress
// window that counts the tables and their rows. The work runs in a child
// velnora-cli, so a damaged file cannot bring the program down.
namespace ImportDialog {

// Imports `mdbPath` into `dbPath`; throws DataError with the message to show
// when the import fails or is cancelled, leaving no file at `dbPath`.
void run(const QString &mdbPath, const QString &dbPath);

} // namespace ImportDialog
