// A small reader for Rich Text Format: turns RTF bytes into a QTextDocument.
//
// What it understands: groups, the font and colour tables, character formatting
// (\plain \f \fs \b \i \ul \strike \cf \v), paragraph formatting (\pard \ql \qr \qc \qj
// \li \ri \fi \sb \sa \sl \slmult \tx \tqr \tqc \tqdec), \par \line \tab \page, \'hh in
// the document's code page (\ansicpg, default 1252) or the font's (\fcharset, \cpg),
// \uN with \ucN fallback skipping, \~ \_ \- and the named special characters. Known
// destinations without text (\stylesheet, \info, \pict, \header, ...) and every
// ignorable destination {\* ...} are skipped; unknown control words are skipped too and
// reported in the warnings.
//
// What the document holds: one block per paragraph and one fragment per run of equal
// formatting. Character formats carry the font family, the point size, bold, italic,
// underline, strike-out and, when the text is not in the automatic colour, the
// foreground colour. Block formats carry the alignment and, in TWIPS (not pixels):
// left/right margins (\li \ri), text indent (\fi), top/bottom margins (\sb \sa), tab
// positions, and line height (ProportionalHeight in percent, MinimumHeight or
// FixedHeight in twips). A \page sets PageBreak_AlwaysBefore on the next block. A line
// break inside a paragraph is U+2028, a tab U+0009.
#pragma once

#include <QString>
#include <QTextDocument>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qor {

struct RtfReadOptions {
    // Font for text outside any known font: no font table, or \f of a missing entry.
    QString defaultFamily = QStringLiteral("Times New Roman");
    // Size for text without \fs, and what \plain restores; points.
    double defaultPointSize = 12.0;
};

struct RtfReadResult {
    // Never null. Empty (isEmpty()) when the input holds no text at all.
    std::unique_ptr<QTextDocument> document;
    // What was skipped or repaired, one line each, in the order first met; each kind of
    // warning appears once (e.g. "unknown control word \foo").
    std::vector<std::string> warnings;
};

// Hard limits that keep hostile input from costing more than its own size.
inline constexpr int kRtfMaxDepth = 256;          // deeper groups are skipped
inline constexpr int kRtfMaxTableEntries = 4096;  // fonts, colours
inline constexpr int kRtfMaxFontName = 256;       // bytes of one font name
inline constexpr int kRtfMaxTabStops = 64;        // per paragraph
inline constexpr int kRtfMaxWarnings = 100;

// Reads `rtf` (any bytes at all) into a document. Never throws and never rejects input:
// text without the {\rtf header is read as RTF all the same, unbalanced braces and
// truncated input end the document where the bytes end. Thread-safe (no shared state);
// needs no QGuiApplication.
RtfReadResult ReadRtf(std::string_view rtf, const RtfReadOptions& options = {});

}  // namespace qor
