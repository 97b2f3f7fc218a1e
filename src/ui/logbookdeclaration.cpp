#include "ui/logbookdeclaration.h"

const LogbookField *LogbookDeclaration::field(const QString &objectName) const
{
    for (const LogbookField &f : fields)
        if (f.objectName == objectName)
            return &f;
    return nullptr;
}

namespace LogbookParts {

QStringList steps(int from, int to)
{
    QStringList out;
    for (int i = from; i <= to; ++i)
        out << QString::number(i);
    return out;
}

std::vector<LogbookField> defaultFields(const QString &group, const QString &observedBox)
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
        F::check(observedBox, "Observed", "observed", group).ofDefaults(),
    };
}

std::vector<std::pair<QString, QString>> copyPairs(const ObservationControls &r, const QString &observedBox)
{
    return {{"Text15", r.instrument},   {"Text17", r.magnification},
            {"Text18", r.transparency}, {"Text19", r.seeing},
            {"Text20", r.location},     {"Text21", r.date},
            {"Text22", r.time},         {"Text10", r.ut},
            {observedBox, r.observed}};
}

LogbookAidLinks aidLinks(const ObservationControls &r, const QString &utcWindow,
                         const QString &magnificationWindow, const QString &seeingWindow)
{
    LogbookAidLinks a;
    a.dateControl = r.date;
    a.timeControl = r.time;
    a.utControl = r.ut;
    a.magnificationControl = r.magnification;
    a.transparencyControl = r.transparency;
    a.seeingControl = r.seeing;
    a.utcWindow = utcWindow;
    a.seeingWindow = seeingWindow;
    a.magnificationWindow = magnificationWindow;
    return a;
}

} // namespace LogbookParts

namespace LogbookDeclarations {
namespace {

std::vector<const LogbookDeclaration *> &registry()
{
    static std::vector<const LogbookDeclaration *> books;
    return books;
}

} // namespace

void add(const LogbookDeclaration &book)
{
    for (const LogbookDeclaration *&s : registry())
        if (s->windowName == book.windowName) {
            s = &book;
            return;
        }
    registry().push_back(&book);
}

const LogbookDeclaration *find(const QString &windowName)
{
    for (const LogbookDeclaration *s : registry())
        if (s->windowName == windowName)
            return s;
    return nullptr;
}

std::vector<const LogbookDeclaration *> all()
{
    return registry();
}

const LogbookDeclaration *forTonightList(QChar list)
{
    const LogbookDeclaration *best = nullptr;
    for (const LogbookDeclaration *s : registry())
        if (s->tonightLists.contains(list) && (!best || s->tonightLists.size() < best->tonightLists.size()))
            best = s;
    return best;
}

QStringList queries()
{
    QStringList out;
    for (const LogbookDeclaration *s : registry())
        for (const QString &q : QStringList{s->primaryQuery, s->defaultsQuery} + s->otherQueries)
            if (!q.isEmpty() && !out.contains(q))
                out << q;
    return out;
}

} // namespace LogbookDeclarations
