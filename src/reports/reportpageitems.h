#pragma once

#include "reports/reportdocument.h"

#include <utility>

// Appending the positioned items of a page: the renderer and the pages drawn
// in code (the certificate) place their text and shapes the same way.
namespace ReportPageItems {

inline void text(ReportPage &page, const QRectF &rect, int font, int flags, const QString &text)
{
    ReportItem item;
    item.kind = ReportItem::Kind::Text;
    item.font = quint8(font);
    item.flags = flags;
    item.rect = rect;
    item.text = text;
    page.items.push_back(std::move(item));
}

inline void shape(ReportPage &page, ReportItem::Kind kind, const QRectF &rect, int flags = 0)
{
    ReportItem item;
    item.kind = kind;
    item.flags = flags;
    item.rect = rect;
    page.items.push_back(std::move(item));
}

} // namespace ReportPageItems
