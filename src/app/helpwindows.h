#pragma once

// The help, credits and notes windows, the database editor's help and the
// about box, each registered by its name with Windows so that any menu opens
// it with Windows::show("help_messier") or Windows::exec("frmAbout").
struct DocumentSetup;

namespace HelpWindows {

void registerDocument(const DocumentSetup &setup);
// The program's own documents and the about box.
void registerAll();

} // namespace HelpWindows
