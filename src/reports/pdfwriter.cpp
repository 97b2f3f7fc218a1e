#include "reports/pdfwriter.h"

#include "reports/reportfonts.h"

#include <QDateTime>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QHash>
#include <QIODevice>
#include <QImage>
#include <QPainter>
#include <QRawFont>
#include <QTextLayout>

#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

// Texts are shaped at the resolution the report fonts are measured at, so
// that a text lands where the layout measured it.
const qreal kToPoints = 72.0 / ReportFonts::kMeasuringDpi;

// A number as PDF wants it: at most three decimals, no exponent.
void put(std::string &out, double v)
{
    long long m = std::llround(v * 1000);
    if (m < 0) {
        out += '-';
        m = -m;
    }
    out += std::to_string(m / 1000);
    if (int frac = int(m % 1000)) {
        char digits[5] = {'.', char('0' + frac / 100), char('0' + frac / 10 % 10), char('0' + frac % 10), 0};
        int n = 4;
        while (digits[n - 1] == '0')
            --n;
        out.append(digits, size_t(n));
    }
    out += ' ';
}

void putHex4(std::string &out, unsigned v)
{
    static const char hex[] = "0123456789ABCDEF";
    out += hex[(v >> 12) & 15];
    out += hex[(v >> 8) & 15];
    out += hex[(v >> 4) & 15];
    out += hex[v & 15];
}

void putColor(std::string &out, const QColor &c, const char *op)
{
    put(out, c.redF());
    put(out, c.greenF());
    put(out, c.blueF());
    out += op;
    out += '\n';
}

// One compressor for the whole file: setting one up takes a quarter of a
// megabyte, which a stream a page would take and give back each time.
class Deflater
{
public:
    Deflater() { m_ok = deflateInit(&m_z, Z_BEST_SPEED) == Z_OK; }
    ~Deflater()
    {
        if (m_ok)
            deflateEnd(&m_z);
    }
    Deflater(const Deflater &) = delete;
    Deflater &operator=(const Deflater &) = delete;

    // Empty when zlib fails, which leaves the stream to be written as it is.
    const QByteArray &operator()(const char *data, size_t size)
    {
        m_out.resize(qsizetype(deflateBound(&m_z, uLong(size))));
        if (!m_ok || deflateReset(&m_z) != Z_OK) {
            m_out.clear();
            return m_out;
        }
        m_z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data));
        m_z.avail_in = uInt(size);
        m_z.next_out = reinterpret_cast<Bytef *>(m_out.data());
        m_z.avail_out = uInt(m_out.size());
        if (deflate(&m_z, Z_FINISH) != Z_STREAM_END)
            m_out.clear();
        else
            m_out.resize(qsizetype(m_z.total_out));
        return m_out;
    }

private:
    z_stream m_z{};
    bool m_ok = false;
    QByteArray m_out;
};

quint16 be16(const QByteArray &t, qsizetype at)
{
    return at + 2 <= t.size() ? quint16((uchar(t[at]) << 8) | uchar(t[at + 1])) : 0;
}

quint32 be32(const QByteArray &t, qsizetype at)
{
    return (quint32(be16(t, at)) << 16) | be16(t, at + 2);
}

void setBe16(QByteArray &t, qsizetype at, quint16 v)
{
    t[at] = char(v >> 8);
    t[at + 1] = char(v);
}

void appendBe16(QByteArray &t, quint16 v)
{
    t.append(char(v >> 8)).append(char(v));
}

void appendBe32(QByteArray &t, quint32 v)
{
    appendBe16(t, quint16(v >> 16));
    appendBe16(t, quint16(v));
}

quint32 tableSum(const QByteArray &t)
{
    quint32 sum = 0;
    for (qsizetype i = 0; i < t.size(); i += 4) {
        quint32 word = 0;
        for (int k = 0; k < 4; ++k)
            word = (word << 8) | (i + k < t.size() ? uchar(t[i + k]) : 0);
        sum += word;
    }
    return sum;
}

