#pragma once

#include <QByteArray>
#include <QString>

class QTextDocument;

// The help and credits documents are RTF files; Qt reads none, so this turns
// the control words a word processor commonly writes into Qt rich text:
// paragraphs (alignment, indents, spacing), bold, italic, underline, strike,
// font sizes and names, the colour table, \'hh escapes (code page 1252), \uN
// escapes, simple tables and HYPERLINK fields. Other destinations are skipped;
// malformed input gives whatever text could be read, never a failure.
namespace RtfDocument {

// HTML in the subset QTextDocument::setHtml understands.
QString toHtml(const QByteArray &rtf);

// Replaces the content of `doc` with the converted text.
void load(QTextDocument *doc, const QByteArray &rtf);

// Reads `path` into `doc`. A file that cannot be read leaves a short notice in
// `doc` and gives false; a file that is not RTF is shown as plain text.
bool loadFile(QTextDocument *doc, const QString &path);

} // namespace RtfDocument
