#include "ui/logbookform.h"

#include "ui/controlvalue.h"
#include "ui/module1.h"
#include "ui/recordbinder.h"
#include "ui/registerdefaults.h"
#include "ui/windows.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

LogbookForm::LogbookForm(const LogbookDeclaration &book, QWidget *owner, RecordBinder *record,
                         RecordBinder *defaults, Handlers handlers)
    : QObject(owner), m_book(book), m_owner(owner), m_record(record), m_defaults(defaults),
      m_handlers(std::move(handlers))
{
}

QWidget *LogbookForm::control(const QString &name) const
{
    return m_owner->findChild<QWidget *>(name);
}

QWidget *LogbookForm::field(const LogbookField &f) const
{
    QWidget *w = nullptr;
    switch (f.kind) {
    case LogbookField::Kind::Line: {
        auto *e = new QLineEdit(m_owner);
        e->setReadOnly(f.readOnly);
        w = e;
        break;
    }
    case LogbookField::Kind::Notes: {
        auto *e = new QPlainTextEdit(m_owner);
        e->setTabChangesFocus(true);
        e->setReadOnly(f.readOnly);
        const int line = e->fontMetrics().lineSpacing();
        e->setMinimumHeight(line * 3 + 12);
        e->setMaximumHeight(line * 6 + 12);
        w = e;
        break;
    }
    case LogbookField::Kind::Combo: {
        auto *c = new QComboBox(m_owner);
        c->setEditable(true);
        c->addItems(f.items);
        c->setInsertPolicy(QComboBox::NoInsert);
        w = c;
        break;
    }
    case LogbookField::Kind::Check:
        w = new QCheckBox(f.label, m_owner);
        break;
    }
    w->setObjectName(f.objectName);
    w->setAccessibleName((f.onDefaults ? "Default " : "") + QString(f.label).remove('&').replace('\n', ' '));
    RecordBinder *binder = f.onDefaults ? m_defaults : m_record;
    if (!f.column.isEmpty() && binder)
        binder->bind(w, f.column);
    return w;
}

QPushButton *LogbookForm::aidButton(const QString &name) const
{
    for (const LogbookAidButton &a : m_book.aidButtons) {
        if (a.objectName != name)
            continue;
        auto *b = new QPushButton(a.caption, m_owner);
        b->setObjectName(a.objectName);
        b->setToolTip(a.toolTip);
        b->setAccessibleName(a.toolTip.isEmpty() ? a.caption : a.toolTip);
        b->setAutoDefault(false);
        b->setMaximumWidth(b->fontMetrics().horizontalAdvance(a.caption.size() < 3 ? "Map" : a.caption) + 24);
        QObject::connect(b, &QPushButton::clicked, this, [this, a] { runAid(a); });
        return b;
    }
    return nullptr;
}

QPushButton *LogbookForm::copyButton(bool insert, QWidget *parent) const
{
    const QString name = insert ? m_book.insertButton : m_book.storeButton;
    if (name.isEmpty())
        return nullptr;
    auto *b = new QPushButton(insert ? "Ins" : "U", parent);
    b->setObjectName(name);
    b->setToolTip(insert ? "Copy the default values into this record" : "Store this record's values as the defaults");
    b->setAccessibleName(b->toolTip());
    b->setAutoDefault(false);
    b->setMaximumWidth(b->fontMetrics().horizontalAdvance("Ins") + 32);
    const std::function<void()> &run = insert ? m_handlers.insert : m_handlers.store;
    if (run)
        QObject::connect(b, &QPushButton::clicked, this, [run] { run(); });
    return b;
}

QGroupBox *LogbookForm::group(const QString &title, QVBoxLayout **inner) const
{
    auto *box = new QGroupBox(title, m_owner);
    auto *outer = new QVBoxLayout(box);
    if (inner)
        *inner = outer;
    std::vector<const LogbookField *> fields;
    for (const LogbookField &f : m_book.fields)
        if (f.group == title)
            fields.push_back(&f);

    if (!fields.empty() && fields.front()->onDefaults) {
        // The defaults sit two to a row, with "Ins" and "U" after them.
        box->setObjectName("defaultsBox");
        auto *grid = new QGridLayout;
        int i = 0;
        for (const LogbookField *f : fields) {
            QWidget *w = field(*f);
            const int row = i / 2, col = (i % 2) * 2;
            if (f->kind != LogbookField::Kind::Check) {
                auto *l = new QLabel(f->label, box);
                l->setBuddy(w);
                grid->addWidget(l, row, col);
            }
            grid->addWidget(w, row, col + 1);
            ++i;
        }
        auto *copyRow = new QHBoxLayout;
        for (bool insert : {true, false})
            if (QPushButton *b = copyButton(insert, box))
                copyRow->addWidget(b);
        copyRow->addStretch(1);
        const int row = (i + 1) / 2;
        grid->addLayout(copyRow, i % 2 ? row - 1 : row, 3);
        outer->addLayout(grid);
        return box;
    }

    auto *form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    for (const LogbookField *f : fields) {
        QWidget *w = field(*f);
        QPushButton *aid = f->aidButton.isEmpty() ? nullptr : aidButton(f->aidButton);
        QLabel *suffix = f->suffix.isEmpty() ? nullptr : new QLabel(f->suffix, box);
        QLayout *fieldPart = nullptr;
        if (aid || suffix) {
            auto *row = new QHBoxLayout;
            row->setContentsMargins(0, 0, 0, 0);
            row->addWidget(w, 1);
            if (suffix)
                row->addWidget(suffix);
            if (aid)
                row->addWidget(aid);
            fieldPart = row;
        }
        if (f->kind == LogbookField::Kind::Check) {
            if (fieldPart)
                form->addRow(fieldPart);
            else
                form->addRow(w);
            continue;
        }
        auto *l = new QLabel(f->label, box);
        l->setBuddy(w);
        if (fieldPart)
            form->addRow(l, fieldPart);
        else
            form->addRow(l, w);
    }
    outer->addLayout(form);
    return box;
}

void LogbookForm::runAid(const LogbookAidButton &aid) const
{
    switch (aid.aid) {
    case LogbookAidButton::Aid::Utc:
        Windows::exec(m_book.aids.utcWindow);
        break;
    case LogbookAidButton::Aid::Seeing:
        if (m_book.aids.seeingAsksCaller)
            Module1::SeeingCaller = m_book.windowName;
        Windows::exec(m_book.aids.seeingWindow);
        break;
    case LogbookAidButton::Aid::Magnification:
        Windows::exec(m_book.aids.magnificationWindow);
        break;
    case LogbookAidButton::Aid::Own:
        if (m_handlers.ownAid)
            m_handlers.ownAid(aid.objectName);
        break;
    }
}

void LogbookForm::copyDefaultsIn() const
{
    for (const auto &[from, to] : m_book.copyPairs)
        ControlValue::copy(control(from), control(to));
    RegisterDefaults::fillEmpty(m_owner, m_book, false);
}

void LogbookForm::copyToDefaults() const
{
    for (const auto &[from, to] : m_book.copyPairs)
        ControlValue::copy(control(to), control(from));
    RegisterDefaults::fillEmpty(m_owner, m_book, true);
}