// A text in PDF's own encoding for the document information: UTF-16 with
// its byte order mark, as hex.
std::string infoText(const QString &s)
{
    std::string out = "<FEFF";
    for (const QChar c : s)
        putHex4(out, c.unicode());
    return out + '>';
}

// One face of a font as embedded: its tables, and what the pages used of it.
struct Face
{
    QRawFont raw;
    std::string name;
    int unitsPerEm = 1000;
    int descriptor = 0, toUnicode = 0; // shared by its sizes
    std::vector<bool> used;
    QHash<char32_t, quint16> glyphOf;
    std::map<quint16, char32_t> textOf;
};

// A face at one size. Text is laid out with advances rounded to the pixels
// of the device it is measured on, so each size has widths of its own; the
// file states them, and a text's glyphs then follow one another without an
// adjustment each.
struct SizedFont
{
    int face;
    qreal size;    // points
    qreal spacing; // pixels added after each glyph (the font's letter spacing)
    int object = 0;
    std::vector<float> widths; // thousandths of the size; < 0 not yet known
};

// A shaped line of text: runs of glyphs of one face each, at positions in
// points from the start of its baseline.
struct Shaped
{
    struct Run
    {
        int face;
        std::vector<quint16> glyphs;
        std::vector<QPointF> at;
    };
    std::vector<Run> runs;
    qreal width = 0;
};

// A font of the texts, with its measures in points.
struct TextFont
{
    QFont font;
    qreal size, ascent, descent, leading;
    qreal spacing; // pixels the font's letter spacing adds after each glyph
    // Short texts come again and again in a long list (types, magnitudes).
    QHash<QString, Shaped> shortTexts;
};

} // namespace

struct PdfWriter::Impl
{
    QIODevice *out;
    qint64 written = 0;
    bool failed = false;
    std::vector<qint64> offsets{0}; // by object number; 0 is the free head
    std::vector<int> pages;
    QSizeF pageSize;
    std::string content;
    int pageResources = 0;
    std::vector<Face> faces;
    QHash<QString, int> faceOf;
    std::vector<SizedFont> fonts;
    QHash<QString, int> fontOf;
    QHash<qint64, int> imageOf; // by QImage::cacheKey
    std::vector<int> images;
    std::vector<TextFont> textFonts;
    Deflater deflater;
    // State set on the page, so that it is set only when it changes.
    QColor fillColor, strokeColor;
    qreal strokeWidth = -1;
    int currentFace = -1;

    explicit Impl(QIODevice *device) : out(device) {}

    int newObject()
    {
        offsets.push_back(0);
        return int(offsets.size()) - 1;
    }

    void raw(const char *data, qint64 size)
    {
        if (out->write(data, size) != size)
            failed = true;
        written += size;
    }
    void raw(const std::string &s) { raw(s.data(), qint64(s.size())); }
    void raw(const QByteArray &s) { raw(s.constData(), s.size()); }

    void beginObject(int n)
    {
        offsets[size_t(n)] = written;
        raw(std::to_string(n) + " 0 obj\n");
    }

    void object(int n, const std::string &body)
    {
        beginObject(n);
        raw(body);
        raw("\nendobj\n", 8);
    }

    void stream(int n, const std::string &dictionary, const QByteArray &data)
    {
        const QByteArray &deflated = deflater(data.constData(), size_t(data.size()));
        const bool deflate = !deflated.isEmpty();
        const QByteArray &packed = deflate ? deflated : data;
        beginObject(n);
        raw("<<" + dictionary + (deflate ? " /Filter /FlateDecode" : "") +
            " /Length " + std::to_string(packed.size()) + " >>\nstream\n");
        raw(packed);
        raw("\nendstream\nendobj\n", 18);
    }

