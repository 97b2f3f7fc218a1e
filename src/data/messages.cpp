#include "data/messages.h"

#include <QTextStream>

namespace Messages {
namespace {

ShowHandler &showHandler()
{
    static ShowHandler h = [](const QString &text, const QString &title) {
        QTextStream(stderr) << title << ": " << text << '\n';
    };
    return h;
}

InputHandler &inputHandler()
{
    static InputHandler h = [](const QString &, const QString &, const QString &) { return QString(); };
    return h;
}

BeepHandler &beepHandler()
{
    static BeepHandler h = [] { QTextStream(stderr) << '\a'; };
    return h;
}

AskHandler &askHandler()
{
    // Nobody to answer: the careful answer.
    static AskHandler h = [](const QString &question, const QString &title) {
        QTextStream(stderr) << title << ": " << question << '\n';
        return false;
    };
    return h;
}

} // namespace

void setAskHandler(AskHandler handler) { askHandler() = std::move(handler); }
bool ask(const QString &question, const QString &title) { return askHandler()(question, title); }
void setShowHandler(ShowHandler handler) { showHandler() = std::move(handler); }
void setInputHandler(InputHandler handler) { inputHandler() = std::move(handler); }
void setBeepHandler(BeepHandler handler) { beepHandler() = std::move(handler); }

void show(const QString &text, const QString &title) { showHandler()(text, title); }

QString input(const QString &prompt, const QString &title, const QString &defaultText)
{
    return inputHandler()(prompt, title, defaultText);
}

void beep() { beepHandler()(); }

} // namespace Messages
