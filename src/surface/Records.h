// The retained document: pages of fixed-size drawing records in whole twips, their texts in
// one arena, and fonts, styles and pictures interned once per document.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "qor/Picture.h"
#include "surface/Fonts.h"

namespace qor::surface {

enum class RecordKind : uint8_t {
    Text,       // x, baseline y, text offset, text length, width
    Line,       // x1, y1, x2, y2
    Rectangle,  // left, top, right, bottom, radii (rx low 16 bits, ry high 16 bits)
    Circle,     // centre x, centre y, radius (whole circle)
    Arc,        // centre x, centre y, radius, from, upTo (degrees as float bits), open arc
    Pie,        // like Arc, closed through the centre and filled
    Picture,    // left, top, width, height; style = picture index
    // A text that shows the document's number of pages, filled in when the page is drawn or
    // written (ResolvePageCount): x it is aligned on (twips as float bits), baseline y, text
    // offset, text length, alignment (0 left, 1 right, 2 centre). kPageCountMarker in its
    // text marks the places.
    PageCountText,
};

// In the text of a PageCountText record: where the number of pages goes.
inline constexpr char kPageCountMarker = '\x1A';

// One drawing record: 24 bytes. The head packs the kind (high 8 bits) and the index of the
// record's style (low 24 bits): a TextStyle for texts, a ShapeStyle for shapes, a picture
// index for pictures. Coordinates are whole twips from the paper's top-left corner.
struct Record {
    uint32_t head;
    int32_t v[5];

    RecordKind Kind() const { return static_cast<RecordKind>(head >> 24); }
    uint32_t Style() const { return head & 0xFFFFFFu; }
    static uint32_t Head(RecordKind kind, uint32_t style) {
        return (static_cast<uint32_t>(kind) << 24) | (style & 0xFFFFFFu);
    }
    float FloatAt(int i) const { float f; std::memcpy(&f, &v[i], sizeof f); return f; }
    void SetFloat(int i, float f) { std::memcpy(&v[i], &f, sizeof f); }
};
static_assert(sizeof(Record) == 24, "records must stay compact");
// Whether the record's text lies in the document's texts (offset v[2], length v[3]).
inline bool HasText(const Record& r) {
    return r.Kind() == RecordKind::Text || r.Kind() == RecordKind::PageCountText;
}
inline constexpr uint32_t kMaxStyles = 0xFFFFFFu;

// A font as the document uses it: a face at a size with decorations.
struct DocFont {
    FaceId face = 0;
    float size = 9;          // points
    bool underline = false;
    bool strikethrough = false;
    // Bold or italic asked for but the face is not: drawn emboldened or slanted.
    bool syntheticBold = false;
    bool syntheticItalic = false;
    friend bool operator==(const DocFont&, const DocFont&) = default;
};

// Colours inside the document are 0xRRGGBB.
struct TextStyle {
    uint32_t font = 0;       // index into Document::fonts
    uint32_t rgb = 0;
    friend bool operator==(const TextStyle&, const TextStyle&) = default;
};

struct ShapeStyle {
    int32_t penWidth = 10;   // twips
    uint32_t penRgb = 0;
    uint32_t brushRgb = 0xFFFFFF;
    uint8_t penStyle = 0;    // 0 solid, 1 dash, 2 dot, 3 dash-dot, 4 dash-dot-dot, 5 none
    bool fill = false;       // brush solid (true) or transparent
    friend bool operator==(const ShapeStyle&, const ShapeStyle&) = default;
};

struct Page {
    double width = 0;        // twips
    double height = 0;
    std::vector<Record> records;
    // Where the page's records and texts lie in the document's spill file; -1 while they are
    // in `records` and the document's strings.
    int64_t spillAt = -1;
    uint32_t spillRecords = 0, spillTextBytes = 0;
};

// Texts of a document, one after another in one growing arena. Texts are not shared: the
// pages are set aside often enough that looking for an equal text costs more than it saves.
class StringPool {
public:
    // Offset of `text`, appended to the arena. Throws RuntimeError(7) past 4 GB.
    uint32_t Add(std::string_view text);
    std::string_view At(uint32_t offset, uint32_t length) const {
        return {bytes_.data() + offset, length};
    }
    size_t MemoryBytes() const { return bytes_.capacity(); }
    // Bytes held in the arena: what the offsets of At() count from.
    size_t Size() const { return bytes_.size(); }
    void Clear();

private:
    std::string bytes_;
};

// Finished pages set aside, so a long document holds only the pages not yet set aside: in an
// anonymous temporary file (gone when closed) for a document on its way to a file or printer,
// or compressed in memory for one a preview shows. A page is stored as its records followed
// by its texts; the text records then count from the start of those.
enum class SpillTo { File, Memory };
class PageSpill {
public:
    // Throws RuntimeError(75) when no temporary file can be made.
    explicit PageSpill(SpillTo where);
    ~PageSpill();
    PageSpill(const PageSpill&) = delete;
    PageSpill& operator=(const PageSpill&) = delete;

