#include "reports/programmeprogress.h"

#include "data/datetext.h"
#include "tonight/tonightcatalogue.h"

#include <QStringList>

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>

#include <algorithm>
#include <cmath>

namespace {

// Stored dates are ISO; anything else in a date column (an old import's
// stray text) dates nothing.
QString isIsoDate(const QString &column)
{
    return column + " GLOB '[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]*'";
}

QString orNull(const QString &expression)
{
    return expression.isEmpty() ? QStringLiteral("NULL") : expression;
}

QString text(SQLite::Statement &st, int column)
{
    return QString::fromUtf8(st.getColumn(column).getText()).trimmed();
}

QString objectsQuery(const Programme &p)
{
    const Catalogue &c = *p.catalogue;
    // Columns: rowid, designation, name, constellation, magnitude, ra, dec, observed, date
    QString observed, date;
    if (p.log) {
        const Catalogue &log = *p.log;
        const QString same = QStringLiteral("l.%1 = o.%2").arg(log.designationColumn, c.key);
        observed = QStringLiteral("EXISTS (SELECT 1 FROM \"%1\" l WHERE %2)").arg(log.table, same);
        date = QStringLiteral("(SELECT min(l.%1) FROM \"%2\" l WHERE %3 AND %4)")
                   .arg(log.observation.date, log.table, same, isIsoDate("l." + log.observation.date));
    } else {
        observed = QStringLiteral("coalesce(o.%1, 0) <> 0").arg(c.observation.observed);
        date = QStringLiteral("CASE WHEN %1 THEN o.%2 END")
                   .arg(isIsoDate("o." + c.observation.date), c.observation.date);
    }
    return QStringLiteral("SELECT o.rowid, %1, %2, %3, %4, %5, %6, %7, %8 FROM \"%9\" o%10 ORDER BY %11")
        .arg(c.designation("o."), orNull(c.name.isEmpty() ? QString() : "o." + c.name),
             orNull(c.constellation.isEmpty() ? QString() : "o." + c.constellation),
             orNull(c.magnitude.isEmpty() ? QString() : "o." + c.magnitude),
             orNull(c.ra.isEmpty() ? QString() : "o." + c.ra), orNull(c.dec.isEmpty() ? QString() : "o." + c.dec),
             observed, date, c.table)
        .arg(p.rows.isEmpty() ? QString() : " WHERE " + p.rows, c.order);
}

} // namespace

QString ProgrammeStatus::percentText() const
{
    // 3999 of 4000 is not yet 100.
    const double shown = std::round(percent() * 10) / 10;
    return QString::number(isComplete() ? 100.0 : std::min(shown, 99.9), 'f', 1);
}

std::vector<QDate> ProgrammeStatus::observationDates() const
{
    std::vector<QDate> out;
    for (const ProgrammeObject &o : objects)
        if (o.observed && o.date.isValid())
            out.push_back(o.date);
    std::sort(out.begin(), out.end());
    return out;
}

namespace ProgrammeProgress {

ProgrammeStatus load(SQLite::Database &db, const Programme &programme)
{
    ProgrammeStatus s;
    s.programme = &programme;
    const QByteArray sql = objectsQuery(programme).toUtf8();
    SQLite::Statement st(db, sql.constData());
    while (st.executeStep()) {
        ProgrammeObject o;
        o.table = programme.catalogue->table;
        o.rowid = st.getColumn(0).getInt64();
        o.designation = text(st, 1);
        o.name = text(st, 2);
        o.constellation = text(st, 3);
        o.magnitude = text(st, 4);
        // 99.9 and 79.9 stand for no magnitude in the SAC.
        if (o.magnitude.toDouble() >= 79.9)
            o.magnitude.clear();
        o.hasPosition = TonightCatalogue::parseRa(text(st, 5), o.ra) && TonightCatalogue::parseDec(text(st, 6), o.dec);
        o.observed = st.getColumn(7).getInt() != 0;
        o.date = DateText::readDate(text(st, 8).section(' ', 0, 0));
        s.objects.push_back(std::move(o));
    }
    s.total = int(s.objects.size());
    s.observed = int(std::count_if(s.objects.begin(), s.objects.end(), [](const auto &o) { return o.observed; }));
    const std::vector<QDate> dates = s.observationDates();
    if (!dates.empty()) {
        s.started = dates.front();
        s.last = dates.back();
    }
    if (s.isComplete())
        s.completed = s.last;
    return s;
}

std::vector<ProgrammeStatus> loadAll(SQLite::Database &db)
{
    std::vector<ProgrammeStatus> out;
    for (const Programme &p : Catalogues::programmes())
        out.push_back(load(db, p));
    return out;
}

const Programme *find(const QString &text)
{
    const auto squeeze = [](QString t) { return t.remove(' ').toLower(); };
    const QString wanted = squeeze(text);
    if (wanted.isEmpty())
        return nullptr;
    for (const Programme &p : Catalogues::programmes())
        if (squeeze(p.name) == wanted || (!p.list.isNull() && wanted == QString(p.list).toLower()))
            return &p;
    return nullptr;
}

std::map<QDate, int> perMonth(SQLite::Database &db)
{
    std::map<QDate, int> out;
    for (const Catalogue *c : Catalogues::observationTables()) {
        const ObservationColumns &o = c->observation;
        QStringList where{isIsoDate(o.date)};
        if (!o.observed.isEmpty())
            where.prepend(QStringLiteral("coalesce(%1, 0) <> 0").arg(o.observed));
        const QByteArray sql = QStringLiteral("SELECT substr(%1, 1, 7), count(*) FROM \"%2\" WHERE %3 GROUP BY 1")
                                   .arg(o.date, c->table, where.join(" AND "))
                                   .toUtf8();
        SQLite::Statement st(db, sql.constData());
        while (st.executeStep()) {
            const QDate month = DateText::readDate(text(st, 0) + "-01");
            if (month.isValid())
                out[month] += st.getColumn(1).getInt();
        }
    }
    return out;
}

} // namespace ProgrammeProgress
