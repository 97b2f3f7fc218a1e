#include "support/testsupport.h"

#include "app/allwindows.h"
#include "data/jetdialect.h"
#include "ui/logbookdeclaration.h"

#include "ui/windows.h"

#include "data/dataerror.h"
#include "data/messages.h"
#include "data/store.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProcess>
#include <QTimer>
#include <QtTest>

#include <utility>
#include <csignal>
#include <sys/resource.h>

#include <ctime>

ScopedWorkDir::ScopedWorkDir() : m_previous(QDir::currentPath())
{
    QDir::setCurrent(m_dir.path());
}

ScopedWorkDir::~ScopedWorkDir()
{
    QDir::setCurrent(m_previous);
}

MessageRecorder::MessageRecorder()
{
    Messages::setShowHandler([this](const QString &text, const QString &title) {
        shown << text;
        titles << title;
    });
    Messages::setInputHandler([this](const QString &prompt, const QString &, const QString &) {
        prompts << prompt;
        return answers.isEmpty() ? QString() : answers.takeFirst();
    });
    Messages::setBeepHandler([this] { ++beeps; });
    // A question is a box too: shown, and answered from `answers` ("yes").
    Messages::setAskHandler([this](const QString &question, const QString &title) {
        shown << question;
        titles << title;
        return !answers.isEmpty() && answers.takeFirst() == QLatin1String("yes");
    });
}

QStringList MessageRecorder::take()
{
    return std::exchange(shown, {});
}

MessageRecorder::~MessageRecorder()
{
    // A box nobody expected fails the test that showed it (unless it has
    // failed already, when the boxes are what its failure left behind).
    if (!shown.isEmpty() && !QTest::currentTestFailed())
        QTest::qFail(qPrintable("unexpected message box: \"" + shown.join("\" | \"") + "\""), __FILE__,
                     __LINE__);
    Messages::setShowHandler([](const QString &, const QString &) {});
    Messages::setInputHandler([](const QString &, const QString &, const QString &) { return QString(); });
    Messages::setBeepHandler([] {});
    Messages::setAskHandler([](const QString &, const QString &) { return false; });
}

QVariant dbValue(const QString &db, const QString &sql)
{
    Store store(db, false);
    const QueryResult r = store.query(sql);
    return r.rows.empty() ? QVariant() : r.rows[0][0];
}

QStringList dbColumn(const QString &db, const QString &sql)
{
    Store store(db, false);
    QStringList out;
    for (const auto &row : store.query(sql).rows)
        out << row[0].toString();
    return out;
}

void dbExec(const QString &db, const QString &sql)
{
    Store(db, false).execute(sql);
}

QString dataErrorOf(const std::function<void()> &f)
{
    try {
        f();
    } catch (const DataError &e) {
        return e.description();
    }
    return {};
}

namespace {
CliRun runCliIn(QProcess &p, const QStringList &args, const QString &dir)
{
    p.setWorkingDirectory(dir);
    p.start(qEnvironmentVariable("VELNORA_CLI"), args);
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit)
        return {-1, {}, "did not finish normally"};
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}
} // namespace

CliRun runCli(const QStringList &args, const QString &dir)
{
    QProcess p;
    return runCliIn(p, args, dir);
}

