#pragma once

#include <QString>

#include <string>
#include <string_view>
#include <vector>

// Writes indented XML elements as UTF-8 into a byte buffer, laid out and
// escaped as QXmlStreamWriter lays out and escapes an auto-formatted document
// with an indent of two, so that its parts can sit inside one that writer
// began. It is several times quicker: no text is converted twice, and nothing
// reaches a device until the caller takes the bytes.
class XmlOut
{
public:
    // `depth`: how many elements enclose the ones it writes.
    explicit XmlOut(int depth = 0) : m_depth(depth) {}

    void start(std::string_view name);
    void attribute(std::string_view name, const char *ascii);
    void attribute(std::string_view name, const QString &value);
    void characters(const QString &text);
    void textElement(std::string_view name, const QString &text);
    void comment(const QString &text);
    void end();

    // What was written since the last take.
    std::string &bytes() { return m_out; }
    // A text held a character XML cannot carry (a control character, a lone
    // surrogate): the document would not be the observer's.
    bool failed() const { return m_failed; }

private:
    void closeStartTag();
    void newLine(size_t depth);
    enum class Escape { None, Text, Attribute };
    void escaped(const QString &text, Escape how);

    std::string m_out;
    std::vector<std::string> m_open;
    size_t m_depth;
    bool m_tagOpen = false;  // "<name" written, its ">" not yet
    bool m_wroteText = false; // characters since the element began
    bool m_failed = false;
};
