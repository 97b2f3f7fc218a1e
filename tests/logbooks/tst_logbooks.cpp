// What every logbook shares, checked once over each logbook's declaration:
// the window holds what it declares, "Ins" and "U" copy every pair and store
// the defaults, closing writes what was typed and a refused write keeps the
// window open, and the window fits the screen.
#include "app/allwindows.h"
#include "app/startup.h"
#include "data/recordsource.h"
#include "support/testsupport.h"
#include "ui/controlvalue.h"
#include "ui/logbookdeclaration.h"
#include "ui/logbookwindow.h"
#include "ui/windows.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLayout>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QtTest>

#include <SQLiteCpp/Database.h>

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

class TestLogbooks : public WorkspaceTest
{
    Q_OBJECT
private slots:
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
        QVERIFY(w->findChild<QAction *>("mnuEquipment"));
        // Opened on its first row, and no larger than the screen.
        QVERIFY(w->primary()->isOpen());
        QVERIFY(m_messages->shown.isEmpty());
        const QSize screen = w->screen()->availableGeometry().size();
        QVERIFY(w->width() <= screen.width() && w->height() <= screen.height());
        // Every button can be pressed: none lies over another.
        QVERIFY2(overlappingButtons(w).isEmpty(), qPrintable(overlappingButtons(w)));
    }

    void captionReachesScreenReaders_data() { eachLogbook_data(); }
    void captionReachesScreenReaders()
    {
        QFETCH(QString, name);
        LogbookWindow *w = open(name);
        if (!w)
            QSKIP("not a logbook window");
        // The record caption is read as what it shows, "Record: 1", not as what it is.
        auto *caption = w->findChild<QLabel *>("datPrimaryRS_caption");
        QVERIFY(caption);
        QAccessibleInterface *face = QAccessible::queryAccessibleInterface(caption);
        QVERIFY(face);
        QCOMPARE(face->text(QAccessible::Name), caption->text());
        QCOMPARE(face->text(QAccessible::Description), QString("Record position"));
        if (w->primary()->recordCount() < 2)
            QSKIP("no second row to move to");
        QCOMPARE(face->text(QAccessible::Name), QString("Record: 1"));
        w->navigate(LogbookWindow::Nav::Next);
        QCOMPARE(face->text(QAccessible::Name), QString("Record: 2"));
    }

    void addedRowLeftUntouchedIsDropped_data() { eachLogbook_data(); }
    void addedRowLeftUntouchedIsDropped()
    {
        QFETCH(QString, name);
        LogbookWindow *w = open(name);
        if (!w || w->declaration().table.isEmpty())
            QSKIP("not a logbook window over a table");
        const QString table = w->declaration().table;
        const int before = count(table);
        addRow(w);
        QVERIFY(w->primary()->isDirty());
        // Closed at once: no empty record is stored, and nothing is said.
        QVERIFY(w->close());
        QCOMPARE(count(table), before);
        QVERIFY(m_messages->shown.isEmpty());
    }

    void addedRowWithTextIsWritten_data() { eachLogbook_data(); }
    void addedRowWithTextIsWritten()
    {
        QFETCH(QString, name);
        LogbookWindow *w = open(name);
        if (!w || w->declaration().table.isEmpty())
            QSKIP("not a logbook window over a table");
        const LogbookDeclaration &book = w->declaration();
        const LogbookField *notes = firstField(book, [&](const LogbookField &f) {
            return !f.onDefaults && !f.readOnly && f.kind == LogbookField::Kind::Notes &&
                   w->primary()->columnIndex(f.column) >= 0;
        });
        if (!notes)
            QSKIP("no notes to type");
        const int before = count(book.table);
        addRow(w);
        ControlValue::setText(w->control(notes->objectName), "Found by sweeping");
        QVERIFY(w->close());
        QCOMPARE(count(book.table), before + 1);
        QCOMPARE(db(QString("select %1 from %2 order by rowid desc limit 1").arg(notes->column, book.table))
                     .toString(),
                 QString("Found by sweeping"));
    }

    void updatedAddedRowShowsItsKey_data() { eachLogbook_data(); }
    void updatedAddedRowShowsItsKey()
    {
        QFETCH(QString, name);
        LogbookWindow *w = open(name);
        if (!w || !w->findChild<QAbstractButton *>("cmdAdd") || !w->findChild<QAbstractButton *>("cmdUpdate"))
            QSKIP("no add and update commands");
        const LogbookDeclaration &book = w->declaration();
        const LogbookField *notes = firstField(book, [&](const LogbookField &f) {
            return !f.onDefaults && !f.readOnly && f.kind == LogbookField::Kind::Notes &&
                   w->primary()->columnIndex(f.column) >= 0;
        });
        QVERIFY(notes);
        clickButton(w, "cmdAdd");
        ControlValue::setText(w->control(notes->objectName), "Added, then updated");
        clickButton(w, "cmdUpdate");
        QVERIFY(m_messages->shown.isEmpty());
        // The key the store gave shows at once in the locked box bound to it.
        const QString key = db("select max(rowid) from " + book.table).toString();
        const LogbookField *keyField = firstField(book, [&](const LogbookField &f) {
            return !f.onDefaults && !f.column.isEmpty() && w->primary()->isKeyColumn(f.column);
        });
        if (keyField)
            QCOMPARE(ControlValue::text(w->control(keyField->objectName)), key);
        // Leaving the row writes nothing back over the key, and says nothing.
        QVERIFY(w->navigate(LogbookWindow::Nav::Previous));
        QVERIFY(w->navigate(LogbookWindow::Nav::Last));
        QVERIFY(w->close());
        QCOMPARE(db("select count(*) from " + book.table + " where rowid = " + key).toInt(), 1);
    }

    void exitWithRefusedWriteKeepsMenuDown_data() { eachLogbook_data(); }
    void exitWithRefusedWriteKeepsMenuDown()
    {
        QFETCH(QString, name);
        const LogbookDeclaration *book = LogbookDeclarations::find(name);
        const QString exitItem = exitItemOf(book->menus);
        const LogbookField *date = book->field(book->aids.dateControl);
        if (book->mainMenuButton.row < 0 || exitItem.isEmpty() || !date || date->onDefaults)
            QSKIP("no main-menu button, exit item or date on the record");
        QWidget *first = Windows::show("first");
        clickButton(first, book->mainMenuButton.objectName);
        auto *w = qobject_cast<LogbookWindow *>(Windows::find(name));
        QVERIFY(w && first->isMinimized());
        if (!w->primary()->hasCurrent())
            QSKIP("no row to write");
        auto *button = first->findChild<QAbstractButton *>(book->mainMenuButton.objectName);
        QVERIFY(!button->isEnabled());
        ControlValue::setText(w->control(date->objectName), "the fourth");
        w->findChild<QAction *>(exitItem)->trigger();
        QCOMPARE(m_messages->take().size(), 1);
        // The logbook stays, and so does the main menu: down, the button off.
        QVERIFY(w->isVisible() && first->isMinimized() && !button->isEnabled());
        ControlValue::setText(w->control(date->objectName), "6/1/2026");
        w->findChild<QAction *>(exitItem)->trigger();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!Windows::find(name) && !first->isMinimized() && button->isEnabled());
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
        QVERIFY2(m_messages->shown.isEmpty(), qPrintable(m_messages->shown.join("|")));
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

    // The form scrolls: its scroll bar follows the form as it grows and
    // shrinks, caption changes from row to row notwithstanding.
    void formScrollFollowsItsSize()
    {
        LogbookWindow *w = open("frmngc");
        w->resize(600, 400);
        auto *scroll = w->findChild<QScrollArea *>("formScroll");
        QVERIFY(scroll);
        QCoreApplication::processEvents();
        const int before = scroll->verticalScrollBar()->maximum();
        QVERIFY(before > 0);
        w->primary()->moveNext(); // another row, another observation count
        QCoreApplication::processEvents();
        QCOMPARE(scroll->verticalScrollBar()->maximum(), before);
        auto *extra = new QWidget;
        extra->setMinimumHeight(500);
        scroll->widget()->layout()->addWidget(extra);
        QTRY_VERIFY(scroll->verticalScrollBar()->maximum() >= before + 500);
        delete extra;
        QTRY_COMPARE(scroll->verticalScrollBar()->maximum(), before);
    }

    // A store that takes nothing (another program holds it) never traps the
    // typing in the window nor drops it: the user may keep it in the recovery
    // file and close, and the next start writes it.
    void typingTheStoreRefusesIsKeptForTheNextStart()
    {
        LogbookWindow *w = open("frmmess");
        const LogbookDeclaration &book = w->declaration();
        const LogbookField *notes = firstField(book, [&](const LogbookField &f) {
            return !f.onDefaults && !f.readOnly && f.kind == LogbookField::Kind::Notes;
        });
        const QString stored =
            QString("select %1 from %2 where rowid = %3").arg(notes->column, book.table).arg(w->primary()->currentRowid());
        ControlValue::setText(w->control(notes->objectName), "Kept through a lock");
        {
            SQLite::Database holder(db().toStdString(), SQLite::OPEN_READWRITE);
            holder.exec("BEGIN EXCLUSIVE");
            m_messages->answers << "no";
            QVERIFY(!w->close());
            QStringList shown = m_messages->take();
            QCOMPARE(shown.size(), 2);
            QVERIFY(shown[0].startsWith("The logbook could not be saved: database is locked."));
            QVERIFY(shown[1].startsWith("Keep what you typed in a recovery file"));
            QCOMPARE(ControlValue::text(w->control(notes->objectName)), QString("Kept through a lock"));
            m_messages->answers << "yes";
            QVERIFY(w->close());
            QCOMPARE(m_messages->take().size(), 2);
            holder.exec("ROLLBACK");
        }
        QVERIFY(QFile::exists(m_dir->file("velnora-recovery.json")));
        QVERIFY(db(stored).toString() != "Kept through a lock");
        // Declining at the start keeps the file; accepting writes it, once.
        m_messages->answers << "no";
        QVERIFY(Startup::openStore());
        QVERIFY(m_messages->take().join('|').contains("notes = Kept through a lock"));
        QVERIFY(db(stored).toString() != "Kept through a lock");
        m_messages->answers << "yes";
        QVERIFY(Startup::openStore());
        QCOMPARE(m_messages->take().size(), 1);
        QCOMPARE(db(stored).toString(), QString("Kept through a lock"));
        QVERIFY(!QFile::exists(m_dir->file("velnora-recovery.json")));
        QVERIFY(Startup::openStore());
    }

    // A new logbook that is nothing but a declaration, with no window class of
    // its own, opens on its rows and writes what is typed.
    void aDeclarationAloneIsALogbook()
    {
        using F = LogbookField;
        LogbookDeclaration book;
        book.windowName = "frmplain";
        book.title = "Plain list";
        book.table = "generic";
        book.primaryQuery = "select * from generic";
        book.fields = {F::line("Text1", "Object", "object", "Object"),
                       F::line("Text2", "Location", "location", "Observation")};
        book.columnGroups[0] = {"Object"};
        book.columnGroups[1] = {"Observation"};
        book.navigationButtons[0] = "Command1";
        book.navigationButtons[1] = "Command2";
        book.navigationButtons[2] = "Command3";
        book.navigationButtons[3] = "Command4";
        dbExec(db(), "insert into generic (object) values ('Stock 2')");
        auto *w = new LogbookWindow(book);
        w->setAttribute(Qt::WA_DeleteOnClose);
        w->show();
        QVERIFY(w->primary()->isOpen());
        QCOMPARE(textOf(w, "Text1"), QString("Stock 2"));
        ControlValue::setText(w->control("Text2"), "Hilltop");
        QVERIFY(w->close());
        QCOMPARE(db("select location from generic order by rowid limit 1").toString(), QString("Hilltop"));
        QVERIFY(m_messages->shown.isEmpty());
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

    int count(const QString &table) const { return db("select count(*) from " + table).toInt(); }

    // Adds a row as the window's own "Add" does; through the record source
    // for a logbook without one.
    static void addRow(LogbookWindow *w)
    {
        if (auto *add = w->findChild<QAbstractButton *>("cmdAdd"))
            add->click();
        else
            w->primary()->addNew();
    }

    static QString exitItemOf(const std::vector<LogbookMenuItem> &items)
    {
        for (const LogbookMenuItem &item : items) {
            if (item.action == LogbookMenuItem::Action::ExitLogbook)
                return item.objectName;
            if (const QString inner = exitItemOf(item.children); !inner.isEmpty())
                return inner;
        }
        return QString();
    }
};

QTEST_MAIN(TestLogbooks)
#include "tst_logbooks.moc"