CliRun runCliOnFullDisk(const QStringList &args, const QString &dir, qint64 fileBytes)
{
    QProcess p;
    p.setChildProcessModifier([fileBytes] {
        // A write past the limit then fails with EFBIG instead of ending the process.
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{rlim_t(fileBytes), rlim_t(fileBytes)};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    });
    return runCliIn(p, args, dir);
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY2(f.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
    f.write(bytes);
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void copyLayouts(const QString &dir)
{
    const QDir assets(assetsDir());
    for (const QString &f : assets.entryList({"*.rpt"}))
        QVERIFY(QFile::copy(assets.filePath(f), QDir(dir).filePath(f)));
}

void copyAssets(const QString &folder, const QString &pattern)
{
    const QDir source(QDir(assetsDir()).filePath(folder));
    QVERIFY(QDir().mkpath(folder));
    for (const QString &f : source.entryList({pattern}, QDir::Files))
        QVERIFY(QFile::copy(source.filePath(f), folder + '/' + f));
}

static QString toolOutput(const QString &tool, const QStringList &args)
{
    QProcess p;
    p.start(tool, args);
    p.waitForFinished();
    return QString::fromUtf8(p.readAllStandardOutput());
}

QString oalSchemaErrors(const QString &path)
{
    QProcess p;
    p.start("xmllint", {"--noout", "--schema", QStringLiteral(VELNORA_FIXTURES_DIR "/oal/oal21.xsd"), path});
    if (!p.waitForFinished(60000))
        return "xmllint did not run";
    return p.exitCode() == 0 ? QString() : QString::fromUtf8(p.readAllStandardError()).left(2000);
}

QString pdfText(const QString &path)
{
    return toolOutput("pdftotext", {"-layout", path, "-"});
}

QString pdfInfo(const QString &path)
{
    return toolOutput("pdfinfo", {path});
}

int pdfPageCount(const QString &path)
{
    const QString pages = pdfInfo(path).section("Pages:", 1).simplified().section(' ', 0, 0);
    return pages.isEmpty() ? -1 : pages.toInt();
}

void clickButton(QWidget *window, const QString &name)
{
    auto *b = window->findChild<QAbstractButton *>(name);
    QVERIFY2(b, qPrintable(name));
    b->click();
}

void activateItem(QComboBox *box, const QString &text)
{
    const int i = box->findText(text);
    QVERIFY2(i >= 0, qPrintable(text));
    box->setCurrentIndex(i);
    emit box->activated(i);
}

void whenShown(const QString &name, std::function<void(QWidget *)> check)
{
    QTimer::singleShot(0, qApp, [name, check] {
        QPointer<QWidget> w = Windows::find(name);
        QVERIFY2(w && w->isVisible() && w->windowModality() != Qt::NonModal,
                 qPrintable(name + " is not shown modal"));
        check(w);
        auto *timer = w ? w->findChild<QTimer *>("Timer1") : nullptr;
        if (w && w->isVisible() && !(timer && timer->isActive()))
            w->close();
    });
}

void closeTopLevels()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->isVisible())
            w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void openWorkspace(std::unique_ptr<ScopedWorkDir> &dir, std::unique_ptr<MessageRecorder> &messages,
                   bool starter)
{
    dir = std::make_unique<ScopedWorkDir>();
    messages = std::make_unique<MessageRecorder>();
    Store::createFromStarter(dir->file("velnora.db"), starter ? QString() : dir->file("no-starter.sql"));
}

void closeWorkspace(std::unique_ptr<ScopedWorkDir> &dir, std::unique_ptr<MessageRecorder> &messages)
{
    Windows::closeAll();
    closeTopLevels();
    // A window that refused to close (its message fails the test) is torn
    // down all the same, so that the next test starts without it.
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->isVisible()) {
            w->hide();
            w->deleteLater();
        }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    messages.reset();
    dir.reset();
}

void ScratchTest::init()
{
    m_dir = std::make_unique<ScopedWorkDir>();
}

void ScratchTest::cleanup()
{
    m_dir.reset();
}

void WorkspaceTest::init()
{
    openWorkspace(m_dir, m_messages, m_starter);
    AllWindows::registerAll();
}

void WorkspaceTest::cleanup()
{
    closeWorkspace(m_dir, m_messages);
}

QString textOf(const QWidget *root, const QString &name)
{
    QObject *o = root->findChild<QObject *>(name);
    if (auto *e = qobject_cast<QLineEdit *>(o))
        return e->text();
    if (auto *t = qobject_cast<QPlainTextEdit *>(o))
        return t->toPlainText();
    if (auto *l = qobject_cast<QLabel *>(o))
        return l->text();
    if (auto *b = qobject_cast<QAbstractButton *>(o))
        return b->text();
    if (auto *c = qobject_cast<QComboBox *>(o))
        return c->currentText();
    return "<no " + name + ">";
}

QStringList textsOf(const QWidget *root, const QStringList &names)
{
    QStringList out;
    for (const QString &n : names)
        out << textOf(root, n);
    return out;
}

