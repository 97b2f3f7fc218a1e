"""Turns the small markup of the help sources into RTF that word processors open.

Markup, one block per paragraph (blocks are separated by blank lines):
  = Heading        == Subheading       - bullet item      | cell | cell |  (table row;
  a first row followed by |---| is a header row).  Inline: **bold**, *italic*,
  `code`, [label](https://address).
"""
import re

HEADER = (r"{\rtf1\ansi\ansicpg1252\deff0\uc1" "\n"
          r"{\fonttbl{\f0\fswiss\fcharset0 Arial;}{\f1\fmodern\fcharset0 Courier New;}}" "\n"
          r"{\colortbl ;\red31\green56\blue100;\red0\green70\blue180;\red90\green90\blue90;}" "\n"
          r"{\*\generator Velnora help sources;}\viewkind4\paperw12240\paperh15840\margl1440\margr1440" "\n")
BODY = r"\f0\fs20\cf0 "


def escape(text):
    out = []
    for ch in text:
        if ch in "\\{}":
            out.append("\\" + ch)
        elif ord(ch) < 128:
            out.append(ch)
        else:
            try:
                b = ch.encode("cp1252")
                out.append("\\'%02x" % b[0])
            except UnicodeEncodeError:
                code = ord(ch)
                out.append("\\u%d?" % (code - 65536 if code > 32767 else code))
    return "".join(out)


INLINE = re.compile(r"\*\*(.+?)\*\*|\*(.+?)\*|`(.+?)`|\[(.+?)\]\((.+?)\)")


def inline(text):
    out, pos = [], 0
    for m in INLINE.finditer(text):
        out.append(escape(text[pos:m.start()]))
        bold, italic, code, label, url = m.groups()
        if bold is not None:
            out.append(r"{\b " + escape(bold) + "}")
        elif italic is not None:
            out.append(r"{\i " + escape(italic) + "}")
        elif code is not None:
            out.append(r"{\f1 " + escape(code) + "}")
        else:
            out.append(r'{\field{\*\fldinst{HYPERLINK "' + escape(url) + r'"}}{\fldrslt{\ul\cf2 '
                       + escape(label) + "}}}")
        pos = m.end()
    out.append(escape(text[pos:]))
    return "".join(out)


def table(rows):
    cells = [[c.strip() for c in r.strip().strip("|").split("|")] for r in rows]
    header = len(cells) > 1 and all(re.fullmatch(r"-+", c) for c in cells[1])
    if header:
        cells = [cells[0]] + cells[2:]
    n = max(len(r) for r in cells)
    total = 9360
    first = 2600 if n > 1 else total
    edges = [first + (total - first) * (i + 1) // max(1, n - 1) for i in range(n - 1)] if n > 1 else []
    edges = [first] + edges if n > 1 else [total]
    border = r"\clbrdrt\brdrs\brdrw10\clbrdrl\brdrs\brdrw10\clbrdrb\brdrs\brdrw10\clbrdrr\brdrs\brdrw10"
    out = []
    for i, row in enumerate(cells):
        row = row + [""] * (n - len(row))
        out.append(r"\trowd\trgaph100\trleft0" + "".join(border + r"\cellx%d" % e for e in edges) + "\n")
        bold = header and i == 0
        out.append(r"\pard\intbl\sa0 " + "".join(
            (r"{\b " + inline(c) + "}" if bold else inline(c)) + r"\cell " for c in row) + r"\row" + "\n")
    out.append(r"\pard\sa120\par" + "\n")
    return "".join(out)


def to_rtf(markup):
    blocks, current = [], []
    for line in markup.strip("\n").split("\n"):
        if line.strip() == "":
            if current:
                blocks.append(current)
            current = []
        else:
            current.append(line.rstrip())
    if current:
        blocks.append(current)
    out = [HEADER, BODY]
    for block in blocks:
        first = block[0]
        if first.startswith("|"):
            out.append(table(block))
        elif first.startswith("- "):
            for n, item in enumerate(block):
                text = item[2:] if item.startswith("- ") else item
                after = 160 if n == len(block) - 1 else 60
                out.append(r"\pard\li360\fi-180\sa%d\bullet\~\~" % after + inline(text) + r"\par" + "\n")
        elif first.startswith("== "):
            out.append(r"\pard\keepn\sb200\sa80\cf1\b\fs24 " + inline(first[3:]) + r"\b0\fs20\cf0\par" + "\n")
            if block[1:]:
                out.append(r"\pard\sa120 " + inline(" ".join(block[1:])) + r"\par" + "\n")
        elif first.startswith("= "):
            out.append(r"\pard\keepn\sa160\cf1\b\fs32 " + inline(first[2:]) + r"\b0\fs20\cf0\par" + "\n")
            if block[1:]:
                out.append(r"\pard\sa120 " + inline(" ".join(block[1:])) + r"\par" + "\n")
        else:
            out.append(r"\pard\sa120 " + inline(" ".join(block)) + r"\par" + "\n")
    out.append("}\n")
    return "".join(out)
