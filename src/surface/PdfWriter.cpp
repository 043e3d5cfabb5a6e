#include "surface/PdfWriter.h"

#include <cerrno>
#include <cstdlib>
#include <condition_variable>
#include <cstring>
#include <ctime>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>
#include <unordered_map>
#include <utility>

#include "qor/RuntimeError.h"
#include "qor/VSPDF.h"
#include "surface/AtomicFile.h"
#include "surface/Geometry.h"
#include "surface/SurfaceState.h"

namespace qor::surface {

// ---- PdfFile -----------------------------------------------------------------------------

PdfFile::PdfFile(std::function<void(std::string_view)> sink) : sink_(std::move(sink)) {
    out_ << "%PDF-1.7\n%\xE2\xE3\xCF\xD3\n";
}

int PdfFile::Alloc() {
    offsets_.push_back(0);
    return static_cast<int>(offsets_.size() - 1);
}

PdfBuffer& PdfFile::Begin(int obj) {
    offsets_[static_cast<size_t>(obj)] = flushed_ + out_.data.size();
    out_.I(obj) << "0 obj\n";
    return out_;
}

void PdfFile::End() {
    out_ << "\nendobj\n";
    FlushIfLarge();
}

void PdfFile::Stream(int obj, std::string_view dict, std::string_view data, bool compress) {
    if (!compress) return WriteStream(obj, dict, data, false);
    scratch_.clear();
    Deflate(data, scratch_, compressionLevel);
    WriteStream(obj, dict, scratch_, true);
}

void PdfFile::DeflatedStream(int obj, std::string_view dict, std::string_view deflated) {
    WriteStream(obj, dict, deflated, true);
}

void PdfFile::WriteStream(int obj, std::string_view dict, std::string_view body, bool deflated) {
    PdfBuffer& b = Begin(obj);
    b << "<< /Length ";
    b.Int(static_cast<int64_t>(body.size()));
    if (deflated) b << " /Filter /FlateDecode";
    if (!dict.empty()) b << ' ' << dict;
    b << " >>\nstream\n" << body << "\nendstream";
    End();
}

void PdfFile::HashContent(std::string_view bytes) {
    // FNV-1a over 8-byte words, then the bytes that remain.
    size_t i = 0;
    for (; i + 8 <= bytes.size(); i += 8) {
        uint64_t word;
        std::memcpy(&word, bytes.data() + i, sizeof word);
        contentHash_ = (contentHash_ ^ word) * 1099511628211ull;
    }
    for (; i < bytes.size(); ++i) contentHash_ = (contentHash_ ^ static_cast<unsigned char>(bytes[i])) * 1099511628211ull;
}

void PdfFile::FlushIfLarge() {
    if (out_.data.size() < (1u << 18)) return;
    HashContent(out_.data);
    sink_(out_.data);
    flushed_ += out_.data.size();
    out_.data.clear();
}

void PdfFile::Finish(int root, int info) {
    const size_t xref = flushed_ + out_.data.size();
    out_ << "xref\n0 ";
    out_.Int(static_cast<int64_t>(offsets_.size())) << "\n0000000000 65535 f \n";
    char line[24];
    for (size_t i = 1; i < offsets_.size(); ++i) {
        std::snprintf(line, sizeof line, "%010zu 00000 n \n", offsets_[i]);
        out_ << std::string_view(line, 20);
    }
    // The document's ID comes from its bytes, so equal files have equal IDs.
    HashContent(out_.data);
    const uint64_t h = contentHash_;
    char id[40];
    std::snprintf(id, sizeof id, "%016llx%016llx", static_cast<unsigned long long>(h),
                  static_cast<unsigned long long>(h * 31 + offsets_.size()));
    out_ << "trailer\n<< /Size ";
    out_.I(static_cast<int64_t>(offsets_.size())) << "/Root ";
    out_.I(root) << "0 R /Info ";
    out_.I(info) << "0 R /ID [<" << id << "> <" << id << ">] >>\nstartxref\n";
    out_.Int(static_cast<int64_t>(xref)) << "\n%%EOF\n";
    sink_(out_.data);
    flushed_ += out_.data.size();
    out_.data.clear();
}

// ---- Pages ---------------------------------------------------------------------------------

namespace {

// Objects every file has, at fixed numbers; pages, fonts and images follow them.
constexpr int kCatalog = 1;    // the document catalog (/Root)
constexpr int kPages = 2;      // the page tree, parent of every page
constexpr int kResources = 3;  // fonts and images, shared by all pages
constexpr int kInfo = 4;       // the document information dictionary
constexpr int kFixedObjects = kInfo;  // 1 to kInfo

struct PenState {
    int32_t width = -1;
    uint32_t rgb = 0xFFFFFFFF;
    int dash = 0;           // the page starts solid with square caps
    int32_t dashWidth = -1;
};

class PageWriter {
public:
    PageWriter(const Document& doc, PdfFile& file, PdfFonts& fonts,
               std::unordered_map<uint32_t, int>& images)
        : doc_(doc), file_(file), fonts_(fonts), images_(images) {}

