#pragma once

#include <QString>

#include <functional>

// Every message box and input box of the program goes through here: an OK
// button, no icon, the program's title. The windows install the real boxes;
// tests install a recorder that answers from a script instead of blocking.
namespace Messages {

inline constexpr const char *kTitle = "Velnora Logging System";

using ShowHandler = std::function<void(const QString &text, const QString &title)>;
// Returns the answer, or a null QString when the user cancelled.
using InputHandler =
    std::function<QString(const QString &prompt, const QString &title, const QString &defaultText)>;
using BeepHandler = std::function<void()>;
// True for Yes.
using AskHandler = std::function<bool(const QString &question, const QString &title)>;

void setShowHandler(ShowHandler handler);
void setInputHandler(InputHandler handler);
void setBeepHandler(BeepHandler handler);
void setAskHandler(AskHandler handler);

void show(const QString &text, const QString &title = QString::fromLatin1(kTitle));
QString input(const QString &prompt, const QString &title = QString::fromLatin1(kTitle),
              const QString &defaultText = QString());
// A question answered Yes or No; true for Yes.
bool ask(const QString &question, const QString &title = QString::fromLatin1(kTitle));
// The system beep.
void beep();

} // namespace Messages
