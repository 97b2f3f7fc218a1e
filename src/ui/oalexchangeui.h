#pragma once

#include <QString>

#include <functional>

class QWidget;

// The main menu's "Export Observations…" and "Import Observations…": a file
// dialog, a progress dialog when the work takes longer than half a second,
// and the summary in a message box at the end.
namespace OalExchangeUi {

void exportObservations(QWidget *parent);
void importObservations(QWidget *parent);

// Answers the file dialog (an empty name stands for Cancel); tests set it so
// that no dialog blocks. Without one the real dialog opens.
using FileChooser = std::function<QString(bool saving)>;
void setFileChooser(FileChooser chooser);

} // namespace OalExchangeUi