    // Content stream of `page`.
    // `texts` holds the texts the page's text records point into.
    const std::string& Content(const Page& page, std::string_view texts) {
        texts_ = texts;
        c_.data.clear();
        fill_ = 0xFFFFFFFF;
        pen_ = PenState{};
        inText_ = false;
        tf_ = -1;
        tfSize_ = -1;
        c_ << "q 0.05 0 0 -0.05 0 ";
        c_.Num(page.height / 20.0, 3) << " cm 2 J 0 j\n";
        if (doc_.backRgb != 0xFFFFFF) {
            Fill(doc_.backRgb);
            c_ << "0 0 ";
            c_.N(page.width, 2).N(page.height, 2) << "re f\n";
        }
        for (const Record& r : page.records) {
            if (r.Kind() == RecordKind::Text) {
                Text(r, texts_);
                continue;
            }
            if (r.Kind() == RecordKind::PageCountText) {
                // The document is complete when it is written: its page count is known.
                const Record resolved = ResolvePageCount(doc_, r, texts_, doc_.pages.size(), resolved_);
                Text(resolved, resolved_);
                continue;
            }
            EndText();
            switch (r.Kind()) {
            case RecordKind::Line: Line(r); break;
            case RecordKind::Rectangle:
            case RecordKind::Circle:
            case RecordKind::Arc:
            case RecordKind::Pie: Shape(r); break;
            case RecordKind::Picture: Image(r); break;
            case RecordKind::Text:
            case RecordKind::PageCountText: break;  // written above, inside a text object
            }
        }
        EndText();
        c_ << "Q\n";
        return c_.data;
    }

private:
    void Fill(uint32_t rgb) {
        if (rgb == fill_) return;
        fill_ = rgb;
        c_.Rgb(rgb) << "rg\n";
    }

    void EndText() {
        if (!inText_) return;
        c_ << "ET\n";
        inText_ = false;
    }

