// A small reader for Rich Text Format: turns RTF bytes into a QTextDocument.
//
// What it understands: groups, the font and colour tables, character formatting
// (\plain \f \fs \b \i \ul \strike \cf \v), paragraph formatting (\pard \ql \qr \qc \qj
// \li \ri \fi \sb \sa \sl \slmult \tx \tqr \tqc \tqdec), \par \line \tab \page, \'hh in
// the document's code page (\ansicpg, default 1252) or the font's (\fcharset, \cpg),
// \uN with \ucN fallback skipping, \~ \_ \- and the named special characters; tables
// (\trowd \cellx \cell \row, nested with \itap \nestcell \nestrow, borders, shading,
// padding, vertical alignment, merged cells, header rows), lists (\listtable and
// \listoverridetable with \ls \ilvl, and the older \pn and \pntext / \listtext forms),
// and pictures (\pict with \pngblip or \jpegblip, hex or \bin data, \picwgoal \pichgoal
// \picscalex \picscaley; other kinds keep their space as an empty frame). Known
// destinations without text (\stylesheet, \info, \header, ...) and every ignorable
// destination {\* ...} are skipped; unknown control words are skipped too and reported in
// the warnings.
//
// What the document holds: one block per paragraph and one fragment per run of equal
// formatting. Character formats carry the font family, the point size, bold, italic,
// underline, strike-out and, when the text is not in the automatic colour, the
// foreground colour. Block formats carry the alignment and, in TWIPS (not pixels):
// left/right margins (\li \ri), text indent (\fi), top/bottom margins (\sb \sa), tab
// positions, and line height (ProportionalHeight in percent, MinimumHeight or
// FixedHeight in twips). A \page sets PageBreak_AlwaysBefore on the next block. A line
// break inside a paragraph is U+2028, a tab U+0009.
//
// Tables are QTextTables on a grid made of every row's cell edges: a cell covering several
// grid columns or rows is merged, column widths are fixed lengths in twips, cell formats
// carry borders (width in twips, brush, style), padding (twips), background and vertical
// alignment, and the table's header row count the leading \trhdr rows. List paragraphs
// belong to a QTextList per list, level and numbering run, and carry the marker the writer
// meant (number, letter or bullet with its separator) in kRtfListMarker. Pictures are
// QTextImageFormat objects sized in twips whose name is an image resource of the document
// (the picture file's bytes).
#pragma once

#include <QString>
#include <QTextDocument>
#include <QTextFormat>

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

// Properties the reader sets beyond Qt's own.
// Block: the list marker drawn before the first line, with its separator (tab or space).
inline constexpr int kRtfListMarker = QTextFormat::UserProperty + 1;
// Block: an empty block Qt keeps before or after a table; it is not shown.
inline constexpr int kRtfFillerBlock = QTextFormat::UserProperty + 2;
// Table cell: the height of its row in twips, > 0 at least, < 0 exactly.
inline constexpr int kRtfRowHeight = QTextFormat::UserProperty + 3;
// Table: left edge of its grid in twips from the left edge of the text around it.
inline constexpr int kRtfTableLeft = QTextFormat::UserProperty + 4;
// Image: a picture kind that is not drawn; it keeps its space as an empty frame.
inline constexpr int kRtfPictureFrame = QTextFormat::UserProperty + 5;

// Hard limits that keep hostile input from costing more than its own size.
inline constexpr int kRtfMaxDepth = 256;          // deeper groups are skipped
inline constexpr int kRtfMaxTableDepth = 8;       // text of deeper tables is left out
inline constexpr int kRtfMaxCells = 64;           // cells of one row; more are left out
inline constexpr int kRtfMaxColumns = 256;        // grid columns of one table; a row with more starts a new table
inline constexpr int kRtfMaxTableRows = 2000;     // rows of one table; more continue in a new table
inline constexpr int kRtfMaxListLevel = 8;        // \ilvl 0..8; deeper list paragraphs lose the list
inline constexpr int kRtfMaxPictureBytes = 16 << 20;   // data of one picture; larger ones are left out
inline constexpr int kRtfMaxPicturePixels = 40000000;  // pixels of one picture; larger ones are left out
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
