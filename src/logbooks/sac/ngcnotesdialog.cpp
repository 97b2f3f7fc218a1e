#include "logbooks/sac/ngcnotesdialog.h"

#include "data/recordsource.h"
#include "data/store.h"
#include "ui/controlvalue.h"
#include "ui/navigatorwidget.h"
#include "ui/recordbinder.h"
#include "ui/windows.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

NgcNotesDialog::NgcNotesDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName("frm_ngc_notes");
    setWindowTitle("NGC Notes");
    setModal(true);

    m_notes = new RecordSource(this);
    m_notes->setObjectName("datPrimaryRS");
    m_notes->setConnectionString(ConnectionStrings::kBound);
    m_notes->setRecordSource(
        "select notes1,notes2,notes3,notes4,notes5,notes6, notes7,notes8  from ngc_description_notes");
    auto *binder = new RecordBinder(m_notes, this);

    auto *top = new QGridLayout;
    const std::pair<const char *, const char *> heads[] = {{"Label2", "Object"}, {"Label1", "NGC Desc"}};
    const char *fields[] = {"Text7", "Text8"};
    for (int i = 0; i < 2; ++i) {
        auto *e = new QLineEdit(this);
        e->setObjectName(fields[i]);
        e->setReadOnly(true);
        auto *l = new QLabel(heads[i].second, this);
        l->setObjectName(heads[i].first);
        l->setBuddy(e);
        top->addWidget(l, i, 0);
        top->addWidget(e, i, 1);
    }
    // Copied once: the browser cannot move while this window is open.
    if (QWidget *browser = Windows::find("frmngc")) {
        findChild<QLineEdit *>("Text8")->setText(
            ControlValue::text(browser->findChild<QWidget *>("txtFields_10")));
        findChild<QLineEdit *>("Text7")->setText(
            ControlValue::text(browser->findChild<QWidget *>("txtFields_6")));
    }

    // The legend's columns line up only in a fixed-pitch face.
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    auto *legend = new QGridLayout;
    for (int i = 1; i <= 6; ++i) {
        auto *t = new QPlainTextEdit(this);
        t->setObjectName(QString("Text%1").arg(i));
        t->setReadOnly(true);
        t->setFont(fixed);
        t->setAccessibleName(QString("Notes %1").arg(i));
        const QFontMetrics fm(fixed);
        t->setMinimumSize(fm.horizontalAdvance(QString(40, 'x')) + 24, fm.lineSpacing() * 16);
        legend->addWidget(t, (i - 1) / 3, (i - 1) % 3);
        binder->bind(t, QString("notes%1").arg(i));
    }

    auto *nav = new NavigatorWidget(m_notes, this);
    auto *examples = new QPushButton("Examples", this);
    examples->setObjectName("Command2");
    auto *exit = new QPushButton("Exit", this);
    exit->setObjectName("Command1");
    exit->setDefault(true);
    connect(examples, &QPushButton::clicked, this, [] { Windows::exec("ngc_examples"); });
    connect(exit, &QPushButton::clicked, this, &QDialog::accept);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(nav);
    buttons->addStretch(1);
    buttons->addWidget(examples);
    buttons->addWidget(exit);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(legend, 1);
    layout->addLayout(buttons);

    try {
        m_notes->open();
    } catch (const DataError &e) {
        m_notes->reportError(e);
    }
}

void NgcNotesDialog::done(int result)
{
    unsetCursor();
    QDialog::done(result);
}