    void Text(const Record& r, std::string_view texts) {
        const TextStyle& st = doc_.textStyles[r.Style()];
        const DocFont& df = doc_.fonts[st.font];
        const FontFace& face = FontRegistry::Instance().Face(df.face);
        const int index = fonts_.IndexOf(df.face);
        const bool synthetic = df.syntheticBold || df.syntheticItalic;
        // Q brings back the colours, pen and font in use before q.
        const uint32_t fillBefore = fill_;
        const PenState penBefore = pen_;
        const int tfBefore = tf_;
        const float tfSizeBefore = tfSize_;
        if (synthetic) {
            // Its own text object inside q/Q: the stroke width, stroke colour, render mode
            // and slanted matrix must not reach what follows.
            EndText();
            c_ << "q\n";
        }
        if (!inText_) {
            c_ << "BT\n";
            inText_ = true;
            tf_ = -1;
            havePos_ = false;
        }
        if (index != tf_ || df.size != tfSize_) {
            tf_ = index;
            tfSize_ = df.size;
            c_ << "/F";
            c_.I(index).N(df.size * 20.0, 2) << "Tf\n";
        }
        Fill(st.rgb);
        const int32_t x = r.v[0], y = r.v[1];
        if (df.syntheticBold) {
            c_.Rgb(st.rgb) << "RG\n";
            c_.N(df.size * 20.0 * kSyntheticBoldStrokeEm, 2) << "w 2 Tr\n";
        }
        if (df.syntheticItalic) {
            c_ << "1 0 ";
            c_.N(kSyntheticItalicSlant, 4) << "-1 ";
            c_.I(x).I(y) << "Tm\n";
            havePos_ = false;  // the next text sets its own matrix
        } else if (!havePos_) {
            c_ << "1 0 0 -1 ";
            c_.I(x).I(y) << "Tm\n";
            havePos_ = true;
        } else {
            c_.I(static_cast<int64_t>(x) - tx_).I(static_cast<int64_t>(ty_) - y) << "Td\n";
        }
        tx_ = x;
        ty_ = y;
        std::string_view text = texts.substr(static_cast<uint32_t>(r.v[2]),
                                              static_cast<uint32_t>(r.v[3]));
        std::string& d = c_.data;
        d.push_back('(');
        for (size_t i = 0; i < text.size();) {
            char32_t cp = NextCodePoint(text, i);
            if (IsControl(cp)) continue;
            uint32_t g = face.Glyph(cp);
            fonts_.Use(index, g, cp);
            for (unsigned char b : {static_cast<unsigned char>(g >> 8), static_cast<unsigned char>(g)}) {
                switch (b) {
                case '(': d.append("\\("); break;
                case ')': d.append("\\)"); break;
                case '\\': d.append("\\\\"); break;
                case '\r': d.append("\\r"); break;
                default: d.push_back(static_cast<char>(b));
                }
            }
        }
        d.append(")Tj\n");
        if (synthetic) {
            EndText();
            c_ << "Q\n";
            fill_ = fillBefore;
            pen_ = penBefore;
            tf_ = tfBefore;
            tfSize_ = tfSizeBefore;
        }
        if (df.underline || df.strikethrough) {
            EndText();
            if (df.underline) Bar(r, UnderlineBar(face, df.size, y));
            if (df.strikethrough) Bar(r, StrikeoutBar(face, df.size, y));
        }
    }

    void Bar(const Record& r, const surface::Bar& bar) {
        c_.I(r.v[0]).N(bar.top, 2).I(r.v[4]).N(bar.thickness, 2) << "re f\n";
    }

    // Sets the pen for stroking; false when the pen draws nothing.
    bool Pen(const ShapeStyle& s) {
        if (s.penStyle == 5) return false;
        if (s.penWidth != pen_.width) {
            pen_.width = s.penWidth;
            c_.I(s.penWidth) << "w\n";
        }
        if (s.penRgb != pen_.rgb) {
            pen_.rgb = s.penRgb;
            c_.Rgb(s.penRgb) << "RG\n";
        }
        int dash = s.penStyle >= 1 && s.penStyle <= 4 ? s.penStyle : 0;
        if (dash != pen_.dash || (dash && s.penWidth != pen_.dashWidth)) {
            c_ << '[';
            for (double v : DashPattern(dash, s.penWidth)) c_.N(v, 1);
            c_ << (dash ? "] 0 d 0 J\n" : "] 0 d 2 J\n");
            pen_.dash = dash;
            pen_.dashWidth = s.penWidth;
        }
        return true;
    }

    void Line(const Record& r) {
        const ShapeStyle& s = doc_.shapeStyles[r.Style()];
        if (!Pen(s)) return;
        c_.I(r.v[0]).I(r.v[1]) << "m ";
        c_.I(r.v[2]).I(r.v[3]) << "l S\n";
    }

