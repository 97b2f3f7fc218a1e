#include "ui/programend.h"

#include <QDesktopServices>

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
