#include "logbooks/logbookdeclaration.h"


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
