#include "ui/recordbinder.h"

#include "data/dataerror.h"
#include "data/recordsource.h"

#include "ui/controlvalue.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

RecordBinder::RecordBinder(RecordSource *source, QObject *parent) : QObject(parent), m_source(source)
{
    connect(source, &RecordSource::moveComplete, this, [this] { load(); });
    connect(source, &RecordSource::aboutToLeaveRow, this, [this] { save(); });
    // A row written in place shows what the store keeps (the key it gave a new row).
    connect(source, &RecordSource::currentRowWritten, this, [this] { load(); });
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
    if (m_source->isBooleanColumn(b.column))
        ControlValue::setText(b.control, current && m_source->value(b.column).toLongLong() != 0 ? "1" : "0");
    else
        ControlValue::setText(b.control, current ? m_source->text(b.column) : QString());
    if (auto *e = qobject_cast<QLineEdit *>(b.control))
        e->setCursorPosition(0);
}

void RecordBinder::save()
{
    if (m_loading || !m_source->hasCurrent())
        return;
    for (const Binding &b : m_bindings)
        saveOne(b);
}

namespace {

// A control the user cannot type into shows its column and never writes it.
bool isReadOnly(const QWidget *control)
{
    if (auto *e = qobject_cast<const QLineEdit *>(control))
        return e->isReadOnly();
    if (auto *p = qobject_cast<const QPlainTextEdit *>(control))
        return p->isReadOnly();
    if (auto *t = qobject_cast<const QTextEdit *>(control))
        return t->isReadOnly();
    return false;
}

} // namespace

void RecordBinder::saveOne(const Binding &b)
{
    // Nor is the table's integer key written back: the store assigns it.
    if (!b.control || m_source->columnIndex(b.column) < 0 || isReadOnly(b.control) ||
        m_source->isKeyColumn(b.column))
        return;
    const QString given = ControlValue::text(b.control);
    // Compare with what the row shows, so that an untouched control is no edit
    // while text written by code (the aids fill fields) still counts.
    if (m_source->isBooleanColumn(b.column)) {
        const bool ticked = given == "1";
        if ((m_source->value(b.column).toLongLong() != 0) != ticked)
            m_source->setValue(b.column, ticked);
        return;
    }
    const QString shown = m_source->text(b.column);
    // A check box on a text column shows an empty cell unticked; left
    // unticked, it is no edit (else every row browsed past would be written).
    if (shown.isEmpty() && given == QLatin1String("0") && qobject_cast<QCheckBox *>(b.control))
        return;
    if (shown != given)
        m_source->setValue(b.column, given);
}