    int face(const QRawFont &font)
    {
        const QString key = font.familyName() + '|' + font.styleName() + '|' + QString::number(font.weight()) + '|' +
                            QString::number(int(font.style()));
        if (const auto it = faceOf.constFind(key); it != faceOf.constEnd())
            return *it;
        Face f;
        f.raw = font;
        f.unitsPerEm = std::max(1, int(font.unitsPerEm()));
        f.used.assign(be16(font.fontTable("maxp"), 4), false);
        // A subset's name carries a tag of six capitals of its own.
        std::string tag;
        for (int n = int(faces.size()), i = 0; i < 6; ++i, n /= 26)
            tag += char('A' + n % 26);
        QString name = font.familyName() + '-' + font.styleName();
        name.remove(' ');
        f.name = tag + '+' + name.toLatin1().toStdString();
        faces.push_back(std::move(f));
        faceOf.insert(key, int(faces.size()) - 1);
        return int(faces.size()) - 1;
    }

    int sizedFont(const QRawFont &raw, qreal spacing)
    {
        const int f = face(raw);
        const QString key = QString::number(f) + '|' + QString::number(raw.pixelSize(), 'g', 12) + '|' +
                            QString::number(spacing, 'g', 12);
        if (const auto it = fontOf.constFind(key); it != fontOf.constEnd())
            return *it;
        SizedFont sized{f, raw.pixelSize() * kToPoints, spacing, newObject(), {}};
        sized.widths.assign(faces[size_t(f)].used.size(), -1);
        fonts.push_back(std::move(sized));
        fontOf.insert(key, int(fonts.size()) - 1);
        return int(fonts.size()) - 1;
    }

    // The widths of glyphs met for the first time at this size, from the
    // font engine that laid them out.
    void learnWidths(SizedFont &font, const QRawFont &raw, const QList<quint32> &glyphs)
    {
        QList<quint32> unknown;
        for (const quint32 g : glyphs)
            if (g < font.widths.size() && font.widths[g] < 0 && !unknown.contains(g))
                unknown << g;
        if (unknown.isEmpty())
            return;
        const QList<QPointF> advances = raw.advancesForGlyphIndexes(unknown);
        for (qsizetype i = 0; i < unknown.size() && i < advances.size(); ++i)
            font.widths[unknown[i]] =
                float(std::round((advances[i].x() + font.spacing) * kToPoints * 1000 / font.size * 1000) / 1000);
    }

    // What each glyph of the runs stands for, so that the text can be
    // searched and copied from the file.
    void learnText(const QString &line, const Shaped &shaped)
    {
        for (const Shaped::Run &run : shaped.runs) {
            Face &f = faces[size_t(fonts[size_t(run.face)].face)];
            for (const quint16 g : run.glyphs)
                if (g < f.used.size())
                    f.used[g] = true;
            for (const char32_t c : line.toUcs4()) {
                auto it = f.glyphOf.find(c);
                if (it == f.glyphOf.end()) {
                    const QList<quint32> g = f.raw.glyphIndexesForString(QString::fromUcs4(&c, 1));
                    it = f.glyphOf.insert(c, g.size() == 1 ? quint16(g[0]) : 0);
                }
                if (*it != 0)
                    f.textOf.emplace(*it, c);
            }
        }
    }

    // `line` shaped as one line: its runs, and its width and ascent in pixels.
    static QList<QGlyphRun> glyphRuns(const QFont &font, const QString &line, qreal *width = nullptr,
                                      qreal *ascent = nullptr)
    {
        QTextLayout layout(line, font, &ReportFonts::measuringDevice());
        QTextOption option;
        option.setWrapMode(QTextOption::NoWrap);
        layout.setTextOption(option);
        layout.beginLayout();
        const QTextLine l = layout.createLine();
        layout.endLayout();
        if (!l.isValid())
            return {};
        if (width)
            *width = l.naturalTextWidth();
        if (ascent)
            *ascent = l.ascent();
        return layout.glyphRuns();
    }

    // What the font's letter spacing adds after each glyph, seen on two
    // glyphs that no font kerns.
    static qreal letterSpacing(const QFont &font)
    {
        const QList<QGlyphRun> runs = glyphRuns(font, QStringLiteral("ll"));
        if (runs.size() != 1 || runs[0].glyphIndexes().size() != 2)
            return 0;
        const QList<QPointF> advance = runs[0].rawFont().advancesForGlyphIndexes({runs[0].glyphIndexes()[0]});
        return advance.isEmpty() ? 0 : runs[0].positions()[1].x() - runs[0].positions()[0].x() - advance[0].x();
    }