    void Shape(const Record& r) {
        const ShapeStyle& s = doc_.shapeStyles[r.Style()];
        const bool stroke = Pen(s);
        const bool fill = s.fill && r.Kind() != RecordKind::Arc;
        if (!stroke && !fill) return;
        if (fill) Fill(s.brushRgb);
        if (r.Kind() == RecordKind::Rectangle && r.v[4] == 0) {
            c_.I(r.v[0]).I(r.v[1]).I(static_cast<int64_t>(r.v[2]) - r.v[0])
                .I(static_cast<int64_t>(r.v[3]) - r.v[1]) << "re ";
        } else {
            for (const PathOp& op : ShapePath(r)) {
                switch (op.kind) {
                case PathOp::Move: c_.N(op.x[0], 1).N(op.y[0], 1) << "m "; break;
                case PathOp::Line: c_.N(op.x[0], 1).N(op.y[0], 1) << "l "; break;
                case PathOp::Cubic:
                    for (int k = 0; k < 3; ++k) c_.N(op.x[k], 1).N(op.y[k], 1);
                    c_ << "c ";
                    break;
                case PathOp::Close: c_ << "h "; break;
                }
            }
        }
        c_ << (fill && stroke ? "B\n" : fill ? "f\n" : "S\n");
    }

    void Image(const Record& r) {
        uint32_t pic = r.Style();
        auto it = images_.find(pic);
        if (it == images_.end()) it = images_.emplace(pic, WriteImage(doc_.pictures[pic])).first;
        c_ << "q ";
        c_.I(r.v[2]) << "0 0 ";
        c_.I(-static_cast<int64_t>(r.v[3])).I(r.v[0]).I(static_cast<int64_t>(r.v[1]) + r.v[3]);
        c_ << "cm /Im";
        c_.I(pic) << "Do Q\n";
    }

    int WriteImage(const qor::Picture& picture) {
        const auto* p = Access::Of(picture);
        int obj = file_.Alloc();
        std::string dict = "/Type /XObject /Subtype /Image /Width " + std::to_string(p->width) +
                           " /Height " + std::to_string(p->height) + " /BitsPerComponent 8";
        if (!p->jpeg.empty()) {
            dict += p->grayFile ? " /ColorSpace /DeviceGray" : " /ColorSpace /DeviceRGB";
            dict += " /Filter /DCTDecode";
            file_.Stream(obj, dict, p->jpeg, false);
            return obj;
        }
        const bool gray = p->grayscale;
        const int w = p->width, h = p->height;
        std::string pixels, alpha;
        pixels.reserve(static_cast<size_t>(w) * h * (gray ? 1 : 3));
        bool translucent = false;
        if (p->alpha) alpha.reserve(static_cast<size_t>(w) * h);
        const auto* rgba = reinterpret_cast<const unsigned char*>(p->rgba.data());
        for (int y = 0; y < h; ++y) {
            const unsigned char* line = rgba + static_cast<size_t>(y) * w * 4;
            for (int x = 0; x < w; ++x) {
                const unsigned char* px = line + 4 * x;
                if (gray) {
                    pixels.push_back(static_cast<char>(px[0]));
                } else {
                    pixels.append(reinterpret_cast<const char*>(px), 3);
                }
                if (p->alpha) {
                    alpha.push_back(static_cast<char>(px[3]));
                    translucent |= px[3] != 255;
                }
            }
        }
        dict += gray ? " /ColorSpace /DeviceGray" : " /ColorSpace /DeviceRGB";
        if (translucent) {
            int mask = file_.Alloc();
            file_.Stream(mask,
                         "/Type /XObject /Subtype /Image /Width " + std::to_string(w) + " /Height " +
                             std::to_string(h) + " /BitsPerComponent 8 /ColorSpace /DeviceGray",
                         alpha, true);
            dict += " /SMask " + std::to_string(mask) + " 0 R";
        }
        file_.Stream(obj, dict, pixels, true);
        return obj;
    }

    const Document& doc_;
    PdfFile& file_;
    PdfFonts& fonts_;
    std::unordered_map<uint32_t, int>& images_;
    PdfBuffer c_;
    std::string_view texts_;
    std::string resolved_;  // the text of a PageCountText record, count filled in
    uint32_t fill_ = 0xFFFFFFFF;
    PenState pen_;
    bool inText_ = false, havePos_ = false;
    int tf_ = -1;
    float tfSize_ = -1;
    int32_t tx_ = 0, ty_ = 0;
};

// Deflates page streams on a second thread while the next page is laid out. One stream is
// in hand at a time: Start hands one over, Finish waits for it.
class BackgroundDeflate {
public:
    explicit BackgroundDeflate(int level) : level_(level), thread_([this] { Run(); }) {}
    ~BackgroundDeflate() {
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
        }
        changed_.notify_all();
        thread_.join();
    }
    BackgroundDeflate(const BackgroundDeflate&) = delete;
    BackgroundDeflate& operator=(const BackgroundDeflate&) = delete;

