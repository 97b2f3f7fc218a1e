#include "shell/rtfdocument.h"

#include <QColor>
#include <QFile>
#include <QHash>
#include <QList>
#include <QSet>
#include <QStringList>
#include <QTextDocument>

#include <algorithm>
#include <vector>

namespace RtfDocument {
namespace {

// Code page 1252 differs from Latin-1 only in 0x80..0x9F.
const char16_t kCp1252High[32] = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

QChar fromCp1252(uchar c)
{
    return c >= 0x80 && c < 0xA0 ? QChar(kCp1252High[c - 0x80]) : QChar(c);
}

// Deeper nesting than any word processor writes; beyond it groups are only counted.
constexpr int kMaxDepth = 256;
constexpr int kTwipsPerPixel = 15;

enum class Dest { Text, Skip, FontTable, ColorTable, FieldInst };

struct CharFormat
{
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    int vertical = 0; // -1 subscript, 1 superscript
    int halfPoints = 24;
    int color = 0;
    int highlight = 0;
    int font = -1;
    QString link;
    bool operator==(const CharFormat &) const = default;
};

struct ParaFormat
{
    int align = 0; // left, centre, right, justified
    int left = 0;
    int right = 0;
    int first = 0;
    int before = 0;
    int after = 0;
    bool inTable = false;
};

struct Group
{
    CharFormat chars;
    ParaFormat para;
    Dest dest = Dest::Text;
    int uc = 1;
    int field = -1;
    bool starred = false;
    bool destinationSet = false;
};

struct Field
{
    QString instruction;
    QString href;
};

// The destinations whose content is never text of the document.
const QSet<QString> &skippedDestinations()
{
    static const QSet<QString> s = {
        "stylesheet", "info",      "pict",       "header",      "headerl",         "headerr",
        "headerf",    "footer",    "footerl",    "footerr",     "footerf",         "footnote",
        "object",     "objdata",   "themedata",  "listtable",   "listoverridetable", "rsidtbl",
        "generator",  "xmlnstbl",  "latentstyles", "datastore", "filetbl",         "revtbl",
        "pgdsctbl",   "private",   "bkmkstart",  "bkmkend",     "annotation",      "atnid",
        "atnauthor",  "nonshppict", "shp",       "shpinst",     "mmathPr",         "xe",
        "tc",         "txe",       "template",   "comment",     "pn",              "pntxta",
        "pntxtb",     "colorschememapping", "fldtype", "userprops", "docvar",     "wgrffmtfilter"};
    return s;
}

// No indent or spacing is wider than a page (20000 twips, near 14 inches):
// larger values only make the layout of a page take minutes.
int pageBound(int twips)
{
    return std::clamp(twips, -20000, 20000);
}

QString twipsToPx(int twips)
{
    return QString::number(twips / kTwipsPerPixel) + "px";
}

// The target of a HYPERLINK field instruction, or empty for any other field.
QString hyperlinkTarget(const QString &instruction)
{
    QStringList tokens;
    QString token;
    bool quoted = false;
    bool hadQuote = false;
    for (const QChar c : instruction) {
        if (c == '"') {
            quoted = !quoted;
            hadQuote = true;
        } else if (!quoted && c.isSpace()) {
            if (!token.isEmpty() || hadQuote)
                tokens << token;
            token.clear();
            hadQuote = false;
        } else {
            token += c;
        }
    }
    if (!token.isEmpty() || hadQuote)
        tokens << token;
    if (tokens.isEmpty() || tokens.first().compare("HYPERLINK", Qt::CaseInsensitive) != 0)
        return {};
    QString url;
    QString anchor;
    for (qsizetype i = 1; i < tokens.size(); ++i) {
        const QString &t = tokens.at(i);
        if (t == "\\l" && i + 1 < tokens.size())
            anchor = tokens.at(++i);
        else if ((t == "\\o" || t == "\\t") && i + 1 < tokens.size())
            ++i; // tip text or target frame
        else if (t.startsWith('\\'))
            continue;
        else if (url.isEmpty())
            url = t;
    }
    if (!anchor.isEmpty())
        url += '#' + anchor;
    return url;
}

class Converter
{
public:
    explicit Converter(const QByteArray &rtf) : m_in(rtf) { m_stack.push_back(Group{}); }

