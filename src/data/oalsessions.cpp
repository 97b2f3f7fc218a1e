#include "data/oalsessions.h"

#include "data/oal.h"
#include "data/oalowncolumns.h"

#include <SQLiteCpp/Database.h>

#include <QXmlStreamWriter>

namespace OalSessions {
namespace {

const QString kSky = QStringLiteral("sky quality");
const QString kSeeing = QStringLiteral("seeing");
const QString kTransparency = QStringLiteral("transparency");

QString moment(const QDateTime &at)
{
    return Oal::formatDateTime(at.date(), at.time(), at.offsetFromUtc());
}

} // namespace

QString comments(const ObservingSession &s)
{
    QStringList lines;
    if (!s.comments.isEmpty())
        lines << s.comments;
    if (s.skyQuality)
        lines << OalOwnColumns::line(kSky, QString::number(*s.skyQuality));
    if (!s.seeing.isEmpty())
        lines << OalOwnColumns::line(kSeeing, s.seeing);
    if (!s.transparency.isEmpty())
        lines << OalOwnColumns::line(kTransparency, s.transparency);
    return lines.join('\n');
}

void readComments(const QString &text, ObservingSession &s)
{
    const QStringList names{kSky, kSeeing, kTransparency};
    for (const auto &[name, value] : OalOwnColumns::read(text, names)) {
        bool ok = false;
        if (name == kSky) {
            const double v = value.toDouble(&ok);
            if (ok)
                s.skyQuality = v;
        } else {
            (name == kSeeing ? s.seeing : s.transparency) = value.trimmed();
        }
    }
    QStringList rest;
    for (const QString &line : text.split('\n')) {
        const QString name = line.section(QLatin1String(": "), 0, 0);
        if (!line.contains(QLatin1String(": ")) || !names.contains(name))
            rest << line;
    }
    s.comments = rest.join('\n').trimmed();
    // Another program's readings that mean nothing here are dropped rather
    // than refused with the whole session.
    if (!s.fault().isEmpty()) {
        s.skyQuality.reset();
        s.seeing.clear();
        s.transparency.clear();
    }
}

Ids write(QXmlStreamWriter &x, SQLite::Database &db, const std::function<QString(qint64)> &itemRef,
          const QDateTime &now)
{
    Ids ids;
    x.writeStartElement(QStringLiteral("sessions"));
    if (db.tableExists("observing_session")) {
        std::vector<ObservingSession> all = Sessions::list(db);
        for (auto it = all.rbegin(); it != all.rend(); ++it) {
            const ObservingSession &s = *it;
            const QString site = s.siteId ? itemRef(s.siteId) : QString();
            if (site.isEmpty())
                continue;
            const QString id = QStringLiteral("session%1").arg(s.id);
            ids[s.id] = id;
            x.writeStartElement(QStringLiteral("session"));
            x.writeAttribute(QStringLiteral("id"), id);
            x.writeTextElement(QStringLiteral("begin"), moment(s.begins));
            if (s.isOpen())
                x.writeComment(QStringLiteral(" still open when written "));
            x.writeTextElement(QStringLiteral("end"), moment(s.isOpen() ? std::max(now, s.begins) : s.ends));
            x.writeTextElement(QStringLiteral("site"), site);
            for (qint64 who : s.observerIds)
                if (const QString ref = itemRef(who); !ref.isEmpty())
                    x.writeTextElement(QStringLiteral("coObserver"), ref);
            if (!s.weather.isEmpty())
                x.writeTextElement(QStringLiteral("weather"), s.weather);
            if (const QString text = comments(s); !text.isEmpty())
                x.writeTextElement(QStringLiteral("comments"), text);
            x.writeEndElement();
        }
    }
    x.writeEndElement();
    return ids;
}

std::pair<qint64, bool> store(SQLite::Database &db, ObservingSession &s)
{
    for (const ObservingSession &known : Sessions::list(db))
        if (known.siteId == s.siteId && known.begins == s.begins) {
            s.id = known.id;
            return {known.id, false};
        }
    s.id = 0;
    Sessions::save(db, s);
    return {s.id, true};
}

} // namespace OalSessions
