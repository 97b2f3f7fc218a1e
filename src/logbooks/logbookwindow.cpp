#include "logbooks/logbookwindow.h"

#include "data/binderwidgets.h"
#include "data/dataerror.h"
#include "data/recordsource.h"
#include "data/store.h"
#include "shell/mainmenuwindow.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>

LogbookWindow::LogbookWindow(const QString &name, const QString &title, QWidget *parent) : QMainWindow(parent)
{
    setObjectName(name);
    setWindowTitle(title);
    m_primary = new RecordSource(this);
    m_primary->setObjectName("datPrimaryRS");
    m_primary->setConnectionString(ConnectionStrings::kBound);
    m_defaults = new RecordSource(this);
    m_defaults->setObjectName("datprimaryrs2");
    m_defaults->setConnectionString(ConnectionStrings::kBound);
    m_defaults->setRecordSource("select * from default_sac");
    m_primaryBinder = new RecordBinder(m_primary, this);
    m_defaultsBinder = new RecordBinder(m_defaults, this);
    MainMenuWindow::logbookLoaded();
}

void LogbookWindow::openSources(const QString &primaryQuery)
{
    m_primary->setRecordSource(primaryQuery);
    for (RecordSource *rs : {m_primary, m_defaults}) {
        try {
            rs->open();
        } catch (const DataError &e) {
            rs->reportError(e);
        }
    }
}

QLineEdit *LogbookWindow::boundLine(const QString &name, const QString &column, bool onDefaults)
{
    auto *e = new QLineEdit(this);
    e->setObjectName(name);
    (onDefaults ? m_defaultsBinder : m_primaryBinder)->bind(e, column);
    return e;
}

QPlainTextEdit *LogbookWindow::boundNotes(const QString &name, const QString &column)
{
    auto *e = new QPlainTextEdit(this);
    e->setObjectName(name);
    e->setTabChangesFocus(true);
    const int line = e->fontMetrics().lineSpacing();
    e->setMinimumHeight(line * 3 + 12);
    e->setMaximumHeight(line * 6 + 12);
    m_primaryBinder->bind(e, column);
    return e;
}

QComboBox *LogbookWindow::boundCombo(const QString &name, const QString &column, const QStringList &items)
{
    auto *c = new QComboBox(this);
    c->setObjectName(name);
    c->setEditable(true);
    c->addItems(items);
    c->setInsertPolicy(QComboBox::NoInsert);
    m_primaryBinder->bind(c, column);
    return c;
}

QCheckBox *LogbookWindow::boundCheck(const QString &name, const QString &caption, const QString &column,
                                     bool onDefaults)
{
    auto *c = new QCheckBox(caption, this);
    c->setObjectName(name);
    (onDefaults ? m_defaultsBinder : m_primaryBinder)->bind(c, column);
    return c;
}

QLabel *LogbookWindow::addRow(QFormLayout *form, const QString &label, QWidget *field, QWidget *extra)
{
    auto *l = new QLabel(label);
    l->setBuddy(field);
    if (field->accessibleName().isEmpty())
        field->setAccessibleName(QString(label).remove('&'));
    if (extra) {
        auto *row = new QHBoxLayout;
        row->setContentsMargins(0, 0, 0, 0);
        row->addWidget(field, 1);
        row->addWidget(extra);
        form->addRow(l, row);
    } else {
        form->addRow(l, field);
    }
    return l;
}

QString LogbookWindow::controlText(const QWidget *control)
{
    if (auto *e = qobject_cast<const QLineEdit *>(control))
        return e->text();
    if (auto *c = qobject_cast<const QComboBox *>(control))
        return c->currentText();
    if (auto *p = qobject_cast<const QPlainTextEdit *>(control))
        return p->toPlainText();
    if (auto *k = qobject_cast<const QCheckBox *>(control))
        return k->isChecked() ? "1" : "0";
    return QString();
}

void LogbookWindow::setControlText(QWidget *control, const QString &text)
{
    if (auto *e = qobject_cast<QLineEdit *>(control))
        e->setText(text);
    else if (auto *c = qobject_cast<QComboBox *>(control))
        c->setCurrentText(text);
    else if (auto *p = qobject_cast<QPlainTextEdit *>(control))
        p->setPlainText(text);
    else if (auto *k = qobject_cast<QCheckBox *>(control))
        k->setChecked(text == "1" || text.compare("true", Qt::CaseInsensitive) == 0);
}

void LogbookWindow::copyControl(QWidget *from, QWidget *to)
{
    if (from && to)
        setControlText(to, controlText(from));
}

void LogbookWindow::copyDefaultsIntoRecord(const CopyPairs &pairs)
{
    for (const auto &[from, to] : pairs)
        copyControl(control(from), control(to));
}

void LogbookWindow::copyRecordIntoDefaults(const CopyPairs &pairs)
{
    for (const auto &[from, to] : pairs)
        copyControl(control(to), control(from));
}

void LogbookWindow::saveDefaultsRow()
{
    m_defaults->moveNext();
    if (m_defaults->isEOF())
        m_defaults->moveLast();
    m_defaults->movePrevious();
    if (m_defaults->isBOF())
        m_defaults->moveNext();
}

QAction *LogbookWindow::addMenuItem(QMenu *menu, const QString &name, const QString &caption,
                                    std::function<void()> action)
{
    QAction *a = menu->addAction(caption);
    a->setObjectName(name);
    connect(a, &QAction::triggered, this, [action = std::move(action)] {
        if (action)
            action();
    });
    return a;
}

void LogbookWindow::closeEvent(QCloseEvent *event)
{
    if (!m_unloaded) {
        m_unloaded = true;
        unload();
        MainMenuWindow::logbookUnloaded(objectName());
    }
    QMainWindow::closeEvent(event);
}
