#include "surface/Records.h"

#include "qor/RuntimeError.h"
#include "surface/PdfOutput.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>

namespace qor::surface {

namespace {

template <class T>
uint32_t Intern(std::vector<T>& table, const T& value, uint32_t& last) {
    if (last < table.size() && table[last] == value) return last;
    for (size_t i = table.size(); i-- > 0;) {
        if (table[i] == value) return last = static_cast<uint32_t>(i);
    }
    if (table.size() >= kMaxStyles)
        throw RuntimeError(kErrOutOfMemory, "Too many different styles in one document");
    table.push_back(value);
    return last = static_cast<uint32_t>(table.size() - 1);
}

}  // namespace

uint32_t StringPool::Add(std::string_view text) {
    if (bytes_.size() + text.size() > UINT32_MAX)
        throw RuntimeError(kErrOutOfMemory, "The document's texts exceed 4 GB");
    const auto offset = static_cast<uint32_t>(bytes_.size());
    bytes_.append(text);
    return offset;
}

void StringPool::Clear() { *this = StringPool(); }

uint32_t Document::FontIndex(const DocFont& font) { return Intern(fonts, font, lastFont_); }
uint32_t Document::TextStyleIndex(const TextStyle& style) {
    return Intern(textStyles, style, lastText_);
}
uint32_t Document::ShapeStyleIndex(const ShapeStyle& style) {
    return Intern(shapeStyles, style, lastShape_);
}
uint32_t Document::PictureIndex(const qor::Picture& picture) {
    for (size_t i = 0; i < pictures.size(); ++i)
        if (pictures[i] == picture) return static_cast<uint32_t>(i);
    if (pictures.size() >= kMaxStyles)
        throw RuntimeError(kErrOutOfMemory, "Too many pictures in one document");
    pictures.push_back(picture);
    return static_cast<uint32_t>(pictures.size() - 1);
}

void Document::AddOutlineEntry(uint32_t level, std::string_view title, int32_t y) {
    if (pages.empty()) throw RuntimeError(kErrInvalidCall, "The document has no page to mark");
    const uint32_t deepest = outline.empty() ? 0 : outline.back().level + 1;
    outline.push_back({std::min(level, deepest), static_cast<uint32_t>(pages.size() - 1), y,
                       std::string(title)});
}

size_t Document::RecordCount() const {
    size_t n = 0;
    for (const Page& p : pages) n += p.records.size() + p.spillRecords;
    return n;
}

size_t Document::MemoryBytes() const {
    size_t n = pages.capacity() * sizeof(Page) + strings.MemoryBytes() +
               fonts.capacity() * sizeof(DocFont) + textStyles.capacity() * sizeof(TextStyle) +
               shapeStyles.capacity() * sizeof(ShapeStyle) +
               pictures.capacity() * sizeof(qor::Picture);
    for (const Page& p : pages) n += p.records.capacity() * sizeof(Record);
    return n;
}

PageSpill::PageSpill(SpillTo where) : file_(where == SpillTo::File ? std::tmpfile() : nullptr) {
    if (where == SpillTo::File && file_ == nullptr) {
        throw RuntimeError(kErrPathFileAccess,
                           std::string("Cannot make a temporary file: ") + std::strerror(errno));
    }
}

PageSpill::~PageSpill() {
    if (file_ != nullptr) std::fclose(file_);
}

bool PageSpill::Put(Page& page, const StringPool& strings) {
    std::vector<Record> records = page.records;
    scratch_.clear();
    for (Record& r : records) {
        if (!HasText(r)) continue;
        const std::string_view text = strings.At(static_cast<uint32_t>(r.v[2]), static_cast<uint32_t>(r.v[3]));
        r.v[2] = static_cast<int32_t>(scratch_.size());
        scratch_.append(text);
    }
    if (scratch_.size() > UINT32_MAX) return false;
    const size_t recordBytes = records.size() * sizeof(Record);
    if (file_ == nullptr) {
        std::string bytes(reinterpret_cast<const char*>(records.data()), recordBytes);
        bytes.append(scratch_);
        std::string& packed = compressed_.emplace_back();
        Deflate(bytes, packed, 1);
        packed.shrink_to_fit();
        page.spillAt = static_cast<int64_t>(compressed_.size() - 1);
    } else if (std::fseek(file_, end_, SEEK_SET) != 0 ||
        std::fwrite(records.data(), 1, recordBytes, file_) != recordBytes ||
        std::fwrite(scratch_.data(), 1, scratch_.size(), file_) != scratch_.size()) {
        return false;
    } else {
        page.spillAt = end_;
        end_ += static_cast<int64_t>(recordBytes + scratch_.size());
    }
    page.spillRecords = static_cast<uint32_t>(records.size());
    page.spillTextBytes = static_cast<uint32_t>(scratch_.size());
    std::vector<Record>().swap(page.records);  // gives the memory back
    return true;
}

void PageSpill::Load(const Page& page, std::vector<Record>& records, std::string& texts) const {
    records.resize(page.spillRecords);
    texts.resize(page.spillTextBytes);
    const size_t recordBytes = records.size() * sizeof(Record);
    if (file_ == nullptr) {
        std::string bytes(recordBytes + texts.size(), '\0');
        if (!Inflate(compressed_[static_cast<size_t>(page.spillAt)], bytes))
            throw RuntimeError(kErrDeviceIO, "A page set aside in memory cannot be read back");
        std::memcpy(records.data(), bytes.data(), recordBytes);
        texts.assign(bytes, recordBytes);
    } else if (std::fflush(file_) != 0 || std::fseek(file_, page.spillAt, SEEK_SET) != 0 ||
        std::fread(records.data(), 1, recordBytes, file_) != recordBytes ||
        std::fread(texts.data(), 1, texts.size(), file_) != texts.size()) {
        throw RuntimeError(kErrPathFileAccess, "Cannot read back the pages set aside in a temporary file");
    }
}

void Document::MaybeSpill() {
    if (spillLimit_ == 0 || spilled_ >= pages.size()) return;
    size_t held = strings.Size();
    for (size_t i = spilled_; i < pages.size(); ++i) held += pages[i].records.size() * sizeof(Record);
    if (held <= spillLimit_) return;
    try {
        if (!spill_) spill_ = std::make_shared<PageSpill>(spillTo_);
    } catch (const RuntimeError&) {
        spillLimit_ = 0;  // no temporary file: the pages stay in memory
        return;
    }
    for (; spilled_ < pages.size(); ++spilled_) {
        if (!spill_->Put(pages[spilled_], strings)) {
            spillLimit_ = 0;
            return;
        }
    }
    // Every page's texts are in the file now; the pages to come start a new pool.
    strings.Clear();
}

const Page& Document::PageToRead(size_t index, Page& scratch, std::string& scratchTexts,
                                 std::string_view& texts) const {
    const Page& page = pages[index];
    if (page.spillAt < 0) {
        texts = strings.At(0, static_cast<uint32_t>(strings.Size()));
        return page;
    }
    spill_->Load(page, scratch.records, scratchTexts);
    scratch.width = page.width;
    scratch.height = page.height;
    texts = scratchTexts;
    return scratch;
}

void Document::RestoreSpilledPages() {
    if (spilled_ == 0) return;
    std::vector<Record> records;
    std::string texts;
    for (size_t i = 0; i < spilled_; ++i) {
        Page& page = pages[i];
        spill_->Load(page, records, texts);
        for (Record& r : records) {
            if (!HasText(r)) continue;
            const std::string_view text(texts.data() + r.v[2], static_cast<size_t>(r.v[3]));
            r.v[2] = static_cast<int32_t>(strings.Add(text));
        }
        page.records = records;
        page.spillAt = -1;
        page.spillRecords = page.spillTextBytes = 0;
    }
    spilled_ = 0;
    spillLimit_ = 0;
    spill_.reset();
}

void Document::Clear() { *this = Document(); }

Record ResolvePageCount(const Document& doc, const Record& r, std::string_view texts, size_t pages,
                        std::string& out) {
    const std::string_view text = texts.substr(static_cast<uint32_t>(r.v[2]), static_cast<uint32_t>(r.v[3]));
    const std::string count = std::to_string(pages);
    out.clear();
    for (char c : text) {
        if (c == kPageCountMarker) out += count;
        else out.push_back(c);
    }
    // Measured as the writers draw it: the record's one face, glyph by glyph.
    const DocFont& font = doc.fonts[doc.textStyles[r.Style()].font];
    const FontFace& face = FontRegistry::Instance().Face(font.face);
    int64_t units = 0;
    for (size_t i = 0; i < out.size();) {
        const char32_t cp = NextCodePoint(out, i);
        if (!IsControl(cp)) units += face.Advance(face.Glyph(cp));
    }
    const double width = static_cast<double>(units) * face.Scale(font.size);
    double x = r.FloatAt(0);
    if (r.v[4] == 1) x -= width;
    else if (r.v[4] == 2) x -= width / 2;
    Record resolved = r;
    resolved.head = Record::Head(RecordKind::Text, r.Style());
    resolved.v[0] = static_cast<int32_t>(std::lround(x));
    resolved.v[2] = 0;
    resolved.v[3] = static_cast<int32_t>(out.size());
    resolved.v[4] = static_cast<int32_t>(std::lround(width));
    return resolved;
}

}  // namespace qor::surface
