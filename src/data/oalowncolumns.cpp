#include "data/oalowncolumns.h"

#include "data/catalogue.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>

namespace OalOwnColumns {

QStringList columns(SQLite::Database &db, const Catalogue &table)
{
    QStringList skip = {table.key, table.designationColumn, table.ra, table.dec, table.constellation};
    for (const QString &f : table.observation.fields())
        skip << f;
    skip << table.observation.observed;
    QStringList own;
    SQLite::Statement st(db, QStringLiteral("PRAGMA table_info(\"%1\")").arg(table.table).toStdString());
    while (st.executeStep()) {
        const QString name = QString::fromUtf8(st.getColumn(1).getText());
        if (!skip.contains(name, Qt::CaseInsensitive))
            own << name;
    }
    return own;
}

QString line(const QString &column, const QString &value)
{
    QString v = value;
    v.replace('\\', QLatin1String("\\\\")).replace('\n', QLatin1String("\\n")).replace('\r', QLatin1String("\\r"));
    return column + QStringLiteral(": ") + v;
}

QList<std::pair<QString, QString>> read(const QString &notes, const QStringList &columns)
{
    QList<std::pair<QString, QString>> values;
    for (const QString &l : notes.split('\n')) {
        const qsizetype colon = l.indexOf(QLatin1String(": "));
        if (colon <= 0)
            continue;
        const QString column = l.left(colon).trimmed();
        const qsizetype at = columns.indexOf(column);
        if (at < 0)
            continue;
        QString value;
        const QString raw = l.mid(colon + 2);
        for (qsizetype i = 0; i < raw.size(); ++i) {
            if (raw[i] == '\\' && i + 1 < raw.size()) {
                const QChar next = raw[++i];
                value += next == 'n' ? QChar('\n') : next == 'r' ? QChar('\r') : next;
            } else {
                value += raw[i];
            }
        }
        values.push_back({columns[at], value});
    }
    return values;
}

} // namespace OalOwnColumns
