// What every logbook shares, checked once over each logbook's declaration:
// the window holds what it declares, "Ins" and "U" copy every pair and store
// the defaults, closing writes what was typed and a refused write keeps the
// window open, and the window fits the screen.
#include "app/allwindows.h"
#include "data/recordsource.h"
#include "support/testsupport.h"
#include "ui/controlvalue.h"
#include "ui/logbookdeclaration.h"
#include "ui/logbookwindow.h"
#include "ui/windows.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QScreen>
#include <QtTest>

namespace {

const LogbookField *firstField(const LogbookDeclaration &book,
                               const std::function<bool(const LogbookField &)> &pick)
{
    for (const LogbookField &f : book.fields)
        if (pick(f))
            return &f;
    return nullptr;
}

// A value a control of this column accepts, and how the store keeps it.
std::pair<QString, QString> sampleFor(const LogbookField &f, int i)
{
    if (f.kind == LogbookField::Kind::Check)
        return {"1", "1"};
    const QString c = f.column.toLower();
    if (c == "date" || c == "local_date")
        return {QString("6/%1/2026").arg(i + 1), QString("2026-06-%1").arg(i + 1, 2, 10, QChar('0'))};
    return {QString::number(i + 1), QString::number(i + 1)};
}

void collectActionNames(const std::vector<LogbookMenuItem> &items, QStringList &out)
{
    for (const LogbookMenuItem &item : items) {
        if (!item.objectName.isEmpty())
            out << item.objectName;
        collectActionNames(item.children, out);
    }
}

} // namespace