    QString run()
    {
        const qsizetype n = m_in.size();
        qsizetype i = 0;
        while (i < n) {
            const char c = m_in.at(i);
            if (c == '{') {
                openGroup();
                ++i;
            } else if (c == '}') {
                closeGroup();
                ++i;
            } else if (c == '\\') {
                i = control(i + 1);
            } else if (c == '\r' || c == '\n') {
                ++i;
            } else {
                byteChar(uchar(c));
                ++i;
            }
        }
        // The last paragraph may lack its \par; it keeps the format its text had.
        endParagraph(false, &m_lastTextPara);
        closeTable();
        return html();
    }

private:
    Group &top() { return m_stack.back(); }

    void openGroup()
    {
        m_skipChars = 0;
        if (int(m_stack.size()) >= kMaxDepth) {
            ++m_overflow;
            return;
        }
        Group g = top();
        g.starred = false;
        g.destinationSet = false;
        m_stack.push_back(g);
    }

    void closeGroup()
    {
        m_skipChars = 0;
        if (m_overflow > 0) {
            --m_overflow;
            return;
        }
        if (m_stack.size() <= 1)
            return; // a stray closing brace
        const Group closing = top();
        if (closing.dest == Dest::ColorTable && closing.destinationSet)
            endColorTable();
        m_stack.pop_back();
    }

    // Handles the control sequence after a backslash at `i`; returns where reading goes on.
    qsizetype control(qsizetype i)
    {
        const qsizetype n = m_in.size();
        if (i >= n)
            return i;
        const char c = m_in.at(i);
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) {
            QString word;
            while (i < n && ((m_in.at(i) >= 'a' && m_in.at(i) <= 'z') || (m_in.at(i) >= 'A' && m_in.at(i) <= 'Z'))) {
                if (word.size() < 32)
                    word += QLatin1Char(m_in.at(i));
                ++i;
            }
            bool negative = false;
            bool hasParam = false;
            long long param = 0;
            if (i < n && m_in.at(i) == '-' && i + 1 < n && m_in.at(i + 1) >= '0' && m_in.at(i + 1) <= '9') {
                negative = true;
                ++i;
            }
            while (i < n && m_in.at(i) >= '0' && m_in.at(i) <= '9') {
                hasParam = true;
                if (param < 100000000)
                    param = param * 10 + (m_in.at(i) - '0');
                ++i;
            }
            if (i < n && m_in.at(i) == ' ')
                ++i;
            const int value = int(negative ? -param : param);
            if (word == "bin")
                return std::min<qsizetype>(n, i + std::max(0, value));
            if (word != "u")
                m_skipChars = 0;
            controlWord(word, hasParam, value);
            return i;
        }
        switch (c) {
        case '\'': {
            // Two hex digits make a byte; an escape cut short is dropped.
            int digits = 0;
            int v = 0;
            while (digits < 2 && i + 1 + digits < n && isHex(m_in.at(i + 1 + digits))) {
                v = v * 16 + hexValue(m_in.at(i + 1 + digits));
                ++digits;
            }
            if (digits == 2)
                byteChar(uchar(v), true);
            return i + 1 + digits;
        }
        case '*':
            top().starred = true;
            return i + 1;
        case '\\':
        case '{':
        case '}':
            byteChar(uchar(c), true);
            return i + 1;
        case '~':
            character(QChar(0x00A0));
            return i + 1;
        case '_':
            character(QChar(0x2011));
            return i + 1;
        case '\n':
        case '\r':
            endParagraph(true);
            return i + 1;
        case '\t':
            character(QChar(u'\t'));
            return i + 1;
        default:
            return i + 1; // \- and symbols we have no use for
        }
    }

    static bool isHex(char c)
    {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    }
    static int hexValue(char c)
    {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        return c - 'A' + 10;
    }

    void setDestination(Dest d)
    {
        top().dest = top().dest == Dest::Skip ? Dest::Skip : d;
        top().destinationSet = true;
    }

