#pragma once

#include <QString>

class QWidget;

// What a control holds, read and written through its user property (a line
// edit's text, a combo box's current text, a check box's tick, a notes box's
// plain text), so the binder, the aids and the tests agree on it. A check
// box reads "1" or "0".
namespace ControlValue {

QString text(const QWidget *control);
void setText(QWidget *control, const QString &text);
// Copies one control's value into another, as typing would.
void copy(const QWidget *from, QWidget *to);

} // namespace ControlValue