    Shaped shape(const TextFont &text, const QString &line)
    {
        Shaped s;
        qreal ascent = 0;
        const QList<QGlyphRun> runs = glyphRuns(text.font, line, &s.width, &ascent);
        s.width *= kToPoints;
        for (const QGlyphRun &run : runs) {
            Shaped::Run r;
            r.face = sizedFont(run.rawFont(), text.spacing);
            const QList<quint32> glyphs = run.glyphIndexes();
            learnWidths(fonts[size_t(r.face)], run.rawFont(), glyphs);
            const QList<QPointF> at = run.positions();
            for (qsizetype i = 0; i < glyphs.size() && i < at.size(); ++i) {
                r.glyphs.push_back(quint16(glyphs[i]));
                r.at.emplace_back(at[i].x() * kToPoints, (at[i].y() - ascent) * kToPoints);
            }
            if (!r.glyphs.empty())
                s.runs.push_back(std::move(r));
        }
        learnText(line, s);
        return s;
    }

    const Shaped &shaped(TextFont &font, const QString &line, Shaped &scratch)
    {
        if (line.size() > 16) {
            scratch = shape(font, line);
            return scratch;
        }
        if (const auto it = font.shortTexts.constFind(line); it != font.shortTexts.constEnd())
            return *it;
        if (font.shortTexts.size() > 20000)
            font.shortTexts.clear();
        return *font.shortTexts.insert(line, shape(font, line));
    }

    void setFill(const QColor &c)
    {
        if (c != fillColor) {
            fillColor = c;
            putColor(content, c, "rg");
        }
    }

    void setStroke(qreal width, const QColor &c)
    {
        if (c != strokeColor) {
            strokeColor = c;
            putColor(content, c, "RG");
        }
        if (width != strokeWidth) {
            strokeWidth = width;
            put(content, width);
            content += "w\n";
        }
    }

    // A shaped line with its baseline's start at (x, y).
    void draw(const Shaped &s, qreal x, qreal y)
    {
        for (const Shaped::Run &run : s.runs) {
            const SizedFont &f = fonts[size_t(run.face)];
            content += "BT\n";
            if (run.face != currentFace) {
                currentFace = run.face;
                content += "/F" + std::to_string(run.face) + ' ';
                put(content, f.size);
                content += "Tf\n";
            }
            // The page is upside down (y grows down); the text matrix turns
            // the letters upright again.
            qreal penX = 0, penY = 0;
            bool open = false;
            for (size_t i = 0; i < run.glyphs.size(); ++i) {
                const QPointF at = run.at[i];
                if (!open || std::abs(at.y() - penY) > 0.001) {
                    if (open)
                        content += ">] TJ\n";
                    content += "1 0 0 -1 ";
                    put(content, x + at.x());
                    put(content, y + at.y());
                    content += "Tm [<";
                    penX = at.x();
                    penY = at.y();
                    open = true;
                } else if (std::abs(at.x() - penX) > 0.001) {
                    // Kerning and spacing: how far the glyph stands from where
                    // the last one's advance left the pen, in thousandths of
                    // the font size, positive to the left.
                    content += "> ";
                    put(content, (penX - at.x()) * 1000 / f.size);
                    content += '<';
                    penX = at.x();
                }
                putHex4(content, run.glyphs[i]);
                const quint16 g = run.glyphs[i];
                penX += g < f.widths.size() && f.widths[g] > 0 ? qreal(f.widths[g]) * f.size / 1000 : 0;
            }
            content += ">] TJ\nET\n";
        }
    }

