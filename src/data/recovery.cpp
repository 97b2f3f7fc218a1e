#include "data/recovery.h"

#include "data/dataerror.h"
#include "data/durablefile.h"
#include "data/recordsource.h"
#include "data/store.h"

#include <QFile>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace Recovery {
namespace {

QJsonObject toJson(const KeptEdit &edit)
{
    QJsonArray values;
    for (const auto &[column, value] : edit.values)
        values.append(QJsonObject{{"column", column}, {"value", QJsonValue::fromVariant(value)}});
    return QJsonObject{{"table", edit.table},
                       {"rowid", edit.rowid},
                       {"record", edit.record},
                       {"kept", edit.kept.toString(Qt::ISODate)},
                       {"values", values}};
}

KeptEdit fromJson(const QJsonObject &o)
{
    KeptEdit edit;
    edit.table = o.value("table").toString();
    edit.rowid = o.value("rowid").toInteger();
    edit.record = o.value("record").toString();
    edit.kept = QDateTime::fromString(o.value("kept").toString(), Qt::ISODate);
    for (const QJsonValue &v : o.value("values").toArray())
        edit.values.emplace_back(v.toObject().value("column").toString(),
                                 v.toObject().value("value").toVariant());
    return edit;
}

void writeAll(const QString &dbPath, const std::vector<KeptEdit> &edits)
{
    const QString path = pathFor(dbPath);
    if (edits.empty()) {
        discard(dbPath);
        return;
    }
    QJsonArray all;
    for (const KeptEdit &e : edits)
        all.append(toJson(e));
    try {
        DurableFile::Output out(path);
        out.write(QJsonDocument(all).toJson());
        out.commit();
    } catch (const DataError &e) {
        throw DataError(QStringLiteral("What you typed could not be kept in %1: %2").arg(path, e.description()));
    }
}

// Writes one kept edit through a record source, so dates, yes/no fields and
// the history go as they would from the window.
void writeOne(const KeptEdit &edit)
{
    RecordSource rs;
    rs.setConnectionString(QString::fromLatin1(ConnectionStrings::kBound));
    QString sql = QStringLiteral("SELECT * FROM \"%1\"").arg(QString(edit.table).replace('"', "\"\""));
    if (edit.rowid != 0)
        sql += QStringLiteral(" WHERE rowid = %1").arg(edit.rowid);
    rs.setRecordSource(sql);
    rs.open();
    if (edit.rowid == 0)
        rs.addNew();
    else if (!rs.moveToRowid(edit.rowid))
        throw DataError(QStringLiteral("the row is no longer in the logbook"));
    for (const auto &[column, value] : edit.values)
        rs.setValue(column, value);
    rs.update();
}

} // namespace

QString pathFor(const QString &dbPath)
{
    return QFileInfo(dbPath).dir().filePath(QStringLiteral("velnora-recovery.json"));
}

void keep(const QString &dbPath, const std::vector<KeptEdit> &edits)
{
    std::vector<KeptEdit> all = kept(dbPath);
    all.insert(all.end(), edits.begin(), edits.end());
    writeAll(dbPath, all);
}

std::vector<KeptEdit> kept(const QString &dbPath)
{
    QFile file(pathFor(dbPath));
    if (!file.exists())
        return {};
    if (!file.open(QIODevice::ReadOnly))
        throw DataError(QStringLiteral("The recovery file %1 cannot be read: %2").arg(file.fileName(), file.errorString()));
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &error);
    if (error.error != QJsonParseError::NoError || !doc.isArray())
        throw DataError(QStringLiteral("The recovery file %1 is damaged (%2); it was left as it is.")
                            .arg(file.fileName(), error.errorString()));
    std::vector<KeptEdit> edits;
    for (const QJsonValue &v : doc.array())
        edits.push_back(fromJson(v.toObject()));
    return edits;
}

QStringList describe(const std::vector<KeptEdit> &edits)
{
    QStringList lines;
    for (const KeptEdit &e : edits) {
        QStringList values;
        for (const auto &[column, value] : e.values)
            values << QStringLiteral("%1 = %2").arg(column, value.toString());
        lines << QStringLiteral("%1: %2").arg(e.record, values.join(QStringLiteral("; ")));
    }
    return lines;
}

int writeBack(const QString &dbPath, QStringList *failures)
{
    std::vector<KeptEdit> left;
    int written = 0;
    for (const KeptEdit &edit : kept(dbPath)) {
        try {
            writeOne(edit);
            ++written;
        } catch (const std::exception &e) {
            left.push_back(edit);
            if (failures)
                *failures << QStringLiteral("%1: %2").arg(edit.record, QString::fromUtf8(e.what()));
        }
    }
    writeAll(dbPath, left);
    return written;
}

void discard(const QString &dbPath)
{
    QFile::remove(pathFor(dbPath));
}

} // namespace Recovery