    // Takes `data` (leaving `data` with what it held before).
    void Start(std::string& data) {
        {
            std::lock_guard lock(mutex_);
            input_.swap(data);
            started_ = true;
        }
        changed_.notify_all();
    }
    // The deflated stream of the last Start, swapped into `out`; rethrows what deflating threw.
    void Finish(std::string& out) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return done_; });
        done_ = false;
        if (error_) std::rethrow_exception(std::exchange(error_, nullptr));
        out.swap(output_);
    }

private:
    void Run() {
        std::unique_lock lock(mutex_);
        for (;;) {
            changed_.wait(lock, [this] { return started_ || stop_; });
            if (stop_) return;
            started_ = false;
            std::string input, output;
            input.swap(input_);
            lock.unlock();
            std::exception_ptr error;
            try {
                Deflate(input, output, level_);
            } catch (...) {
                error = std::current_exception();
            }
            lock.lock();
            input_.swap(input);  // its storage serves the next Start
            output_.swap(output);
            error_ = error;
            done_ = true;
            changed_.notify_all();
        }
    }

    const int level_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::string input_, output_;
    std::exception_ptr error_;
    bool started_ = false, done_ = false, stop_ = false;
    std::thread thread_;  // last: starts once everything above is ready
};

// The outline of `doc` over the pages written (`pageObjects[i]` the object of `pages[i]`):
// the outline dictionary's object, or 0 when no entry points at a written page. An entry
// whose page is not written is left out, its children going to the nearest entry above.
// Every entry with children starts closed.
int WriteOutline(PdfFile& file, const Document& doc, const std::vector<int>& pages,
                 const std::vector<int>& pageObjects) {
    if (doc.outline.empty()) return 0;
    std::vector<int> objectOf(doc.pages.size(), 0);  // the first object showing each page
    for (size_t i = pages.size(); i-- > 0;)
        objectOf[static_cast<size_t>(pages[i] - 1)] = pageObjects[i];
    struct Item {
        const OutlineEntry* entry;
        int obj = 0, parent = -1, first = -1, last = -1, prev = -1, next = -1, children = 0;
    };
    std::vector<Item> items;
    std::vector<int> open;  // the chain of items the next one may belong to
    int first = -1, last = -1, top = 0;
    for (const OutlineEntry& e : doc.outline) {
        if (e.page >= objectOf.size() || objectOf[e.page] == 0) continue;
        while (!open.empty() && items[static_cast<size_t>(open.back())].entry->level >= e.level)
            open.pop_back();
        const int i = static_cast<int>(items.size());
        Item item{&e};
        item.obj = file.Alloc();
        item.parent = open.empty() ? -1 : open.back();
        int& siblingsLast = item.parent < 0 ? last : items[static_cast<size_t>(item.parent)].last;
        item.prev = siblingsLast;
        if (siblingsLast >= 0) items[static_cast<size_t>(siblingsLast)].next = i;
        if (item.parent < 0) {
            if (first < 0) first = i;
            ++top;
        } else {
            Item& parent = items[static_cast<size_t>(item.parent)];
            if (parent.first < 0) parent.first = i;
            ++parent.children;
        }
        siblingsLast = i;
        items.push_back(item);
        open.push_back(i);
    }
    if (items.empty()) return 0;
    const int root = file.Alloc();
    auto ref = [&](PdfBuffer& b, const char* key, int index) {
        if (index < 0) return;
        b << ' ' << key << ' ';
        b.I(items[static_cast<size_t>(index)].obj) << "0 R";
    };
    for (const Item& item : items) {
        const OutlineEntry& e = *item.entry;
        PdfBuffer& b = file.Begin(item.obj);
        b << "<< /Title ";
        b.TextString(e.title);
        b << " /Parent ";
        if (item.parent < 0) b.I(root) << "0 R";
        else b.I(items[static_cast<size_t>(item.parent)].obj) << "0 R";
        ref(b, "/Prev", item.prev);
        ref(b, "/Next", item.next);
        if (item.first >= 0) {
            ref(b, "/First", item.first);
            ref(b, "/Last", item.last);
            b << " /Count ";
            b.Int(-static_cast<int64_t>(item.children));
        }
        b << " /Dest [";
        b.I(objectOf[e.page]) << "0 R /XYZ 0 ";
        b.Num((doc.pages[e.page].height - e.y) / 20.0, 2) << " null] >>";
        file.End();
    }
    PdfBuffer& b = file.Begin(root);
    b << "<< /Type /Outlines";
    ref(b, "/First", first);
    ref(b, "/Last", last);
    b << " /Count ";
    b.Int(top) << " >>";
    file.End();
    return root;
}