    void controlWord(const QString &w, bool hasParam, int p)
    {
        Group &g = top();
        CharFormat &cf = g.chars;
        ParaFormat &pf = g.para;
        const bool on = !hasParam || p != 0;

        // Destinations first: a \* group whose destination we do not know is skipped whole.
        if (w == "fonttbl") {
            setDestination(Dest::FontTable);
        } else if (w == "colortbl") {
            setDestination(Dest::ColorTable);
            m_colors.clear();
            m_colorPending = false;
        } else if (w == "field") {
            m_fields.push_back(Field{});
            g.field = int(m_fields.size()) - 1;
            g.destinationSet = true;
        } else if (w == "fldinst") {
            setDestination(g.field >= 0 ? Dest::FieldInst : Dest::Skip);
        } else if (w == "fldrslt") {
            g.destinationSet = true;
            if (g.field >= 0) {
                Field &f = m_fields[g.field];
                f.href = hyperlinkTarget(f.instruction);
                if (!f.href.isEmpty())
                    cf.link = f.href;
            }
        } else if (skippedDestinations().contains(w)) {
            setDestination(Dest::Skip);
        } else if (g.starred && !g.destinationSet) {
            setDestination(Dest::Skip);
        }
        if (g.dest == Dest::Skip)
            return;

        if (g.dest == Dest::ColorTable) {
            const int v = std::clamp(p, 0, 255);
            if (w == "red")
                m_color.setRed(v);
            else if (w == "green")
                m_color.setGreen(v);
            else if (w == "blue")
                m_color.setBlue(v);
            else
                return;
            m_colorPending = true;
            return;
        }
        if (g.dest == Dest::FontTable) {
            if (w == "f")
                m_fontNumber = p;
            return;
        }

        if (w == "par") {
            endParagraph(true);
        } else if (w == "line") {
            flushRun();
            m_para += "<br />";
            m_paraHasContent = true;
        } else if (w == "tab") {
            character(QChar(u'\t'));
        } else if (w == "page") {
            endParagraph(false);
            m_pageBreak = true;
        } else if (w == "pard") {
            pf = ParaFormat{};
        } else if (w == "plain") {
            const QString link = cf.link;
            cf = CharFormat{};
            cf.font = m_defaultFont;
            cf.link = link;
        } else if (w == "b") {
            cf.bold = on;
        } else if (w == "i") {
            cf.italic = on;
        } else if (w == "ul" || w == "uld" || w == "uldb" || w == "ulw" || w == "ulth" || w == "uldash") {
            cf.underline = on;
        } else if (w == "ulnone") {
            cf.underline = false;
        } else if (w == "strike") {
            cf.strike = on;
        } else if (w == "super") {
            cf.vertical = 1;
        } else if (w == "sub") {
            cf.vertical = -1;
        } else if (w == "nosupersub") {
            cf.vertical = 0;
        } else if (w == "fs") {
            cf.halfPoints = hasParam ? std::clamp(p, 2, 3276) : 24;
        } else if (w == "cf") {
            cf.color = std::max(0, p);
        } else if (w == "highlight" || w == "cb") {
            cf.highlight = std::max(0, p);
        } else if (w == "f") {
            cf.font = p;
        } else if (w == "deff") {
            m_defaultFont = p;
            cf.font = p;
        } else if (w == "uc") {
            g.uc = std::clamp(p, 0, 8);
        } else if (w == "u") {
            int v = p;
            if (v < 0)
                v += 65536;
            if (v >= 0 && v <= 0xFFFF)
                character(QChar(char16_t(v)));
            m_skipChars = g.uc;
        } else if (w == "ql") {
            pf.align = 0;
        } else if (w == "qc") {
            pf.align = 1;
        } else if (w == "qr") {
            pf.align = 2;
        } else if (w == "qj") {
            pf.align = 3;
        } else if (w == "li") {
            pf.left = pageBound(p);
        } else if (w == "ri") {
            pf.right = pageBound(p);
        } else if (w == "fi") {
            pf.first = pageBound(p);
        } else if (w == "sb") {
            pf.before = pageBound(p);
        } else if (w == "sa") {
            pf.after = pageBound(p);
        } else if (w == "intbl") {
            pf.inTable = true;
        } else if (w == "trowd") {
            m_cellx.clear();
        } else if (w == "cellx") {
            if (m_cellx.size() < 64)
                m_cellx.push_back(pageBound(p));
        } else if (w == "cell") {
            endCell();
        } else if (w == "row") {
            endRow();
        } else if (w == "bullet") {
            character(QChar(0x2022));
        } else if (w == "endash") {
            character(QChar(0x2013));
        } else if (w == "emdash") {
            character(QChar(0x2014));
        } else if (w == "lquote") {
            character(QChar(0x2018));
        } else if (w == "rquote") {
            character(QChar(0x2019));
        } else if (w == "ldblquote") {
            character(QChar(0x201C));
        } else if (w == "rdblquote") {
            character(QChar(0x201D));
        } else if (w == "enspace" || w == "emspace" || w == "qmspace") {
            character(QChar(u' '));
        }
    }

