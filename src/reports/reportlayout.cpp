#include "reports/reportlayout.h"

#include "reports/reporterror.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>

namespace {

// Reads one JSON object strictly: every key must be known, so that a typing
// error in a layout is reported instead of silently ignored.
class Reader
{
public:
    Reader(const QJsonObject &object, const QString &where, const QString &file)
        : m_object(object), m_where(where), m_file(file)
    {
    }

    [[noreturn]] void fail(const QString &key, const QString &what) const
    {
        const QString path = m_where.isEmpty() ? key : (key.isEmpty() ? m_where : m_where + "." + key);
        throw ReportFailure(ReportErrors::LayoutInvalid, m_file + ": " + path + " " + what);
    }

    void allow(std::initializer_list<const char *> keys) const
    {
        QSet<QString> known;
        for (const char *k : keys)
            known.insert(QString::fromLatin1(k));
        for (auto it = m_object.begin(); it != m_object.end(); ++it)
            if (!known.contains(it.key()))
                fail(it.key(), "is not a layout setting (known here: " + QStringList(known.values()).join(", ") +
                                   ")");
    }

    bool has(const char *key) const { return m_object.contains(QLatin1String(key)); }
    QJsonValue value(const char *key) const { return m_object.value(QLatin1String(key)); }

    QString string(const char *key, const QString &fallback = QString()) const
    {
        const QJsonValue v = value(key);
        if (v.isUndefined())
            return fallback;
        if (!v.isString())
            fail(key, "must be a text in double quotes");
        return v.toString();
    }

    // A text, or a list of texts joined by line breaks (long queries read
    // better one clause a line).
    QString text(const char *key) const
    {
        const QJsonValue v = value(key);
        if (v.isArray()) {
            QStringList lines;
            for (const QJsonValue &line : v.toArray()) {
                if (!line.isString())
                    fail(key, "must be a text or a list of texts");
                lines << line.toString();
            }
            return lines.join('\n');
        }
        return string(key);
    }

    double number(const char *key, double fallback, double min, double max) const
    {
        const QJsonValue v = value(key);
        if (v.isUndefined())
            return fallback;
        if (!v.isDouble() || v.toDouble() < min || v.toDouble() > max)
            fail(key, QString("must be a number from %1 to %2").arg(min).arg(max));
        return v.toDouble();
    }

    bool boolean(const char *key, bool fallback = false) const
    {
        const QJsonValue v = value(key);
        if (v.isUndefined())
            return fallback;
        if (!v.isBool())
            fail(key, "must be true or false");
        return v.toBool();
    }

    QString choice(const char *key, const QStringList &choices, const QString &fallback) const
    {
        const QString v = string(key, fallback);
        if (!choices.contains(v))
            fail(key, "must be one of " + choices.join(", ") + " (not \"" + v + "\")");
        return v;
    }

    QJsonArray array(const char *key) const
    {
        const QJsonValue v = value(key);
        if (v.isUndefined())
            return {};
        if (!v.isArray())
            fail(key, "must be a list in square brackets");
        return v.toArray();
    }

    Reader child(const QJsonValue &v, const QString &name) const
    {
        const QString path = m_where.isEmpty() ? name : m_where + "." + name;
        if (!v.isObject())
            throw ReportFailure(ReportErrors::LayoutInvalid, m_file + ": " + path + " must be an object in braces");
        return Reader(v.toObject(), path, m_file);
    }

