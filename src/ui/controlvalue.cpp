#include "ui/controlvalue.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QMetaProperty>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QWidget>

namespace ControlValue {

QString text(const QWidget *control)
{
    if (!control)
        return QString();
    // An editable combo box's user property is its current text, which lags
    // behind what is typed until the edit is finished.
    if (auto *c = qobject_cast<const QComboBox *>(control))
        return c->currentText();
    // The text boxes' user property is rich text; the record holds plain text.
    if (auto *p = qobject_cast<const QPlainTextEdit *>(control))
        return p->toPlainText();
    if (auto *t = qobject_cast<const QTextEdit *>(control))
        return t->toPlainText();
    const QMetaProperty user = control->metaObject()->userProperty();
    if (!user.isValid())
        return QString();
    const QVariant v = user.read(control);
    if (v.typeId() == QMetaType::Bool)
        return v.toBool() ? "1" : "0";
    return v.toString();
}

void setText(QWidget *control, const QString &value)
{
    if (!control)
        return;
    if (auto *c = qobject_cast<QComboBox *>(control)) {
        c->setCurrentText(value);
        if (c->isEditable())
            c->setEditText(value);
        return;
    }
    if (auto *p = qobject_cast<QPlainTextEdit *>(control)) {
        p->setPlainText(value);
        return;
    }
    if (auto *t = qobject_cast<QTextEdit *>(control)) {
        t->setPlainText(value);
        return;
    }
    const QMetaProperty user = control->metaObject()->userProperty();
    if (!user.isValid())
        return;
    if (user.typeId() == QMetaType::Bool)
        user.write(control, value == "1" || value.compare("true", Qt::CaseInsensitive) == 0 || value == "-1");
    else
        user.write(control, value);
}

void copy(const QWidget *from, QWidget *to)
{
    if (from && to)
        setText(to, text(from));
}

} // namespace ControlValue
