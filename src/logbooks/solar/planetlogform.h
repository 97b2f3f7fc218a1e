#pragma once

#include <QString>

class QComboBox;
class QFormLayout;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QWidget;

// The parts the two observation windows share: named fields, the step lists
// of transparency and seeing, and labelled rows with an aid button beside.
namespace PlanetLogForm {

QLineEdit *line(const QString &name, QWidget *parent);
QPlainTextEdit *notes(const QString &name, QWidget *parent);
// An editable list of the steps from..to ("0" to "10" for transparency).
QComboBox *steps(const QString &name, int from, int to, QWidget *parent);
QPushButton *aidButton(const QString &name, const QString &caption, const QString &what, QWidget *parent);
// A row "label: field [aid]"; the label is the field's buddy and accessible name.
void addRow(QFormLayout *form, const QString &label, QWidget *field, QWidget *aid = nullptr);

} // namespace PlanetLogForm
