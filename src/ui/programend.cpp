#include "ui/programend.h"

#include "ui/logbookdeclaration.h"
#include "ui/windows.h"

#include <QDesktopServices>
#include <QPointer>
#include <QWidget>

#include <cstdlib>

namespace ProgramEnd {
namespace {

std::function<void()> &endHandler()
{
    static std::function<void()> h = [] { std::_Exit(0); };
    return h;
}

std::function<void(const QUrl &)> &urlHandler()
{
    static std::function<void(const QUrl &)> h = [](const QUrl &url) { QDesktopServices::openUrl(url); };
    return h;
}

} // namespace

void endNow()
{
    endHandler()();
}
bool exitProgram()
{
    for (const LogbookDeclaration *book : LogbookDeclarations::all()) {
        QPointer<QWidget> w = Windows::find(book->windowName);
        if (w && w->isVisible() && !w->close())
            return false;
    }
    endNow();
    return true;
}

void setEndHandler(std::function<void()> handler)
{
    endHandler() = std::move(handler);
}
void openUrl(const QUrl &url)
{
    urlHandler()(url);
}
void setUrlHandler(std::function<void(const QUrl &)> handler)
{
    urlHandler() = std::move(handler);
}

} // namespace ProgramEnd