    // A byte of the text; `escaped` when it came from \'hh or \\, \{, \}.
    void byteChar(uchar c, bool escaped = false)
    {
        if (m_skipChars > 0) {
            --m_skipChars;
            return;
        }
        if (!escaped && c == ';') {
            if (top().dest == Dest::ColorTable) {
                m_colors.push_back(m_colorPending ? m_color : QColor());
                m_color = QColor(0, 0, 0);
                m_colorPending = false;
                return;
            }
            if (top().dest == Dest::FontTable) {
                if (m_fonts.size() < 1000)
                    m_fonts.insert(m_fontNumber, m_fontName.trimmed());
                m_fontName.clear();
                return;
            }
        }
        character(fromCp1252(c));
    }

    void character(QChar c)
    {
        Group &g = top();
        switch (g.dest) {
        case Dest::Skip:
        case Dest::ColorTable:
            return;
        case Dest::FontTable:
            if (m_fontName.size() < 200)
                m_fontName += c;
            return;
        case Dest::FieldInst:
            if (g.field >= 0 && m_fields[g.field].instruction.size() < 4096)
                m_fields[g.field].instruction += c;
            return;
        case Dest::Text:
            break;
        }
        if (c.unicode() == 0)
            return;
        if (!(g.chars == m_runFormat))
            flushRun();
        m_runFormat = g.chars;
        m_lastTextPara = g.para;
        m_run += c;
        m_paraHasContent = true;
        // Laying out a word grows with the square of its length; a word of a
        // million letters froze the window. A zero-width space lets it break.
        m_wordLength = c.isSpace() ? 0 : m_wordLength + 1;
        if (m_wordLength >= kLongestWord) {
            m_run += QChar(0x200B);
            m_wordLength = 0;
        }
    }

    void endColorTable()
    {
        if (m_colorPending)
            m_colors.push_back(m_color);
        m_colorPending = false;
    }

    QString colorName(int index) const
    {
        if (index <= 0 || index >= m_colors.size() || !m_colors.at(index).isValid())
            return {};
        return m_colors.at(index).name();
    }

    void flushRun()
    {
        if (m_run.isEmpty())
            return;
        const CharFormat &f = m_runFormat;
        QString style;
        if (f.bold)
            style += "font-weight:700;";
        if (f.italic)
            style += "font-style:italic;";
        if (f.underline && f.strike)
            style += "text-decoration:underline line-through;";
        else if (f.underline)
            style += "text-decoration:underline;";
        else if (f.strike)
            style += "text-decoration:line-through;";
        style += QString("font-size:%1pt;").arg(f.halfPoints / 2.0);
        if (const QString c = colorName(f.color); !c.isEmpty())
            style += "color:" + c + ";";
        if (const QString c = colorName(f.highlight); !c.isEmpty())
            style += "background-color:" + c + ";";
        if (const QString family = m_fonts.value(f.font); !family.isEmpty())
            style += "font-family:'" + QString(family).remove('\'').remove('"').toHtmlEscaped() + "';";
        if (f.vertical != 0)
            style += f.vertical > 0 ? "vertical-align:super;" : "vertical-align:sub;";
        QString span = "<span style=\"" + style + "\">" + m_run.toHtmlEscaped() + "</span>";
        if (!f.link.isEmpty())
            span = "<a href=\"" + f.link.toHtmlEscaped() + "\">" + span + "</a>";
        m_para += span;
        m_run.clear();
    }

    QString paragraphHtml(const ParaFormat &pf)
    {
        static const char *const aligns[] = {"left", "center", "right", "justify"};
        QString style = "margin-top:" + twipsToPx(pf.before) + "; margin-bottom:" + twipsToPx(pf.after) +
                        "; margin-left:" + twipsToPx(std::max(0, pf.left)) +
                        "; margin-right:" + twipsToPx(std::max(0, pf.right)) +
                        "; text-indent:" + twipsToPx(pf.first) + "; white-space:pre-wrap;";
        if (m_pageBreak)
            style += " page-break-before:always;";
        m_pageBreak = false;
        const QString body = m_para.isEmpty() ? QString("<br />") : m_para;
        if (m_para.isEmpty())
            style += " -qt-paragraph-type:empty;";
        m_para.clear();
        m_paraHasContent = false;
        return "<p align=\"" + QLatin1String(aligns[pf.align]) + "\" style=\"" + style + "\">" + body + "</p>";
    }