    // The embedded program, its descriptor and what its glyphs stand for.
    void faceObjects(Face &f)
    {
        f.descriptor = newObject();
        f.toUnicode = newObject();
        const int file = newObject();
        const QByteArray head = f.raw.fontTable("head"), hhea = f.raw.fontTable("hhea");
        auto scaled = [&](quint16 v) { return std::to_string(std::lround(qint16(v) * 1000.0 / f.unitsPerEm)); };
        const bool italic = f.raw.style() != QFont::StyleNormal;
        object(f.descriptor, "<< /Type /FontDescriptor /FontName /" + f.name + " /Flags " +
                                 std::to_string(italic ? 32 + 64 : 32) + " /FontBBox [" + scaled(be16(head, 36)) +
                                 ' ' + scaled(be16(head, 38)) + ' ' + scaled(be16(head, 40)) + ' ' +
                                 scaled(be16(head, 42)) + "] /ItalicAngle " + (italic ? "-12" : "0") + " /Ascent " +
                                 scaled(be16(hhea, 4)) + " /Descent " + scaled(be16(hhea, 6)) + " /CapHeight " +
                                 scaled(be16(hhea, 4)) + " /StemV 80 /FontFile2 " + std::to_string(file) + " 0 R >>");
        const QByteArray program = subset(f);
        stream(file, " /Length1 " + std::to_string(program.size()), program);
        stream(f.toUnicode, "", unicodeMap(f));
    }

    // A size of a face: the font the pages name, with its widths.
    std::string fontObjects(const SizedFont &font)
    {
        const Face &f = faces[size_t(font.face)];
        const int cidFont = newObject();
        object(font.object, "<< /Type /Font /Subtype /Type0 /BaseFont /" + f.name +
                                " /Encoding /Identity-H /DescendantFonts [" + std::to_string(cidFont) +
                                " 0 R] /ToUnicode " + std::to_string(f.toUnicode) + " 0 R >>");
        std::string widths;
        for (size_t g = 0; g < font.widths.size(); ++g) {
            if (font.widths[g] < 0)
                continue;
            widths += std::to_string(g) + " [";
            put(widths, font.widths[g]);
            widths += "] ";
        }
        object(cidFont, "<< /Type /Font /Subtype /CIDFontType2 /BaseFont /" + f.name +
                            " /CIDSystemInfo << /Registry (Adobe) /Ordering (Identity) /Supplement 0 >>"
                            " /FontDescriptor " +
                            std::to_string(f.descriptor) + " 0 R /DW 0 /W [" + widths + "] /CIDToGIDMap /Identity >>");
        return "/F" + std::to_string(&font - fonts.data()) + ' ' + std::to_string(font.object) + " 0 R ";
    }

