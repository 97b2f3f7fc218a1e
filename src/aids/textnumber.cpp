#include "aids/textnumber.h"

namespace TextNumber {

double leading(const QString &text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto digit = [&](qsizetype at) { return at < n && text.at(at) >= u'0' && text.at(at) <= u'9'; };
    while (i < n && (text.at(i) == u' ' || text.at(i) == u'\t'))
        ++i;
    const qsizetype start = i;
    if (i < n && (text.at(i) == u'+' || text.at(i) == u'-'))
        ++i;
    bool any = false;
    while (digit(i)) {
        ++i;
        any = true;
    }
    if (i < n && text.at(i) == u'.') {
        ++i;
        while (digit(i)) {
            ++i;
            any = true;
        }
    }
    if (!any)
        return 0.0;
    // An exponent counts only when digits follow it ("2e" is 2).
    if (i < n && (text.at(i) == u'e' || text.at(i) == u'E')) {
        qsizetype j = i + 1;
        if (j < n && (text.at(j) == u'+' || text.at(j) == u'-'))
            ++j;
        if (digit(j)) {
            while (digit(j))
                ++j;
            i = j;
        }
    }
    bool ok = false;
    const double value = text.mid(start, i - start).toDouble(&ok);
    return ok ? value : 0.0;
}

} // namespace TextNumber
