#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>

#include <functional>
#include <memory>
#include <utility>

class QComboBox;
class QWidget;

// Runs a test in a fresh temporary working directory and restores the old one.
// Seconds of processor time this process has used: a speed check measured
// with it does not fail because other programs share the machine.
double cpuSeconds();

class ScopedWorkDir
{
public:
    ScopedWorkDir();
    ~ScopedWorkDir();
    QString path() const { return m_dir.path(); }
    QString file(const QString &name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
    QString m_previous;
};

// Replaces the message, input and beep boxes for the lifetime of the object:
// every text shown is recorded, input boxes are answered from `answers` in
// order (a null QString stands for Cancel), beeps are counted.
//
// A message box is a failure unless the test expected it: the test takes the
// texts it expects with take(), and any text still in `shown` when the
// recorder ends (at cleanup, through closeWorkspace) fails the test that
// caused it, naming the texts.
class MessageRecorder
{
public:
    MessageRecorder();
    ~MessageRecorder();
    // The texts shown since the last take(), which the test thereby expects.
    QStringList take();
    QStringList shown;
    QStringList titles;
    QStringList prompts;
    QStringList answers;
    int beeps = 0;
};

// The first value `sql` gives on the store at `db`, null when it gives no row.
QVariant dbValue(const QString &db, const QString &sql);
// The first column of every row `sql` gives, as text.
QStringList dbColumn(const QString &db, const QString &sql);
void dbExec(const QString &db, const QString &sql);
// The description of the DataError `f` throws; empty when it throws none.
QString dataErrorOf(const std::function<void()> &f);

// velnora-cli (named by $VELNORA_CLI) run to its end in `dir`.
struct CliRun
{
    int code = -1;
    QString out;
    QString err;
};
CliRun runCli(const QStringList &args, const QString &dir);
// The same on a disk that takes no file beyond `fileBytes`: any write past it
// fails as on a full disk (the process's file size limit).
CliRun runCliOnFullDisk(const QStringList &args, const QString &dir, qint64 fileBytes);

void writeFile(const QString &path, const QByteArray &bytes);
// The whole file; empty when it cannot be read.
QByteArray readFile(const QString &path);
// Copies every layout that comes with the program into `dir`.
void copyLayouts(const QString &dir);
// Copies the program's own files of `folder` ("map", "pics/planets") that
// match `pattern` into that folder under the working directory.
void copyAssets(const QString &folder, const QString &pattern = "*");
// What xmllint says against the OpenAstronomyLog 2.1 schema; empty when the
// document is valid.
QString oalSchemaErrors(const QString &path);
// What pdftotext -layout and pdfinfo print for a PDF.
QString pdfText(const QString &path);
QString pdfInfo(const QString &path);
// The page count pdfinfo reports; -1 when it reports none.
int pdfPageCount(const QString &path);

// Clicks the named button of `window`; fails the test when there is none.
void clickButton(QWidget *window, const QString &name);
// Picks `text` in a combo box as the user does, so that activated() fires.
void activateItem(QComboBox *box, const QString &text);
// Runs `check` on the named modal window once its own event loop runs, then closes it unless it closes itself (an active
// "Timer1"), so that a failed check cannot hang the test.
void whenShown(const QString &name, std::function<void(QWidget *)> check);
// Closes every visible top-level window and deletes what closing released.
void closeTopLevels();
// What most tests start from: a fresh working directory holding velnora.db
// (the starter data, or only the schema and the defaults row) and recorded
// message boxes; closeWorkspace closes every window and drops both.
void openWorkspace(std::unique_ptr<ScopedWorkDir> &dir, std::unique_ptr<MessageRecorder> &messages,
                   bool starter = true);
void closeWorkspace(std::unique_ptr<ScopedWorkDir> &dir, std::unique_ptr<MessageRecorder> &messages);

// A test class whose every case runs in a fresh working directory (m_dir).
// A class with more to set up defines its own init() and calls this one's
// first (cleanup() likewise, last).
class ScratchTest : public QObject
{
    Q_OBJECT
protected:
    QString db() const { return m_dir->file("velnora.db"); }
    // The first value `sql` gives on the case's velnora.db.
    QVariant db(const QString &sql) const { return dbValue(db(), sql); }
    // velnora-cli run to its end in the case's directory.
    CliRun run(const QStringList &args) const { return runCli(args, m_dir->path()); }
    std::unique_ptr<ScopedWorkDir> m_dir;
protected slots:
    void init();
    void cleanup();
};

// The same, opened as openWorkspace opens it (m_messages records the boxes),
// with every window registered.
class WorkspaceTest : public ScratchTest
{
    Q_OBJECT
public:
    explicit WorkspaceTest(bool starter = true) : m_starter(starter) {}
protected:
    std::unique_ptr<MessageRecorder> m_messages;
protected slots:
    void init();
    void cleanup();
private:
    bool m_starter;
};

// The text a named control under `root` shows (a line edit's, text box's,
// label's, button's or combo box's); "<no NAME>" when there is no such control.
QString textOf(const QWidget *root, const QString &name);
QStringList textsOf(const QWidget *root, const QStringList &names);
// The pairs of visible buttons of `window` that lie over each other
// ("Command13/Command6"); empty when each can be pressed.
QString overlappingButtons(QWidget *window);
// Types into named controls under `root` as a user does (line edit, text box,
// or the edit text of a combo box); fails the test on a name that is none.
void setTexts(QWidget *root, const QList<std::pair<QString, QString>> &namesAndTexts);

// The statements the windows run on the store, as they write them, and the
// solar-system logbook's SHAPE command.
const QStringList &windowQueries();
extern const char *const kPlanetShape;
