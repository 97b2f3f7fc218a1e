#include "shell/helpwindows.h"

#include "shell/aboutdialog.h"
#include "shell/documentwindow.h"
#include "shell/windows.h"

#include <initializer_list>

namespace HelpWindows {

void registerAll()
{
    using B = DocumentWindow::Buttons;
    const std::initializer_list<DocumentWindow::Setup> documents = {
        {"help_messier", "Messier Logging Form Help", "help/Messier_help.rtf", B::PrintExit},
        {"help_about_messier", "About Messier", "help/messier.rtf", B::None},
        {"credits_mess", "Messier Form Credits", "help/mess_credits.rtf", B::Close},
        {"help_best", "Best of the NGC help", "help/best_help.rtf", B::PrintExit, false, "RichTextBox1",
         "dlgprint"},
        {"help_about_best", "110 Best of the NGC", "help/best.rtf", B::None},
        {"credits_best", "Best 110 of the NGC Credits", "help/best_credits.rtf", B::Close},
        {"help_sac", "SAC Database  Help", "help/sac_help.rtf", B::PrintExit},
        {"helpsac", "SAC DataBase Notes", "help/sacdoc.rtf", B::None, true, "text1"},
        {"credits_sac", "SAC Database Credits", "help/sac_credits.rtf", B::Close},
        {"help_planet", "Solar System Help", "help/solar_help.rtf", B::PrintExit},
        {"credits_solar", "Solar System Credits", "help/solar_credits.rtf", B::Close},
        {"help_custom", "Custom Database Help", "help/custom_help.rtf", B::PrintExit},
        {"help_stars", "Multiple Stars Help", "help/stars_help.rtf", B::PrintExit, false, "RichTextBox1",
         "dlgprint"},
        {"credits_stars", "Multiple Stars Credits", "help/stars_credits.rtf", B::Close},
        {"credits", "Credits", "help/main_credits.rtf", B::Close},
        {"credits_notes", "Velnora Notes", "help/notes.rtf", B::Close},
        {"help_editor", "Database Editor Help", "help/sac_editor.rtf", B::Close},
    };
    for (const DocumentWindow::Setup &setup : documents)
        Windows::registerFactory(setup.name, [setup] { return new DocumentWindow(setup); });
    Windows::registerFactory("frmAbout", [] { return new AboutDialog; });
}

} // namespace HelpWindows