    // `always` for \par, which ends even an empty paragraph.
    void endParagraph(bool always, const ParaFormat *format = nullptr)
    {
        flushRun();
        if (!always && !m_paraHasContent)
            return;
        const ParaFormat &pf = format ? *format : top().para;
        if (pf.inTable) {
            m_cell += paragraphHtml(pf);
            return;
        }
        closeTable();
        m_body += paragraphHtml(pf);
    }

    void endCell()
    {
        flushRun();
        if (m_paraHasContent) {
            ParaFormat pf = top().para;
            pf.before = pf.after = 0;
            m_cell += paragraphHtml(pf);
        }
        if (m_cells.size() < 64)
            m_cells << m_cell;
        m_cell.clear();
    }

    void endRow()
    {
        flushRun();
        if (m_paraHasContent || !m_cell.isEmpty())
            endCell();
        if (m_cells.isEmpty())
            return;
        QString row = "<tr>";
        int previous = 0;
        for (qsizetype c = 0; c < m_cells.size(); ++c) {
            QString width;
            if (c < qsizetype(m_cellx.size()) && m_cellx[c] > previous) {
                width = QString(" width=\"%1\"").arg((m_cellx[c] - previous) / kTwipsPerPixel);
                previous = m_cellx[c];
            }
            const QString content = m_cells.at(c).isEmpty() ? QString("<br />") : m_cells.at(c);
            row += "<td" + width + ">" + content + "</td>";
        }
        row += "</tr>";
        m_rows << row;
        m_cells.clear();
    }

    void closeTable()
    {
        if (!m_cells.isEmpty() || !m_cell.isEmpty())
            endRow();
        if (m_rows.isEmpty())
            return;
        m_body += "<table border=\"1\" cellspacing=\"0\" cellpadding=\"4\" "
                  "style=\"border-collapse:collapse; border-color:#808080; margin-top:4px; margin-bottom:8px;\">" +
                  m_rows.join(QString()) + "</table>";
        m_rows.clear();
    }

    QString html() const
    {
        QString style = "font-size:12pt;";
        if (const QString family = m_fonts.value(m_defaultFont); !family.isEmpty())
            style += "font-family:'" + QString(family).remove('\'').remove('"').toHtmlEscaped() + "';";
        return "<html><head><meta charset=\"utf-8\" /></head><body style=\"" + style + "\">" + m_body +
               "</body></html>";
    }

    const QByteArray &m_in;
    std::vector<Group> m_stack;
    int m_overflow = 0;
    int m_skipChars = 0;

    QList<QColor> m_colors;
    QColor m_color = QColor(0, 0, 0);
    bool m_colorPending = false;
    QHash<int, QString> m_fonts;
    int m_fontNumber = 0;
    QString m_fontName;
    int m_defaultFont = -1;
    std::vector<Field> m_fields;

    CharFormat m_runFormat;
    QString m_run;
    QString m_para;
    bool m_paraHasContent = false;
    ParaFormat m_lastTextPara;
    bool m_pageBreak = false;
    QString m_body;

    static constexpr int kLongestWord = 200;
    int m_wordLength = 0;
    std::vector<int> m_cellx;
    QString m_cell;
    QStringList m_cells;
    QStringList m_rows;
};

} // namespace

QString toHtml(const QByteArray &rtf)
{
    return Converter(rtf).run();
}

void load(QTextDocument *doc, const QByteArray &rtf)
{
    doc->setHtml(toHtml(rtf));
}

bool loadFile(QTextDocument *doc, const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        doc->setPlainText(QString("The document %1 could not be opened.").arg(path));
        return false;
    }
    // Help documents are tens of kilobytes; one of many megabytes is no help
    // document, and laying it out would hold the window for minutes.
    constexpr qint64 kMaxBytes = 16 << 20;
    if (file.size() > kMaxBytes) {
        doc->setPlainText(QString("The document %1 is too large to show (%2 MB; a help document may hold %3 MB).")
                              .arg(path)
                              .arg(file.size() >> 20)
                              .arg(kMaxBytes >> 20));
        return false;
    }
    const QByteArray data = file.readAll();
    if (!data.trimmed().startsWith("{\\rtf"))
        doc->setPlainText(QString::fromUtf8(data));
    else
        load(doc, data);
    return true;
}

} // namespace RtfDocument
