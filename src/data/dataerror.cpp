#include "data/dataerror.h"

#include <sqlite3.h>

DataError DataError::fromStore(int storeResult, const QString &message)
{
    switch (storeResult & 0xff) {
    case SQLITE_READONLY:
    case SQLITE_FULL:
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
    case SQLITE_IOERR:
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
    case SQLITE_NOMEM:
        return DataError(message, true);
    default:
        return DataError(message);
    }
}