// The moment the file is dated: now, or SOURCE_DATE_EPOCH (seconds since 1970, UTC) when
// that is set to a whole number, so that two runs on the same input write the same bytes.
std::time_t DocumentTime(const Document& doc) {
    if (doc.creationTime >= 0) return static_cast<std::time_t>(doc.creationTime);
    if (const char* epoch = std::getenv("SOURCE_DATE_EPOCH"); epoch != nullptr && *epoch != '\0') {
        char* end = nullptr;
        errno = 0;
        const long long seconds = std::strtoll(epoch, &end, 10);
        if (errno == 0 && *end == '\0' && seconds >= 0) return static_cast<std::time_t>(seconds);
    }
    return std::time(nullptr);
}

std::string PdfDate(const Document& doc) {
    std::time_t now = DocumentTime(doc);
    std::tm tm{};
    gmtime_r(&now, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, "D:%Y%m%d%H%M%SZ", &tm);
    return buf;
}

}  // namespace

void WritePdfDocument(const Document& doc, const std::vector<int>& pages, const PdfInfo& info,
                      const std::function<void(std::string_view)>& sink, int compressionLevel,
                      const PageObserver& onPage) {
    if (pages.empty()) throw RuntimeError(kErrInvalidCall, "The document has no pages to write");
    for (int p : pages)
        if (p < 1 || static_cast<size_t>(p) > doc.pages.size()) throw RuntimeError(kErrSubscript);

    PdfFile file(sink);
    file.compressionLevel = compressionLevel;
    for (int i = 1; i <= kFixedObjects; ++i) file.Alloc();
    PdfFonts fonts;
    std::unordered_map<uint32_t, int> images;
    PageWriter writer(doc, file, fonts, images);
    std::vector<int> pageObjects;
    pageObjects.reserve(pages.size());
    // The page object after its content stream, given deflated or to deflate.
    auto writePage = [&](double width, double height, std::string_view content, bool deflated) {
        const int contentObj = file.Alloc();
        if (deflated) file.DeflatedStream(contentObj, "", content);
        else file.Stream(contentObj, "", content, true);
        const int pageObj = file.Alloc();
        PdfBuffer& b = file.Begin(pageObj);
        b << "<< /Type /Page /Parent ";
        b.I(kPages) << "0 R /MediaBox [0 0 ";
        b.N(width / 20.0, 3).Num(height / 20.0, 3);
        b << "] /Resources ";
        b.I(kResources) << "0 R /Contents ";
        b.I(contentObj) << "0 R >>";
        file.End();
        pageObjects.push_back(pageObj);
    };
    // A page's stream is deflated while the next page is laid out, unless pictures are
    // written as they are met (their objects would then come before the page's stream).
    std::optional<BackgroundDeflate> deflater;
    if (pages.size() > 1 && doc.pictures.empty()) deflater.emplace(compressionLevel);
    std::optional<std::pair<double, double>> inHand;  // size of the page being deflated
    std::string content, deflated;
    Page loaded;  // a spilled page, read back
    std::string loadedTexts;
    for (int p : pages) {
        if (onPage) onPage(static_cast<int32_t>(pageObjects.size() + (inHand ? 2 : 1)),
                           static_cast<int32_t>(pages.size()));
        std::string_view texts;
        const Page* page = &doc.PageToRead(static_cast<size_t>(p - 1), loaded, loadedTexts, texts);
        if (!deflater) {
            writePage(page->width, page->height, writer.Content(*page, texts), false);
            continue;
        }
        content.assign(writer.Content(*page, texts));
        if (inHand) {
            deflater->Finish(deflated);
            writePage(inHand->first, inHand->second, deflated, true);
        }
        inHand.emplace(page->width, page->height);
        deflater->Start(content);
    }
    if (inHand) {
        deflater->Finish(deflated);
        writePage(inHand->first, inHand->second, deflated, true);
    }
    std::vector<int> fontObjects = fonts.WriteAll(file);

    PdfBuffer& res = file.Begin(kResources);
    res << "<< /Font <<";
    for (size_t i = 0; i < fontObjects.size(); ++i) {
        res << " /F";
        res.I(static_cast<int64_t>(i)).I(fontObjects[i]) << "0 R";
    }
    res << " >>";
    if (!images.empty()) {
        res << " /XObject <<";
        for (auto& [pic, obj] : images) {
            res << " /Im";
            res.I(pic).I(obj) << "0 R";
        }
        res << " >>";
    }
    res << " >>";
    file.End();

    PdfBuffer& kids = file.Begin(kPages);
    kids << "<< /Type /Pages /Count ";
    kids.I(static_cast<int64_t>(pageObjects.size())) << "/Kids [";
    for (int o : pageObjects) kids.I(o) << "0 R ";
    kids << "] >>";
    file.End();

    const int outline = WriteOutline(file, doc, pages, pageObjects);

    PdfBuffer& catalog = file.Begin(kCatalog);
    catalog << "<< /Type /Catalog /Pages ";
    catalog.I(kPages) << "0 R";
    if (outline != 0) {
        catalog << " /Outlines ";
        catalog.I(outline) << "0 R /PageMode /UseOutlines";
    }
    catalog << " >>";
    file.End();

    PdfBuffer& in = file.Begin(kInfo);
    in << "<< /Producer (qorPrintLib) /CreationDate (" << PdfDate(doc) << ")";
    auto field = [&](const char* key, const std::string& v) {
        if (v.empty()) return;
        in << ' ' << key << ' ';
        in.TextString(v);
    };
    field("/Title", info.title);
    field("/Author", info.author);
    field("/Subject", info.subject);
    field("/Creator", info.creator);
    in << " >>";
    file.End();
    file.Finish(kCatalog, kInfo);
}