    const QString &file() const { return m_file; }

private:
    QJsonObject m_object;
    QString m_where;
    QString m_file;
};

QString lineAndColumn(const QByteArray &json, int offset)
{
    int line = 1;
    int column = 1;
    for (int i = 0; i < offset && i < json.size(); ++i) {
        if (json[i] == '\n') {
            ++line;
            column = 1;
        } else {
            ++column;
        }
    }
    return QString("line %1, column %2").arg(line).arg(column);
}

const QStringList kFormats = {"", "date", "check", "yes"};
const QRegularExpression kNumberFormat(R"(^0(\.0+)?$)");

ReportField readField(const Reader &r, bool column)
{
    if (column)
        r.allow({"field", "heading", "width", "align", "format", "prefix", "suffix", "hide", "writeIn", "wrap"});
    else
        r.allow({"field", "label", "format", "prefix", "suffix", "hide", "writeIn"});
    ReportField f;
    f.field = r.string("field");
    f.label = r.string(column ? "heading" : "label");
    f.writeIn = r.boolean("writeIn");
    if (f.field.isEmpty() && !f.writeIn)
        r.fail("field", "is missing (or set \"writeIn\": true for a blank to fill in)");
    if (!f.field.isEmpty() && f.writeIn)
        r.fail("writeIn", "cannot be used with a field: a write-in space is blank");
    if (column) {
        f.width = r.number("width", 1, 0.1, 1000);
        const QString align = r.choice("align", {"left", "center", "right"}, "left");
        f.align = align == "right" ? Qt::AlignRight : (align == "center" ? Qt::AlignHCenter : Qt::AlignLeft);
        f.wrap = r.boolean("wrap", true);
    }
    f.format = r.string("format");
    if (!kFormats.contains(f.format) && !kNumberFormat.match(f.format).hasMatch())
        r.fail("format", "must be \"date\", \"check\", \"yes\" or a number format such as \"0.0\" (not \"" +
                             f.format + "\")");
    f.prefix = r.string("prefix");
    f.suffix = r.string("suffix");
    for (const QJsonValue &h : r.array("hide")) {
        if (h.isString())
            f.hide << h.toString();
        else if (h.isDouble())
            f.hide << QString::number(h.toDouble(), 'g', 15);
        else
            r.fail("hide", "must list texts or numbers");
    }
    return f;
}

std::vector<ReportField> readFields(const Reader &r, const char *key, bool columns)
{
    std::vector<ReportField> out;
    const QJsonArray list = r.array(key);
    for (int i = 0; i < list.size(); ++i)
        out.push_back(readField(r.child(list[i], QString("%1[%2]").arg(key).arg(i)), columns));
    return out;
}

void checkTemplate(const Reader &r, const char *key, const QString &text, const QStringList &allowed)
{
    for (const QString &name : templateFields(text))
        if (!allowed.isEmpty() && !allowed.contains(name))
            r.fail(key, "names {" + name + "}; only " + allowed.join(", ") + " can be used here");
}

} // namespace

QStringList templateFields(const QString &text)
{
    static const QRegularExpression placeholder(R"(\{([A-Za-z_][A-Za-z0-9_]*)\})");
    QStringList names;
    for (auto it = placeholder.globalMatch(text); it.hasNext();)
        names << it.next().captured(1);
    return names;
}