    // The font's own tables with the glyphs no page used left empty, so that
    // glyph numbers stay as they are.
    QByteArray subset(Face &f) const
    {
        QByteArray head = f.raw.fontTable("head");
        const QByteArray loca = f.raw.fontTable("loca"), glyf = f.raw.fontTable("glyf");
        const bool longOffsets = be16(head, 50) != 0;
        const int count = int(f.used.size());
        auto offset = [&](int g) -> quint32 {
            return longOffsets ? be32(loca, qsizetype(g) * 4) : quint32(be16(loca, qsizetype(g) * 2)) * 2;
        };
        std::vector<bool> keep = f.used;
        if (!keep.empty())
            keep[0] = true; // .notdef
        // A composite glyph is drawn from others, which it needs too.
        for (int g = 0; g < count; ++g) {
            if (!keep[size_t(g)])
                continue;
            std::vector<int> todo{g};
            while (!todo.empty()) {
                const int c = todo.back();
                todo.pop_back();
                const quint32 at = offset(c);
                if (offset(c + 1) <= at || qint16(be16(glyf, at)) >= 0)
                    continue;
                qsizetype p = at + 10;
                for (quint16 flags = 0x20; flags & 0x20;) {
                    flags = be16(glyf, p);
                    const quint16 part = be16(glyf, p + 2);
                    p += 4 + ((flags & 0x1) ? 4 : 2);
                    p += (flags & 0x8) ? 2 : (flags & 0x40) ? 4 : (flags & 0x80) ? 8 : 0;
                    if (part < count && !keep[part]) {
                        keep[part] = true;
                        if (part < g)
                            todo.push_back(part);
                    }
                }
            }
        }
        QByteArray newGlyf, newLoca;
        for (int g = 0; g < count; ++g) {
            appendBe32(newLoca, quint32(newGlyf.size()));
            if (keep[size_t(g)] && offset(g + 1) > offset(g)) {
                newGlyf.append(glyf.mid(offset(g), offset(g + 1) - offset(g)));
                while (newGlyf.size() % 4)
                    newGlyf.append('\0');
            }
        }
        appendBe32(newLoca, quint32(newGlyf.size()));
        setBe16(head, 50, 1);              // long offsets
        head.replace(8, 4, QByteArray(4, '\0')); // checksum adjustment, left out
        std::map<QByteArray, QByteArray> tables{{"head", head}, {"loca", newLoca}, {"glyf", newGlyf}};
        for (const char *tag : {"hhea", "maxp", "hmtx", "cvt ", "fpgm", "prep"}) {
            const QByteArray t = f.raw.fontTable(tag);
            if (!t.isEmpty())
                tables.emplace(tag, t);
        }
        QByteArray file;
        const quint16 n = quint16(tables.size());
        quint16 power = 1, log = 0;
        while (power * 2 <= n) {
            power *= 2;
            ++log;
        }
        appendBe32(file, 0x00010000);
        appendBe16(file, n);
        appendBe16(file, quint16(power * 16));
        appendBe16(file, log);
        appendBe16(file, quint16(n * 16 - power * 16));
        quint32 at = 12 + 16 * quint32(n);
        for (const auto &[tag, t] : tables) {
            file.append(tag.left(4));
            appendBe32(file, tableSum(t));
            appendBe32(file, at);
            appendBe32(file, quint32(t.size()));
            at += quint32((t.size() + 3) / 4 * 4);
        }
        for (const auto &[tag, t] : tables) {
            file.append(t);
            while (file.size() % 4)
                file.append('\0');
        }
        return file;
    }

    static QByteArray unicodeMap(const Face &f)
    {
        std::string cmap = "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
                           "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
                           "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
                           "1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n";
        std::vector<std::pair<quint16, char32_t>> entries(f.textOf.begin(), f.textOf.end());
        for (size_t from = 0; from < entries.size(); from += 100) {
            const size_t to = std::min(entries.size(), from + 100);
            cmap += std::to_string(to - from) + " beginbfchar\n";
            for (size_t i = from; i < to; ++i) {
                cmap += '<';
                putHex4(cmap, entries[i].first);
                cmap += "> <";
                const QString s = QString::fromUcs4(&entries[i].second, 1);
                for (const QChar c : s)
                    putHex4(cmap, c.unicode());
                cmap += ">\n";
            }
            cmap += "endbfchar\n";
        }
        cmap += "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
        return QByteArray::fromStdString(cmap);
    }
};

PdfWriter::PdfWriter(QIODevice *out, const QString &title, const QString &creator) : d(std::make_unique<Impl>(out))
{
    d->raw(std::string("%PDF-1.4\n%\xe2\xe3\xcf\xd3\n"));
    // The catalogue, the page tree, the resources all pages share and the
    // document's information come first by number and last in the file.
    for (int i = 0; i < 4; ++i)
        d->newObject();
    d->pageResources = 3;
    d->object(4, "<< /Title " + infoText(title) + " /Creator " + infoText(creator) + " /Producer " +
                     infoText(creator) + " /CreationDate (D:" +
                     QDateTime::currentDateTimeUtc().toString("yyyyMMddHHmmss").toStdString() + "Z) >>");
}

PdfWriter::~PdfWriter() = default;

void PdfWriter::beginPage(const QSizeF &size)
{
    d->pageSize = size;
    d->content.clear();
    d->fillColor = d->strokeColor = QColor();
    d->strokeWidth = -1;
    d->currentFace = -1;
    // y down from the top, as the layout has it; square caps, bevel joins.
    d->content += "1 0 0 -1 0 ";
    put(d->content, size.height());
    d->content += "cm 2 J 2 j\n";
}