    // Moves `page`'s records and texts into the file. False (the page unchanged) when the
    // file cannot take them.
    bool Put(Page& page, const StringPool& strings);
    // Reads a page that was put here: its records, with the text records pointing into
    // `texts`. Throws RuntimeError(75) when the file cannot be read.
    void Load(const Page& page, std::vector<Record>& records, std::string& texts) const;

private:
    std::FILE* file_ = nullptr;  // null: in memory
    int64_t end_ = 0;
    std::vector<std::string> compressed_;  // in memory: per page, spillAt indexes it
    std::string scratch_;
};

// A bookmark of the document's outline: a title pointing at a place on a page. Entries are in
// document order; `level` 0 is the top, and an entry's children are the deeper entries that
// follow it.
struct OutlineEntry {
    uint32_t level = 0;
    uint32_t page = 0;       // from 0
    int32_t y = 0;           // twips from the paper's top edge
    std::string title;       // UTF-8
};

// Everything a document holds. Style tables are append-only; records refer to them by index.
struct Document {
    std::vector<Page> pages;
    StringPool strings;
    std::vector<DocFont> fonts;
    std::vector<TextStyle> textStyles;
    std::vector<ShapeStyle> shapeStyles;
    std::vector<qor::Picture> pictures;
    uint32_t backRgb = 0xFFFFFF;
    std::vector<OutlineEntry> outline;
    // Seconds since 1970 (UTC) the PDF writer dates the file with; -1: SOURCE_DATE_EPOCH or
    // the clock.
    int64_t creationTime = -1;

    // Adds a bookmark at `y` twips on the last page, `level` levels below the top; a level
    // deeper than one below the previous entry's is taken as that. Needs a page.
    void AddOutlineEntry(uint32_t level, std::string_view title, int32_t y);

    // Interning of the tables above; return the index.
    uint32_t FontIndex(const DocFont& font);
    uint32_t TextStyleIndex(const TextStyle& style);
    uint32_t ShapeStyleIndex(const ShapeStyle& style);
    uint32_t PictureIndex(const qor::Picture& picture);

    // Bytes held by the document (records, texts, tables), for memory accounting.
    size_t MemoryBytes() const;
    size_t RecordCount() const;
    void Clear();

    // With a limit above 0, finished pages are set aside once the pages still held take
    // more than `limit` bytes of records and texts. Off again after Clear().
    void SpillAbove(size_t limit, SpillTo where) {
        spillLimit_ = limit;
        spillTo_ = where;
    }
    // Called when every page is finished (before a new page is added): spills them when
    // they are over the limit. A file that cannot be made or written leaves them held.
    void MaybeSpill();
    // True when some page is in the spill file.
    bool HasSpilledPages() const { return spilled_ > 0; }
    // Reads every spilled page back into memory.
    void RestoreSpilledPages();
    // Page `index` (from 0) for reading one page at a time: the page itself, or a spilled
    // page read back into `scratch` and `scratchTexts`. `texts` is set to the bytes its
    // text records point into. Throws as PageSpill::Load.
    const Page& PageToRead(size_t index, Page& scratch, std::string& scratchTexts,
                           std::string_view& texts) const;

private:
    std::shared_ptr<PageSpill> spill_;
    SpillTo spillTo_ = SpillTo::File;
    size_t spillLimit_ = 0;
    size_t spilled_ = 0;    // pages [0, spilled_) are in the spill file
    // Last looked-up entries: drawing tends to reuse the previous style.
    uint32_t lastFont_ = UINT32_MAX, lastText_ = UINT32_MAX, lastShape_ = UINT32_MAX;
};

// The Text record that PageCountText record `r` (its text in `texts`) stands for in a
// document of `pages` pages: its text, with the count in place of every marker, is written
// to `out` (the record's text starts at 0 there), and it is placed on its x by its alignment
// with the width of that text.
Record ResolvePageCount(const Document& doc, const Record& r, std::string_view texts, size_t pages,
                        std::string& out);

}  // namespace qor::surface