// ---- Entry points -----------------------------------------------------------------------

void WritePdf(const VSPrinter& printer, const std::string& file, const std::vector<int>& pages,
              const PdfInfo& info, const PageObserver& onPage) {
    const Document& doc = DocumentAsSpilled(printer);
    if (doc.pages.empty()) throw RuntimeError(kErrInvalidCall, "The document has no pages");
    for (int p : pages)
        if (p < 1 || static_cast<size_t>(p) > doc.pages.size()) throw RuntimeError(kErrSubscript);
    WriteFileAtomically(file, [&](std::FILE* f) {
        WritePdfDocument(doc, pages, info, [f, &file](std::string_view bytes) {
            if (std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size())
                throw RuntimeError(kErrPathFileAccess,
                                   "Cannot write the file \"" + file + "\": " + std::strerror(errno));
        }, 3, onPage);
    });
}

void WritePdf(const VSPrinter& printer, const std::string& file, const std::vector<int>& pages) {
    WritePdf(printer, file, pages, PdfInfo{});
}

void WritePdf(const VSPrinter& printer, const std::string& file) {
    WritePdf(printer, file, AllPages(printer), PdfInfo{});
}

std::string WritePdfToString(const VSPrinter& printer, const std::vector<int>& pages) {
    std::string out;
    WritePdfDocument(DocumentAsSpilled(printer), pages, PdfInfo{},
                     [&out](std::string_view bytes) { out.append(bytes); });
    return out;
}

}  // namespace qor::surface

namespace qor {

void VSPDF::ConvertDocument(const VSPrinter& printer, const std::string& file) const {
    surface::PdfInfo info{Title, Author, Subject, Creator};
    surface::WritePdf(printer, file, surface::AllPages(printer), info);
}

}  // namespace qor
