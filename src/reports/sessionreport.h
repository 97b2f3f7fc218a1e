#pragma once

#include "reports/reportdocument.h"

#include <QDate>

#include <memory>

namespace SQLite {
class Database;
}

// The printed record of one observing session: when and where, who was
// there and the sky's conditions at the top, then every observation of the
// night from every logbook in the order it was made.
namespace SessionReport {

inline constexpr const char *kTitle = "Observing Session";

// Throws DataError when the store holds no session `sessionId`.
std::shared_ptr<ReportDocument> build(SQLite::Database &db, qint64 sessionId,
                                      const QDate &printed = QDate::currentDate());

} // namespace SessionReport