class TestLogbooks : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        openWorkspace(m_dir, m_messages);
        AllWindows::registerAll();
    }

    void cleanup() { closeWorkspace(m_dir, m_messages); }

    void buildsWhatItDeclares_data() { eachLogbook_data(); }
    void buildsWhatItDeclares()
    {
        QFETCH(QString, name);
        LogbookWindow *w = open(name);
        if (!w)
            QSKIP("not a logbook window");
        const LogbookDeclaration &book = w->declaration();
        QCOMPARE(w->windowTitle(), book.title);
        for (const LogbookField &f : book.fields) {
            QWidget *c = w->control(f.objectName);
            QVERIFY2(c, qPrintable(f.objectName));
            // A screen reader names each field by its label.
            QVERIFY2(!c->accessibleName().isEmpty(), qPrintable(f.objectName));
        }
        QStringList actions;
        collectActionNames(book.menus, actions);
        for (const QString &a : actions)
            QVERIFY2(w->findChild<QAction *>(a), qPrintable(a));
        for (const LogbookAidButton &a : book.aidButtons)
            QVERIFY2(w->control<QAbstractButton>(a.objectName), qPrintable(a.objectName));
        if (!book.table.isEmpty())
            QVERIFY(w->findChild<QAction *>("history"));
        // Opened on its first row, and no larger than the screen.
        QVERIFY(w->primary()->isOpen());
        QVERIFY(m_messages->shown.isEmpty());
        const QSize screen = w->screen()->availableGeometry().size();
        QVERIFY(w->width() <= screen.width() && w->height() <= screen.height());
    }

    void insertAndStoreDefaults_data() { eachLogbook_data(); }
    void insertAndStoreDefaults()
    {
        QFETCH(QString, name);
        LogbookWindow *w = open(name);
        if (!w)
            QSKIP("not a logbook window");
        const LogbookDeclaration &book = w->declaration();
        if (book.copyPairs.empty() || book.insertButton.isEmpty())
            QSKIP("no default values");
        int i = 0;
        QStringList expected;
        for (const auto &[from, to] : book.copyPairs) {
            const LogbookField *f = book.field(from);
            QVERIFY2(f && book.field(to), qPrintable(from + " -> " + to));
            ControlValue::setText(w->control(from), sampleFor(*f, i++).first);
        }
        clickButton(w, book.insertButton);
        for (const auto &[from, to] : book.copyPairs)
            QCOMPARE(ControlValue::text(w->control(to)), ControlValue::text(w->control(from)));

        // "U" copies the record back and writes the defaults row.
        i = 0;
        for (const auto &[from, to] : book.copyPairs)
            ControlValue::setText(w->control(to), sampleFor(*book.field(from), 10 + i++).first);
        clickButton(w, book.storeButton);
        QVERIFY(m_messages->shown.isEmpty());
        i = 0;
        for (const auto &[from, to] : book.copyPairs) {
            const LogbookField *f = book.field(from);
            const QString stored = db("select " + f->column + " from default_sac").toString();
            QCOMPARE(stored, sampleFor(*f, 10 + i++).second);
        }
    }

    void closingWritesWhatWasTyped_data() { eachLogbook_data(); }
    void closingWritesWhatWasTyped()
    {
        QFETCH(QString, name);
        LogbookWindow *w = open(name);
        if (!w)
            QSKIP("not a logbook window");
        const LogbookDeclaration &book = w->declaration();
        const LogbookField *notes = firstField(book, [&](const LogbookField &f) {
            return !f.onDefaults && !f.readOnly && f.kind == LogbookField::Kind::Notes &&
                   w->primary()->columnIndex(f.column) >= 0;
        });
        if (!notes || !w->primary()->hasCurrent())
            QSKIP("no notes on the first row");
        const qint64 row = w->primary()->currentRowid();
        ControlValue::setText(w->control(notes->objectName), "Seen at dawn, low in the east");
        QVERIFY(w->close());
        QCOMPARE(db(QString("select %1 from %2 where rowid = %3").arg(notes->column, book.table).arg(row))
                     .toString(),
                 QString("Seen at dawn, low in the east"));
    }

    void refusedWriteKeepsWindowOpen_data() { eachLogbook_data(); }
    void refusedWriteKeepsWindowOpen()
    {
        QFETCH(QString, name);
        LogbookWindow *w = open(name);
        if (!w)
            QSKIP("not a logbook window");
        const LogbookDeclaration &book = w->declaration();
        const LogbookField *date = book.field(book.aids.dateControl);
        if (!date || date->onDefaults || !w->primary()->hasCurrent())
            QSKIP("no date on the record");
        const qint64 row = w->primary()->currentRowid();
        const QVariant before =
            db(QString("select %1 from %2 where rowid = %3").arg(date->column, book.table).arg(row));
        ControlValue::setText(w->control(date->objectName), "the fourth");
        QVERIFY(!w->close());
        QVERIFY(w->isVisible());
        const QStringList shown = m_messages->take();
        QCOMPARE(shown.size(), 1);
        if (!book.commitFailureMessage.isEmpty())
            QCOMPARE(shown[0], book.commitFailureMessage);
        // The typed text is still there to be mended, and the store unchanged.
        QCOMPARE(ControlValue::text(w->control(date->objectName)), QString("the fourth"));
        QCOMPARE(db(QString("select %1 from %2 where rowid = %3").arg(date->column, book.table).arg(row)),
                 before);
        ControlValue::setText(w->control(date->objectName), "6/1/2026");
        QVERIFY(w->close());
        QCOMPARE(db(QString("select %1 from %2 where rowid = %3").arg(date->column, book.table).arg(row))
                     .toString(),
                 QString("2026-06-01"));
    }

private:
    static void eachLogbook_data()
    {
        QTest::addColumn<QString>("name");
        AllWindows::registerAll();
        for (const LogbookDeclaration *book : LogbookDeclarations::all())
            QTest::newRow(qPrintable(book->windowName)) << book->windowName;
    }

    // The logbook window of a declaration; null for a declaration that only
    // links an observation window to its aids.
    static LogbookWindow *open(const QString &name)
    {
        return qobject_cast<LogbookWindow *>(Windows::show(name));
    }

    QVariant db(const QString &sql) const { return dbValue(m_dir->file("velnora.db"), sql); }

    std::unique_ptr<ScopedWorkDir> m_dir;
    std::unique_ptr<MessageRecorder> m_messages;
};

QTEST_MAIN(TestLogbooks)
#include "tst_logbooks.moc"
