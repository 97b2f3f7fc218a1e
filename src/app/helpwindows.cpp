#include "app/helpwindows.h"

#include "shell/aboutdialog.h"
#include "shell/documentwindow.h"
#include "ui/windows.h"

#include <initializer_list>

namespace HelpWindows {

void registerDocument(const DocumentSetup &setup)
{
    Windows::registerFactory(setup.name, [setup] { return new DocumentWindow(setup); });
}

void registerAll()
{
    using B = DocumentWindow::Buttons;
    // The program's own documents; each logbook declares its help and credits.
    const std::initializer_list<DocumentWindow::Setup> documents = {
        {"credits", "Credits", "help/main_credits.rtf", B::Close},
        {"credits_notes", "Velnora Notes", "help/notes.rtf", B::Close},
        {"help_tonight", "Tonight: what you can see", "help/tonight_help.rtf", B::Close},
    };
    for (const DocumentWindow::Setup &setup : documents)
        registerDocument(setup);
    Windows::registerFactory("frmAbout", [] { return new AboutDialog; });
}

} // namespace HelpWindows
