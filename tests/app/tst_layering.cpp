// The layers of src/ as the includes draw them: a file includes only its
// own layer and those below it, a window never includes another folder's
// window, and no two files include each other round a circle.
#include <QDirIterator>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

#include <functional>

namespace {

const QString kSource = QStringLiteral(VELNORA_SOURCE_DIR);

// Layer of a file under src/ by its path ("data/store.cpp"): 1 data, 2 logic
// beside windows, 3 the widget kit, 4 windows, 5 composition roots.
int layerOf(const QString &path)
{
    static const QRegularExpression window(
        QStringLiteral("(windows?|forms?|widgets?|dialogs?|ui)\\.(cpp|h)$"));
    const QString top = path.section('/', 0, 0);
    if (top == "data")
        return 1;
    if (top == "ui")
        return 3;
    if (top == "aids" || top == "tonight" || top == "search" || top == "reports")
        return window.match(path).hasMatch() ? 4 : 2;
    if (top == "shell" || top == "logbooks")
        return 4;
    if (top == "app" || top == "cli")
        return 5;
    return 0;
}

// The folder a window belongs to: each logbook is a folder of its own.
QString windowFolder(const QString &path)
{
    return path.startsWith("logbooks/") ? path.section('/', 0, 1) : path.section('/', 0, 0);
}

// Why `from` may not include `to`, or empty when it may.
QString breach(const QString &from, const QString &to)
{
    const int a = layerOf(from), b = layerOf(to);
    if (a == 0 || b == 0)
        return QStringLiteral("outside the layers");
    if (b > a)
        return QStringLiteral("runs up from layer %1 to layer %2").arg(a).arg(b);
    if (a == 4 && b == 4 && windowFolder(from) != windowFolder(to))
        return QStringLiteral("runs across from %1 to %2").arg(windowFolder(from), windowFolder(to));
    return QString();
}

struct Include
{
    QString file;
    int line;
    QString target;
};

std::vector<Include> includesOf(const QString &path, const QByteArray &text)
{
    static const QRegularExpression quoted(QStringLiteral("^\\s*#\\s*include\\s+\"([^\"]+)\""));
    std::vector<Include> out;
    int line = 0;
    for (const QByteArray &l : text.split('\n')) {
        ++line;
        const QRegularExpressionMatch m = quoted.match(QString::fromUtf8(l));
        if (m.hasMatch())
            out.push_back({path, line, m.captured(1)});
    }
    return out;
}

std::vector<Include> allIncludes()
{
    std::vector<Include> out;
    QDirIterator it(kSource, {"*.h", "*.cpp"}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            continue;
        for (Include &i : includesOf(path.mid(kSource.size() + 1), f.readAll()))
            out.push_back(std::move(i));
    }
    return out;
}

QString unitOf(const QString &path)
{
    return path.section('.', 0, -2);
}

// A circle of units (a file pair counts as one) that include each other, as
// "a -> b -> a"; empty when there is none.
QString findCycle(const std::vector<Include> &includes)
{
    QHash<QString, QSet<QString>> edges;
    for (const Include &i : includes)
        if (unitOf(i.file) != unitOf(i.target))
            edges[unitOf(i.file)].insert(unitOf(i.target));
    QHash<QString, int> state; // 1 on the path, 2 done
    QStringList path;
    std::function<QString(const QString &)> visit = [&](const QString &u) -> QString {
        state[u] = 1;
        path << u;
        for (const QString &v : edges.value(u)) {
            if (state.value(v) == 1)
                return (path.mid(path.indexOf(v)) << v).join(" -> ");
            if (state.value(v) == 0)
                if (QString c = visit(v); !c.isEmpty())
                    return c;
        }
        path.removeLast();
        state[u] = 2;
        return QString();
    };
    QStringList units = edges.keys();
    units.sort();
    for (const QString &u : units)
        if (state.value(u) == 0)
            if (QString c = visit(u); !c.isEmpty())
                return c;
    return QString();
}

} // namespace

class TestLayering : public QObject
{
    Q_OBJECT

private slots:
    void everyIncludeRunsDownOrWithin()
    {
        const std::vector<Include> includes = allIncludes();
        QVERIFY2(includes.size() > 500, "the source tree was not found");
        QStringList breaches;
        for (const Include &i : includes)
            if (const QString why = breach(i.file, i.target); !why.isEmpty())
                breaches
                    << QStringLiteral("%1:%2 includes %3: %4").arg(i.file).arg(i.line).arg(i.target, why);
        QVERIFY2(breaches.isEmpty(), qPrintable(breaches.join('\n')));
    }

    void noIncludeCircles()
    {
        const QString cycle = findCycle(allIncludes());
        QVERIFY2(cycle.isEmpty(), qPrintable("include circle: " + cycle));
    }

    // The rule itself: what it lets through and what it stops.
    void theRuleStopsWhatRunsUpOrAcross()
    {
        QVERIFY(breach("tonight/tonightwindow.cpp", "tonight/tonightplanner.h").isEmpty());
        QVERIFY(breach("app/allwindows.cpp", "logbooks/sac/saclogbook.h").isEmpty());
        QCOMPARE(breach("tonight/tonightplanner.cpp", "tonight/tonightwindow.h"),
                 "runs up from layer 2 to layer 4");
        QCOMPARE(breach("logbooks/best/bestwindow.cpp", "aids/mapwindow.h"),
                 "runs across from logbooks/best to aids");
        QCOMPARE(breach("logbooks/sac/sacwindow.cpp", "logbooks/messier/messierwindow.h"),
                 "runs across from logbooks/sac to logbooks/messier");
    }

    void circlesAreFound()
    {
        const std::vector<Include> circle = {{"reports/a.cpp", 1, "reports/b.h"},
                                             {"reports/b.cpp", 1, "reports/c.h"},
                                             {"reports/c.h", 1, "reports/a.h"},
                                             {"reports/a.cpp", 2, "reports/a.h"}};
        QCOMPARE(findCycle(circle), "reports/a -> reports/b -> reports/c -> reports/a");
        QVERIFY(findCycle({circle[0], circle[1], circle[3]}).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestLayering)
#include "tst_layering.moc"