int PdfWriter::font(const QFont &font)
{
    for (size_t i = 0; i < d->textFonts.size(); ++i)
        if (d->textFonts[i].font == font)
            return int(i);
    const QFontMetricsF m(font, &ReportFonts::measuringDevice());
    d->textFonts.push_back({font, font.pointSizeF(), m.ascent() * kToPoints, m.descent() * kToPoints,
                            m.leading() * kToPoints, Impl::letterSpacing(font), {}});
    return int(d->textFonts.size()) - 1;
}

void PdfWriter::text(int font, const QColor &color, const QRectF &r, int flags, const QString &text)
{
    if (text.isEmpty() || font < 0 || font >= int(d->textFonts.size()))
        return;
    TextFont &f = d->textFonts[size_t(font)];
    QStringList lines;
    if (text.contains(QChar::LineSeparator) || text.contains('\n'))
        lines = QString(text).replace('\n', QChar::LineSeparator).split(QChar::LineSeparator);
    else
        lines << text;
    Shaped scratch;
    // Metrics of the font itself: a line's own ascent would move a line of
    // capitals against one with descenders.
    const qreal ascent = f.ascent, descent = f.descent, leading = f.leading;
    // As QPainter lays out lines: each a leading below the last, on a whole
    // device pixel; lines past the rectangle's bottom are not drawn.
    std::vector<qreal> tops;
    qreal height = lines.size() > 1 ? -leading : 0;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines.size() > 1) {
            height += leading;
            height = std::ceil(height / kToPoints - 1e-9) * kToPoints;
        }
        tops.push_back(height);
        height += ascent + descent;
        if (lines.size() > 1 && height >= r.height())
            break;
    }
    qreal y = r.top();
    if (flags & Qt::AlignBottom)
        y = r.bottom() - height;
    else if (flags & Qt::AlignVCenter)
        y = r.top() + (r.height() - height) / 2;
    const bool clip = lines.size() > 1 && height > r.height();
    d->setFill(color);
    if (clip) {
        d->content += "q ";
        for (const qreal v : {r.x(), r.y(), r.width(), r.height()})
            put(d->content, v);
        d->content += "re W n\n";
    }
    for (size_t i = 0; i < tops.size(); ++i) {
        const QString &line = lines[qsizetype(i)];
        if (line.isEmpty())
            continue;
        const Shaped &s = d->shaped(f, line, scratch);
        qreal x = r.left();
        if (flags & Qt::AlignRight)
            x = r.right() - s.width;
        else if (flags & Qt::AlignHCenter)
            x = r.left() + (r.width() - s.width) / 2;
        d->draw(s, x, y + tops[i] + ascent);
    }
    if (clip) {
        d->content += "Q\n";
        // The graphics state comes back as it was before the clip.
        d->fillColor = d->strokeColor = QColor();
        d->strokeWidth = -1;
        d->currentFace = -1;
    }
}

void PdfWriter::line(const QPointF &from, const QPointF &to, qreal width, const QColor &color)
{
    d->setStroke(width, color);
    put(d->content, from.x());
    put(d->content, from.y());
    d->content += "m ";
    put(d->content, to.x());
    put(d->content, to.y());
    d->content += "l S\n";
}

void PdfWriter::frame(const QRectF &r, qreal width, const QColor &color)
{
    d->setStroke(width, color);
    for (const qreal v : {r.x(), r.y(), r.width(), r.height()})
        put(d->content, v);
    d->content += "re S\n";
}

void PdfWriter::fill(const QRectF &r, const QColor &color)
{
    d->setFill(color);
    for (const qreal v : {r.x(), r.y(), r.width(), r.height()})
        put(d->content, v);
    d->content += "re f\n";
}