ReportLayout ReportLayout::parse(const QByteArray &json, const QString &fileName)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        throw ReportFailure(ReportErrors::LayoutInvalid, fileName + ": " + lineAndColumn(json, error.offset) +
                                                              ": " + error.errorString());
    if (!doc.isObject())
        throw ReportFailure(ReportErrors::LayoutInvalid, fileName + ": a layout is one object in braces");

    const Reader r(doc.object(), QString(), fileName);
    r.allow({"format", "kind", "title", "subtitle", "orientation", "paper", "fontSize", "rows", "sort", "group",
             "columns", "details", "rowLines", "ruled", "count", "empty", "emptyList", "pictures", "heading", "sections", "fields",
             "fieldColumns", "noteLines", "notesLabel", "sketch", "pageBreak"});

    ReportLayout l;
    l.fileName = fileName;
    if (r.string("format") != "velnora-report 1")
        r.fail("format", "must be \"velnora-report 1\"");
    l.kind = r.choice("kind", {"table", "sheet"}, "table") == "sheet" ? Kind::Sheet : Kind::Table;
    l.title = r.string("title");
    if (l.title.isEmpty())
        r.fail("title", "is missing");
    l.subtitle = r.string("subtitle");
    l.orientation = r.choice("orientation", {"portrait", "landscape"}, "portrait") == "landscape"
                        ? QPageLayout::Landscape
                        : QPageLayout::Portrait;
    l.paper = r.choice("paper", {"A4", "Letter"}, "A4") == "Letter" ? QPageSize::Letter : QPageSize::A4;
    l.fontSize = r.number("fontSize", 8.5, 5, 24);

    if (!r.has("rows"))
        r.fail("rows", "is missing: give {\"query\": \"select ...\"} or {\"from\": \"Data1\"}");
    const Reader rows = r.child(r.value("rows"), "rows");
    rows.allow({"query", "from"});
    if (rows.has("from")) {
        if (rows.has("query"))
            rows.fail("", "takes either \"query\" or \"from\", not both");
        rows.choice("from", {"Data1"}, "Data1");
        l.source = Source::Data1;
    } else {
        l.query = rows.text("query").trimmed();
        if (l.query.isEmpty())
            rows.fail("query", "is missing");
    }

    const QJsonArray sort = r.array("sort");
    for (int i = 0; i < sort.size(); ++i) {
        const Reader s = r.child(sort[i], QString("sort[%1]").arg(i));
        s.allow({"field", "descending", "numeric", "as"});
        ReportSortKey key{s.string("field"), s.boolean("descending")};
        if (key.field.isEmpty())
            s.fail("field", "is missing");
        const QString as = s.choice("as", {"text", "number", "date", "time"}, s.boolean("numeric") ? "number" : "text");
        key.as = as == "number" ? ReportSortKey::As::Number
                 : as == "date" ? ReportSortKey::As::Date
                 : as == "time" ? ReportSortKey::As::Time
                                : ReportSortKey::As::Text;
        l.sort.push_back(key);
    }
    if (r.has("group")) {
        const Reader g = r.child(r.value("group"), "group");
        g.allow({"field", "heading", "newPage"});
        ReportGroup group;
        group.field = g.string("field");
        if (group.field.isEmpty())
            g.fail("field", "is missing");
        group.heading = g.string("heading", group.heading);
        checkTemplate(g, "heading", group.heading, {"value", "count", "s"});
        group.newPage = g.boolean("newPage");
        l.group = group;
    }

    l.count = r.string("count", l.count);
    checkTemplate(r, "count", l.count, {"n", "s"});
    l.empty = r.string("empty", l.empty);
    if (r.has("emptyList")) {
        const Reader e = r.child(r.value("emptyList"), "emptyList");
        e.allow({"query", "text"});
        l.emptyListQuery = e.text("query").trimmed();
        l.emptyListText = e.string("text");
        if (l.emptyListQuery.isEmpty())
            e.fail("query", "is missing");
        if (l.emptyListText.isEmpty())
            e.fail("text", "is missing");
    }
    if (r.has("pictures")) {
        const Reader p = r.child(r.value("pictures"), "pictures");
        p.allow({"query"});
        l.picturesQuery = p.text("query").trimmed();
        if (l.picturesQuery.isEmpty())
            p.fail("query", "is missing");
    }

    if (l.kind == Kind::Table) {
        for (const char *key :
             {"heading", "sections", "fields", "fieldColumns", "noteLines", "notesLabel", "sketch", "pageBreak"})
            if (r.has(key))
                r.fail(key, "belongs to sheets (\"kind\": \"sheet\")");
        l.columns = readFields(r, "columns", true);
        if (l.columns.empty())
            r.fail("columns", "must list at least one column");
        l.details = readFields(r, "details", false);
        l.rowLines = int(r.number("rowLines", 1, 1, 10));
        l.ruled = r.boolean("ruled");
    } else {
        for (const char *key : {"columns", "details", "rowLines", "ruled"})
            if (r.has(key))
                r.fail(key, "belongs to lists (\"kind\": \"table\")");
        l.heading = r.string("heading");
        if (r.has("fields"))
            l.sections.push_back({QString(), readFields(r, "fields", false)});
        const QJsonArray sections = r.array("sections");
        for (int i = 0; i < sections.size(); ++i) {
            const Reader s = r.child(sections[i], QString("sections[%1]").arg(i));
            s.allow({"heading", "fields"});
            l.sections.push_back({s.string("heading"), readFields(s, "fields", false)});
        }
        if (l.sections.empty())
            r.fail("fields", "is missing: a sheet lists \"fields\" or \"sections\"");
        l.fieldColumns = int(r.number("fieldColumns", 1, 1, 3));
        l.noteLines = int(r.number("noteLines", 0, 0, 40));
        l.notesLabel = r.string("notesLabel", l.notesLabel);
        l.sketch = r.boolean("sketch");
        l.pageBreak = r.boolean("pageBreak");
    }
    return l;
}

ReportLayout ReportLayout::load(const QString &path)
{
    QFile f(path);
    if (!QFileInfo(path).isFile() || !f.open(QIODevice::ReadOnly))
        throw ReportFailure(ReportErrors::FileMissing, "The report layout " + path + " cannot be opened" +
                                                           (QFileInfo::exists(path) ? ": " + f.errorString()
                                                                                    : QString(": no such file")) +
                                                           ".");
    return parse(f.readAll(), QFileInfo(path).fileName());
}

QStringList ReportLayout::fields() const
{
    QStringList out;
    auto add = [&](const QString &name) {
        if (!name.isEmpty() && !out.contains(name, Qt::CaseInsensitive))
            out << name;
    };
    for (const QString &f : templateFields(subtitle) + templateFields(title) + templateFields(heading))
        add(f);
    for (const ReportSortKey &k : sort)
        add(k.field);
    if (group)
        add(group->field);
    for (const ReportField &f : columns)
        add(f.field);
    for (const ReportField &f : details)
        add(f.field);
    for (const ReportSection &s : sections)
        for (const ReportField &f : s.fields)
            add(f.field);
    return out;
}
