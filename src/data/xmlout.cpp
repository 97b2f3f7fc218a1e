#include "data/xmlout.h"

void XmlOut::closeStartTag()
{
    if (m_tagOpen)
        m_out += '>';
    m_tagOpen = false;
}

void XmlOut::newLine(size_t depth)
{
    m_out += '\n';
    m_out.append(2 * depth, ' ');
}

void XmlOut::start(std::string_view name)
{
    closeStartTag();
    newLine(m_depth + m_open.size());
    m_out += '<';
    m_out += name;
    m_open.emplace_back(name);
    m_tagOpen = true;
    m_wroteText = false;
}

void XmlOut::attribute(std::string_view name, const char *ascii)
{
    attribute(name, QString::fromLatin1(ascii));
}

void XmlOut::attribute(std::string_view name, const QString &value)
{
    m_out += ' ';
    m_out += name;
    m_out += "=\"";
    escaped(value, Escape::Attribute);
    m_out += '"';
}

void XmlOut::characters(const QString &text)
{
    closeStartTag();
    escaped(text, Escape::Text);
    m_wroteText = true;
}

void XmlOut::textElement(std::string_view name, const QString &text)
{
    start(name);
    characters(text);
    end();
}

// A comment is not escaped; the caller keeps "--" out of it.
void XmlOut::comment(const QString &text)
{
    const bool afterText = m_wroteText;
    closeStartTag();
    if (!afterText)
        newLine(m_depth + m_open.size());
    m_out += "<!--";
    escaped(text, Escape::None);
    m_out += "-->";
    m_wroteText = false;
}

void XmlOut::end()
{
    if (m_open.empty())
        return;
    if (m_tagOpen) {
        m_out += "/>";
        m_tagOpen = false;
    } else {
        if (!m_wroteText)
            newLine(m_depth + m_open.size() - 1);
        m_out += "</";
        m_out += m_open.back();
        m_out += '>';
    }
    m_open.pop_back();
    m_wroteText = false;
}

void XmlOut::escaped(const QString &text, Escape how)
{
    const char16_t *p = reinterpret_cast<const char16_t *>(text.utf16());
    const char16_t *const end = p + text.size();
    for (; p != end; ++p) {
        const char32_t c = *p;
        if (c >= 0x80) {
            char32_t code = c;
            if (c >= 0xD800 && c <= 0xDFFF) {
                if (c >= 0xDC00 || p + 1 == end || p[1] < 0xDC00 || p[1] > 0xDFFF) {
                    m_failed = true;
                    continue;
                }
                code = 0x10000 + ((c - 0xD800) << 10) + (char32_t(p[1]) - 0xDC00);
                ++p;
            } else if (c >= 0xFFFE && how != Escape::None) {
                m_failed = true;
                continue;
            }
            if (code < 0x800) {
                m_out += char(0xC0 | (code >> 6));
            } else if (code < 0x10000) {
                m_out += char(0xE0 | (code >> 12));
                m_out += char(0x80 | ((code >> 6) & 0x3F));
            } else {
                m_out += char(0xF0 | (code >> 18));
                m_out += char(0x80 | ((code >> 12) & 0x3F));
                m_out += char(0x80 | ((code >> 6) & 0x3F));
            }
            m_out += char(0x80 | (code & 0x3F));
            continue;
        }
        if (how == Escape::None) {
            m_out += char(c);
            continue;
        }
        const bool inAttribute = how == Escape::Attribute;
        switch (c) {
        case '<':
            m_out += "&lt;";
            break;
        case '>':
            m_out += "&gt;";
            break;
        case '&':
            m_out += "&amp;";
            break;
        case '"':
            m_out += "&quot;";
            break;
        case '\t':
            m_out += inAttribute ? "&#9;" : "\t";
            break;
        case '\n':
            m_out += inAttribute ? "&#10;" : "\n";
            break;
        case '\r':
            m_out += inAttribute ? "&#13;" : "\r";
            break;
        default:
            if (c < 0x20)
                m_failed = true;
            else
                m_out += char(c);
        }
    }
}