void PdfWriter::ellipse(const QRectF &r, qreal width, const QColor &color)
{
    d->setStroke(width, color);
    // Four cubic curves, each a quarter.
    constexpr qreal k = 0.5522847498;
    const qreal cx = r.center().x(), cy = r.center().y(), rx = r.width() / 2, ry = r.height() / 2;
    auto point = [&](qreal x, qreal y) {
        put(d->content, x);
        put(d->content, y);
    };
    point(cx + rx, cy);
    d->content += "m ";
    point(cx + rx, cy + k * ry), point(cx + k * rx, cy + ry), point(cx, cy + ry);
    d->content += "c ";
    point(cx - k * rx, cy + ry), point(cx - rx, cy + k * ry), point(cx - rx, cy);
    d->content += "c ";
    point(cx - rx, cy - k * ry), point(cx - k * rx, cy - ry), point(cx, cy - ry);
    d->content += "c ";
    point(cx + k * rx, cy - ry), point(cx + rx, cy - k * ry), point(cx + rx, cy);
    d->content += "c S\n";
}

void PdfWriter::image(const QRectF &r, const QImage &image)
{
    if (image.isNull())
        return;
    int n = d->imageOf.value(image.cacheKey(), -1);
    if (n < 0) {
        // Transparent parts show the white paper.
        QImage rgb(image.size(), QImage::Format_RGB888);
        rgb.fill(Qt::white);
        {
            QPainter p(&rgb);
            p.drawImage(0, 0, image);
        }
        QByteArray pixels;
        pixels.reserve(qsizetype(rgb.width()) * rgb.height() * 3);
        for (int y = 0; y < rgb.height(); ++y)
            pixels.append(reinterpret_cast<const char *>(rgb.constScanLine(y)), qsizetype(rgb.width()) * 3);
        const int object = d->newObject();
        d->stream(object,
                  " /Type /XObject /Subtype /Image /Width " + std::to_string(rgb.width()) + " /Height " +
                      std::to_string(rgb.height()) + " /ColorSpace /DeviceRGB /BitsPerComponent 8",
                  pixels);
        n = int(d->images.size());
        d->images.push_back(object);
        d->imageOf.insert(image.cacheKey(), n);
    }
    // The unit square's top is the image's first row.
    d->content += "q ";
    for (const qreal v : {r.width(), 0.0, 0.0, -r.height(), r.x(), r.bottom()})
        put(d->content, v);
    d->content += "cm /Im" + std::to_string(n) + " Do Q\n";
}

void PdfWriter::endPage()
{
    const int contents = d->newObject(), page = d->newObject();
    d->stream(contents, "", QByteArray::fromRawData(d->content.data(), qsizetype(d->content.size())));
    std::string box = "[0 0 ";
    put(box, d->pageSize.width());
    put(box, d->pageSize.height());
    box.back() = ']';
    d->object(page, "<< /Type /Page /Parent 2 0 R /MediaBox " + box + " /Resources " +
                        std::to_string(d->pageResources) + " 0 R /Contents " + std::to_string(contents) + " 0 R >>");
    d->pages.push_back(page);
}

bool PdfWriter::finish()
{
    std::string fonts, images;
    for (Face &f : d->faces)
        d->faceObjects(f);
    for (const SizedFont &f : d->fonts)
        fonts += d->fontObjects(f);
    for (size_t i = 0; i < d->images.size(); ++i)
        images += "/Im" + std::to_string(i) + ' ' + std::to_string(d->images[i]) + " 0 R ";
    d->object(3, "<< /Font << " + fonts + ">> /XObject << " + images + ">> >>");
    std::string kids;
    for (const int p : d->pages)
        kids += std::to_string(p) + " 0 R ";
    d->object(2, "<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(d->pages.size()) + " >>");
    d->object(1, "<< /Type /Catalog /Pages 2 0 R >>");
    const qint64 xref = d->written;
    std::string table = "xref\n0 " + std::to_string(d->offsets.size()) + "\n0000000000 65535 f \n";
    char entry[24];
    for (size_t i = 1; i < d->offsets.size(); ++i) {
        std::snprintf(entry, sizeof entry, "%010lld 00000 n \n", static_cast<long long>(d->offsets[i]));
        table += entry;
    }
    table += "trailer\n<< /Size " + std::to_string(d->offsets.size()) + " /Root 1 0 R /Info 4 0 R >>\nstartxref\n" +
             std::to_string(xref) + "\n%%EOF\n";
    d->raw(table);
    return !d->failed;
}
