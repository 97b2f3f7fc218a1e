#pragma once

#include "data/sessions.h"

#include <QString>

#include <functional>
#include <map>

class QXmlStreamWriter;
namespace SQLite {
class Database;
}

// Observing sessions in the exchange format. A session element has no place
// for the sky's readings, so they travel as "name: value" lines under its
// comments, which reading our file back turns into readings again.
namespace OalSessions {

// The element id of each written session, by the store's id.
using Ids = std::map<qint64, QString>;
// Writes the <sessions> section: every session with a site (the format
// requires one); an open session ends at `now`. `itemRef` gives the element
// id of a register item.
Ids write(QXmlStreamWriter &x, SQLite::Database &db, const std::function<QString(qint64)> &itemRef,
          const QDateTime &now = QDateTime::currentDateTime());

QString comments(const ObservingSession &session);
// Takes the readings out of `comments` into `session`, the rest as its comments.
void readComments(const QString &comments, ObservingSession &session);

// Stores an imported session, or finds the one stored already (the same
// begin and site); returns its id and whether it was added. Within the
// caller's transaction.
std::pair<qint64, bool> store(SQLite::Database &db, ObservingSession &session);

} // namespace OalSessions
