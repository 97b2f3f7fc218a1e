#include "logbooks/solar/planetlogform.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace PlanetLogForm {

QLineEdit *line(const QString &name, QWidget *parent)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setMinimumWidth(e->fontMetrics().horizontalAdvance("12/31/2026 12:59:59 PM") + 24);
    return e;
}

QPlainTextEdit *notes(const QString &name, QWidget *parent)
{
    auto *e = new QPlainTextEdit(parent);
    e->setObjectName(name);
    e->setTabChangesFocus(true);
    e->setMinimumHeight(e->fontMetrics().lineSpacing() * 4 + 12);
    return e;
}

QComboBox *steps(const QString &name, int from, int to, QWidget *parent)
{
    auto *c = new QComboBox(parent);
    c->setObjectName(name);
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    for (int i = from; i <= to; ++i)
        c->addItem(QString::number(i));
    c->setCurrentText(QString());
    return c;
}

QPushButton *aidButton(const QString &name, const QString &caption, const QString &what, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setToolTip(what);
    b->setAccessibleName(what);
    b->setAutoDefault(false);
    b->setMaximumWidth(b->fontMetrics().horizontalAdvance("Map") + 24);
    return b;
}

void addRow(QFormLayout *form, const QString &label, QWidget *field, QWidget *aid)
{
    auto *l = new QLabel(label, form->parentWidget());
    l->setBuddy(field);
    field->setAccessibleName(QString(label).remove('&'));
    if (!aid) {
        form->addRow(l, field);
        return;
    }
    auto *row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(field, 1);
    row->addWidget(aid);
    form->addRow(l, row);
}

} // namespace PlanetLogForm
