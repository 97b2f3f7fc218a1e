#include "logbooks/logbookdeclaration.h"

QStringList logbookNumbers(int from, int to)
{
    QStringList out;
    for (int i = from; i <= to; ++i)
        out << QString::number(i);
    return out;
}

std::vector<LogbookField> logbookDefaultFields(const QString &group, const QString &check)
{
    using F = LogbookField;
    return {
        F::line("Text15", "Instrument", "inst", group).ofDefaults(),
        F::line("Text17", "Magnification", "mag", group).ofDefaults(),
        F::line("Text18", "Transparency", "trans", group).ofDefaults(),
        F::line("Text19", "Seeing", "see", group).ofDefaults(),
        F::line("Text20", "Location", "location", group).ofDefaults(),
        F::line("Text21", "Date", "date", group).ofDefaults(),
        F::line("Text22", "Time", "time", group).ofDefaults(),
        F::line("Text10", "UT", "ut", group).ofDefaults(),
        F::check(check, "Observed", "observed", group).ofDefaults(),
    };
}

const LogbookField *LogbookSpec::field(const QString &objectName) const
{
    for (const LogbookField &f : fields)
        if (f.objectName == objectName)
            return &f;
    return nullptr;
}

namespace LogbookSpecs {
namespace {

std::vector<const LogbookSpec *> &registry()
{
    static std::vector<const LogbookSpec *> books;
    return books;
}

} // namespace

void add(const LogbookSpec &book)
{
    for (const LogbookSpec *&s : registry())
        if (s->windowName == book.windowName) {
            s = &book;
            return;
        }
    registry().push_back(&book);
}

const LogbookSpec *find(const QString &windowName)
{
    for (const LogbookSpec *s : registry())
        if (s->windowName == windowName)
            return s;
    return nullptr;
}

std::vector<const LogbookSpec *> all()
{
    return registry();
}

QStringList queries()
{
    QStringList out;
    for (const LogbookSpec *s : registry())
        for (const QString &q : QStringList{s->primaryQuery, s->defaultsQuery} + s->otherQueries)
            if (!q.isEmpty() && !out.contains(q))
                out << q;
    return out;
}

} // namespace LogbookSpecs