QString overlappingButtons(QWidget *window)
{
    QCoreApplication::processEvents();
    QList<QAbstractButton *> buttons;
    for (QAbstractButton *b : window->findChildren<QAbstractButton *>())
        if (b->isVisibleTo(window) && !qobject_cast<QCheckBox *>(b) && b->width() > 0)
            buttons << b;
    QStringList pairs;
    for (int i = 0; i < buttons.size(); ++i)
        for (int j = i + 1; j < buttons.size(); ++j) {
            const QRect a(buttons[i]->mapTo(window, QPoint(0, 0)), buttons[i]->size());
            const QRect b(buttons[j]->mapTo(window, QPoint(0, 0)), buttons[j]->size());
            if (a.intersects(b))
                pairs << buttons[i]->objectName() + "/" + buttons[j]->objectName();
        }
    return pairs.join(", ");
}

void setTexts(QWidget *root, const QList<std::pair<QString, QString>> &namesAndTexts)
{
    for (const auto &[name, text] : namesAndTexts) {
        QObject *o = root->findChild<QObject *>(name);
        if (auto *e = qobject_cast<QLineEdit *>(o))
            e->setText(text);
        else if (auto *t = qobject_cast<QPlainTextEdit *>(o))
            t->setPlainText(text);
        else if (auto *c = qobject_cast<QComboBox *>(o))
            c->setCurrentText(text);
        else
            QFAIL(qPrintable("no text control " + name));
    }
}

const QStringList &windowQueries()
{
    // The logbooks' own statements come from their declarations; these are
    // the other windows' (the aids, the month view, the SAC filters, the search).
    static const char *const others[] = {
        "select * from sac72 order by id",
        "select completed,rating,Best_notes,notes,best_info_notes,CON,DEC,ID,best_number,MAG,NGC_DESCR,NOTES,"
        "OBJECT,RA,SIZE_MAX,SIZE_MIN,TYPE,tele,date,location,magnification,condititons,hour,view_notes,"
        "utctime,"
        "BCHM from Sac72\nwhere BCHM like '%B%'\norder by best_number",
        "select * from seeing order by number",
        "select * from trans order by number",
        "select notes1,notes2,notes3,notes4,notes5,notes6, notes7,notes8  from ngc_description_notes",
        "select notes,view_month from month_view where view_month=   'March Notes' ",
        "select * from sac72 where BCHM like '%M%' order by other",
        "select * from sac72 where BCHM like '%B%' order by other",
        "select * from sac72 where BCHM like '%C%' order by other",
        "select * from sac72 where BCHM like '%H%' order by other",
        "update sac72 set report = null",
        " select "
        "SUBR,completed,OBJECT,OTHER,CLASS,TYPE,CON,RA,DEC,MAG,U2K,TI,NSTS,BRSTR,SIZE_MAX,SIZE_MIN,photo,"
        "NGC_DESCR,NOTES from Sac72 Where RA between '00 00.0' and '24 00.0' And ngc1 like '*'",
    };
    static const QStringList queries = [] {
        AllWindows::registerAll();
        QStringList out;
        auto add = [&out](const QString &q) {
            if (!out.contains(q))
                out << q;
        };
        for (const QString &q : LogbookDeclarations::queries()) {
            if (JetDialect::isShapeCommand(q)) {
                const JetDialect::ShapeCommand shape = JetDialect::parseShape(q);
                add(shape.parentSql);
                add(shape.childSql);
            } else {
                add(q);
            }
        }
        for (const char *q : others)
            add(QString::fromUtf8(q));
        return out;
    }();
    return queries;
}

const char *const kPlanetShape =
    "SHAPE {select "
    "asteroid,mass,volume,atmosphere,completed,day,Diameter,Distance,Gravity,id,moon,name,notes,"
    "Orbital_period,sort,sort_old from planet Order by sort} AS ParentCMD APPEND ({select CN,id,"
    "Instrument_Used,Magnification_Used,Trans,Seeing,Observing_Location,Local_Date,Local_Time,UTC,Notes from "
    "planet_log } AS ChildCMD RELATE id TO id) AS ChildCMD";

double cpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}
