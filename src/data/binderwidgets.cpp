#include "data/binderwidgets.h"

#include "data/dataerror.h"
#include "data/recordsource.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

RecordBinder::RecordBinder(RecordSource *source, QObject *parent) : QObject(parent), m_source(source)
{
    connect(source, &RecordSource::moveComplete, this, [this] { load(); });
    connect(source, &RecordSource::aboutToLeaveRow, this, [this] { save(); });
}

void RecordBinder::bind(QWidget *control, const QString &column)
{
    m_bindings.push_back({control, column});
    if (m_source->isOpen())
        loadOne(m_bindings.back());
}

QString RecordBinder::columnOf(const QWidget *control) const
{
    for (const Binding &b : m_bindings)
        if (b.control == control)
            return b.column;
    return QString();
}

void RecordBinder::load()
{
    m_loading = true;
    for (const Binding &b : m_bindings)
        loadOne(b);
    m_loading = false;
}

void RecordBinder::loadOne(const Binding &b)
{
    if (!b.control)
        return;
    const bool current = m_source->hasCurrent() && m_source->columnIndex(b.column) >= 0;
    const QString text = current ? m_source->text(b.column) : QString();
    if (auto *e = qobject_cast<QLineEdit *>(b.control)) {
        e->setText(text);
        e->setCursorPosition(0);
    } else if (auto *p = qobject_cast<QPlainTextEdit *>(b.control)) {
        p->setPlainText(text);
    } else if (auto *t = qobject_cast<QTextEdit *>(b.control)) {
        t->setPlainText(text);
    } else if (auto *c = qobject_cast<QComboBox *>(b.control)) {
        c->setCurrentText(text);
        if (c->isEditable())
            c->setEditText(text);
    } else if (auto *k = qobject_cast<QCheckBox *>(b.control)) {
        k->setChecked(current && m_source->value(b.column).toLongLong() != 0);
    }
}

void RecordBinder::save()
{
    if (m_loading || !m_source->hasCurrent())
        return;
    for (const Binding &b : m_bindings)
        saveOne(b);
}

void RecordBinder::saveOne(const Binding &b)
{
    if (!b.control || m_source->columnIndex(b.column) < 0)
        return;
    QVariant value;
    if (auto *e = qobject_cast<QLineEdit *>(b.control)) {
        value = e->text();
    } else if (auto *p = qobject_cast<QPlainTextEdit *>(b.control)) {
        value = p->toPlainText();
    } else if (auto *t = qobject_cast<QTextEdit *>(b.control)) {
        value = t->toPlainText();
    } else if (auto *c = qobject_cast<QComboBox *>(b.control)) {
        value = c->currentText();
    } else if (auto *k = qobject_cast<QCheckBox *>(b.control)) {
        value = k->isChecked();
    } else {
        return;
    }
    // Compare with what the row shows, so that an untouched control is no edit
    // while text written by code (the aids fill fields) still counts.
    const QString shown = m_source->isBooleanColumn(b.column)
                              ? QString::number(m_source->value(b.column).toLongLong() != 0)
                              : m_source->text(b.column);
    const QString given = value.typeId() == QMetaType::Bool ? QString::number(value.toBool()) : value.toString();
    if (shown == given)
        return;
    m_source->setValue(b.column, value);
}
