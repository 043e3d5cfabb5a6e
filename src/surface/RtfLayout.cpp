#include "surface/RtfLayout.h"

#include <QTextBlock>
#include <QTextFragment>
#include <QUrl>

#include <algorithm>
#include <cmath>

#include "qor/RuntimeError.h"
#include "surface/DocumentAccess.h"
#include "surface/RtfReader.h"

namespace qor::surface {
namespace {

constexpr double kEpsilon = 0.01;  // twips: measuring noise, far below a device pixel

struct Format {
    FontSpec font;
    int32_t color = 0;
    double ascent = 0;
    double descent = 0;
};

enum class SegKind { Word, Space, Tab, Break, Object };

// A run of one kind in one format: a piece of a word, spaces, one tab, one line break, or
// one picture (`height` high, index `object` of the block's pictures).
struct Seg {
    SegKind kind;
    size_t format;
    std::string text;
    double width = 0;
    double height = 0;
    size_t object = 0;
};

// The picture of an image format: decoded from the document's resource; null for a frame
// or a resource that cannot be read.
Picture PictureOf(const QTextDocument* doc, const QTextImageFormat& f) {
    if (!doc || f.name().isEmpty()) return {};
    const QByteArray bytes = doc->resource(QTextDocument::ImageResource, QUrl(f.name())).toByteArray();
    try {
        return Picture::FromBytes(std::string_view(bytes.constData(), size_t(bytes.size())));
    } catch (const std::exception&) {
        return {};
    }
}

int32_t ToBgr(const QColor& c) { return c.red() | (c.green() << 8) | (c.blue() << 16); }

Format FormatOf(const QTextCharFormat& cf, const FontSpec& defaultFont, int32_t defaultColor) {
    Format f;
    f.font = defaultFont;
    const QStringList families = cf.fontFamilies().toStringList();
    if (!families.isEmpty() && !families.front().trimmed().isEmpty())
        f.font.Name = families.front().trimmed().toStdString();
    if (cf.hasProperty(QTextFormat::FontPointSize) && cf.fontPointSize() > 0)
        f.font.Size = cf.fontPointSize();
    if (cf.hasProperty(QTextFormat::FontWeight)) f.font.Bold = cf.fontWeight() >= QFont::DemiBold;
    if (cf.hasProperty(QTextFormat::FontItalic)) f.font.Italic = cf.fontItalic();
    if (cf.hasProperty(QTextFormat::TextUnderlineStyle) || cf.hasProperty(QTextFormat::FontUnderline))
        f.font.Underline = cf.fontUnderline();
    if (cf.hasProperty(QTextFormat::FontStrikeOut)) f.font.Strikethrough = cf.fontStrikeOut();
    f.color = cf.hasProperty(QTextFormat::ForegroundBrush) ? ToBgr(cf.foreground().color()) : defaultColor;
    const LineMetrics m = MetricsOf(f.font);
    f.ascent = m.ascent;
    f.descent = m.descent;
    return f;
}

// Breaks one block into lines. Positions inside are relative to the line box's left edge
// until a line is finished.
class BlockBreaker {
public:
    BlockBreaker(const QTextBlock& block, double areaLeft, double areaRight,
                 const FontSpec& defaultFont, int32_t defaultColor)
        : areaLeft_(areaLeft), fmt_(block.blockFormat()) {
        const double li = fmt_.leftMargin(), ri = fmt_.rightMargin(), fi = fmt_.textIndent();
        leftFirst_ = areaLeft + li + fi;
        leftRest_ = areaLeft + li;
        right_ = areaRight - ri;
        // Indents that leave no room are dropped rather than piling text up at one spot.
        if (right_ - std::max(leftFirst_, leftRest_) < 144) {
            leftFirst_ = leftRest_ = areaLeft;
            right_ = areaRight;
        }
        for (const QTextOption::Tab& t : fmt_.tabPositions()) tabs_.push_back(t);
        if (fi < 0 && li > 0) tabs_.push_back(QTextOption::Tab(li, QTextOption::LeftTab));
        std::ranges::sort(tabs_, {}, &QTextOption::Tab::position);

        formats_.push_back(FormatOf(block.charFormat(), defaultFont, defaultColor));
        // The list marker, in the format of the paragraph's first text without its lines.
        const QString marker = fmt_.property(kRtfListMarker).toString();
        if (!marker.isEmpty()) {
            QTextCharFormat first = block.charFormat();
            if (block.begin() != block.end()) first = block.begin().fragment().charFormat();
            formats_.push_back(FormatOf(first, defaultFont, defaultColor));
            formats_.back().font.Underline = formats_.back().font.Strikethrough = false;
            Split(marker, formats_.size() - 1);
        }
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            if (!frag.isValid()) continue;
            formats_.push_back(FormatOf(frag.charFormat(), defaultFont, defaultColor));
            if (frag.charFormat().isImageFormat()) {
                for (qsizetype k = 0; k < frag.text().size(); ++k) AddObject(frag.charFormat().toImageFormat(), block);
            } else {
                Split(frag.text(), formats_.size() - 1);
            }
        }
        // An empty paragraph is as high as the text it would have had.
        emptyFormat_ = segs_.empty() ? 0 : segs_.back().format;
    }

    RtfParagraph Run() {
        RtfParagraph para;
        para.spaceBefore = std::max(0.0, fmt_.topMargin());
        para.spaceAfter = std::max(0.0, fmt_.bottomMargin());
        para.pageBreakBefore = fmt_.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore;
        StartLine(true);
        size_t i = 0;
        while (i < segs_.size()) {
            switch (segs_[i].kind) {
            case SegKind::Word: {
                size_t j = i;
                while (j < segs_.size() && segs_[j].kind == SegKind::Word) ++j;
                PlaceWord(std::vector<Seg>(segs_.begin() + long(i), segs_.begin() + long(j)), para);
                i = j;
                continue;
            }
            case SegKind::Space:
                if (content_ || firstLine_) pendingSpaces_.push_back(i);
                break;
            case SegKind::Tab: PlaceTab(segs_[i], para); break;
            case SegKind::Object: PlaceWord({segs_[i]}, para); break;
            case SegKind::Break:
                pendingSpaces_.clear();
                lastFormat_ = segs_[i].format;
                FinishLine(para, false);
                StartLine(false);
                break;
            }
            ++i;
        }
        pendingSpaces_.clear();
        FinishLine(para, true);
        return para;
    }

private:
    // A picture, no wider than the narrowest line of the paragraph.
    void AddObject(const QTextImageFormat& f, const QTextBlock& block) {
        double w = std::max(1.0, f.width()), h = std::max(1.0, f.height());
        const double room = right_ - std::max(leftFirst_, leftRest_);
        if (w > room && room > 0) {
            h *= room / w;
            w = room;
        }
        objects_.push_back(f.property(kRtfPictureFrame).toBool() ? Picture{} : PictureOf(block.document(), f));
        segs_.push_back({SegKind::Object, formats_.size() - 1, {}, w, h, objects_.size() - 1});
    }

    void Split(const QString& text, size_t format) {
        const FontSpec& font = formats_[format].font;
        auto kindOf = [](QChar c) {
            if (c == u' ') return SegKind::Space;
            if (c == u'\t') return SegKind::Tab;
            if (c == QChar::LineSeparator || c == QChar::ParagraphSeparator) return SegKind::Break;
            return SegKind::Word;
        };
        qsizetype i = 0;
        while (i < text.size()) {
            const SegKind kind = kindOf(text[i]);
            qsizetype j = i + 1;
            if (kind == SegKind::Word || kind == SegKind::Space)
                while (j < text.size() && kindOf(text[j]) == kind) ++j;
            Seg s{kind, format, {}, 0};
            if (kind == SegKind::Word || kind == SegKind::Space) {
                s.text = text.mid(i, j - i).toStdString();
                s.width = MeasureText(font, s.text);
            }
            segs_.push_back(std::move(s));
            i = j;
        }
    }

    double Left() const { return firstLine_ ? leftFirst_ : leftRest_; }
    double Width() const { return right_ - Left(); }

    void StartLine(bool first) {
        firstLine_ = first;
        pieces_.clear();
        x_ = 0;
        content_ = false;
        justifyFrom_ = 0;
        tabPending_ = false;
    }

    void Add(const Seg& s) {
        const Format& f = formats_[s.format];
        const bool object = s.kind == SegKind::Object;
        pieces_.push_back({x_, s.width, s.text, f.font, f.color, object, s.height, object ? objects_[s.object] : Picture{}});
        x_ += s.width;
        lastFormat_ = s.format;
    }

    void FlushSpaces() {
        for (size_t k : pendingSpaces_) Add(segs_[k]);
        pendingSpaces_.clear();
    }

    double SpacesWidth() const {
        double w = 0;
        for (size_t k : pendingSpaces_) w += segs_[k].width;
        return w;
    }

    void PlaceWord(std::vector<Seg> word, RtfParagraph& para) {
        for (;;) {
            double w = 0;
            for (const Seg& s : word) w += s.width;
            if (content_ && x_ + SpacesWidth() + w > Width() + kEpsilon) {
                pendingSpaces_.clear();
                FinishLine(para, false);
                StartLine(false);
            }
            FlushSpaces();
            if (x_ + w <= Width() + kEpsilon || word.empty()) {
                for (const Seg& s : word) Add(s);
                content_ = true;
                return;
            }
            // Longer than a whole line: cut between characters, at least one per line.
            std::vector<Seg> rest = CutToFit(word, Width() - x_);
            for (const Seg& s : word) Add(s);
            content_ = true;
            if (rest.empty()) return;
            FinishLine(para, false);
            StartLine(false);
            word = std::move(rest);
        }
    }

    // Keeps in `word` the characters that fit in `room` (at least one) and returns the rest.
    std::vector<Seg> CutToFit(std::vector<Seg>& word, double room) {
        double used = 0;
        bool any = false;
        for (size_t k = 0; k < word.size(); ++k) {
            Seg& s = word[k];
            const FontSpec& font = formats_[s.format].font;
            size_t pos = 0;
            while (pos < s.text.size()) {
                size_t next = pos;
                NextCodePoint(s.text, next);
                const double cw = MeasureText(font, std::string_view(s.text).substr(pos, next - pos));
                if (any && used + cw > room + kEpsilon) {
                    std::vector<Seg> rest;
                    Seg tail{SegKind::Word, s.format, s.text.substr(pos), 0};
                    tail.width = MeasureText(font, tail.text);
                    if (!tail.text.empty()) rest.push_back(std::move(tail));
                    rest.insert(rest.end(), word.begin() + long(k) + 1, word.end());
                    s.text.resize(pos);
                    s.width = MeasureText(font, s.text);
                    word.resize(k + 1);
                    if (s.text.empty()) word.pop_back();
                    return rest;
                }
                used += cw;
                any = true;
                pos = next;
            }
        }
        return {};
    }

    void PlaceTab(const Seg& tab, RtfParagraph& para) {
        FlushSpaces();
        ResolveTab();
        lastFormat_ = tab.format;
        QTextOption::Tab stop;
        if (!NextStop(stop) && content_) {
            FinishLine(para, false);
            StartLine(false);
            NextStop(stop);
        }
        const double target = std::min(stop.position + areaLeft_ - Left(), Width());
        content_ = true;
        if (stop.type == QTextOption::LeftTab) {
            x_ = std::max(x_, target);
        } else {
            tabPending_ = true;
            tabType_ = stop.type;
            tabStop_ = target;
            tabStartX_ = x_;
            tabFirstPiece_ = pieces_.size();
        }
        justifyFrom_ = pieces_.size();
    }

    // The first stop right of the current position, relative to the area's left edge; false
    // when it lies beyond the line's right edge.
    bool NextStop(QTextOption::Tab& stop) const {
        const double at = Left() + x_ - areaLeft_;
        auto it = std::ranges::find_if(tabs_, [&](const QTextOption::Tab& t) { return t.position > at + kEpsilon; });
        if (it != tabs_.end()) {
            stop = *it;
        } else {
            stop = QTextOption::Tab((std::floor((at + kEpsilon) / kRtfDefaultTab) + 1) * kRtfDefaultTab,
                                    QTextOption::LeftTab);
        }
        return stop.position + areaLeft_ <= right_ + kEpsilon;
    }

    // Right and centred tab stops move the text after them once its width is known.
    void ResolveTab() {
        if (!tabPending_) return;
        tabPending_ = false;
        const double after = x_ - tabStartX_;
        double start = tabType_ == QTextOption::CenterTab ? tabStop_ - after / 2 : tabStop_ - after;
        start = std::max(start, tabStartX_);
        const double shift = start - tabStartX_;
        for (size_t k = tabFirstPiece_; k < pieces_.size(); ++k) pieces_[k].x += shift;
        x_ += shift;
    }

    void FinishLine(RtfParagraph& para, bool lastOfParagraph) {
        ResolveTab();
        while (!pieces_.empty() && IsSpace(pieces_.back())) pieces_.pop_back();
        RtfLine line;
        const double used = pieces_.empty() ? 0 : pieces_.back().x + pieces_.back().width;
        const double free = std::max(0.0, Width() - used);
        const Qt::Alignment align = fmt_.alignment();
        double shift = 0;
        bool justified = false;
        if (align & Qt::AlignRight) {
            shift = free;
        } else if (align & Qt::AlignHCenter) {
            shift = free / 2;
        } else if ((align & Qt::AlignJustify) && !lastOfParagraph) {
            size_t gaps = 0;
            for (size_t k = justifyFrom_; k < pieces_.size(); ++k) gaps += IsSpace(pieces_[k]);
            if (gaps > 0) {
                justified = true;
                const double extra = free / double(gaps);
                double added = 0;
                for (size_t k = justifyFrom_; k < pieces_.size(); ++k) {
                    pieces_[k].x += added;
                    if (IsSpace(pieces_[k])) added += extra;
                }
            }
        }
        double ascent = 0, descent = 0;
        for (RtfPiece& p : pieces_) p.x += Left() + shift;
        for (const RtfPiece& p : pieces_) {
            if (p.object) {
                ascent = std::max(ascent, p.height);
                continue;
            }
            const LineMetrics m = MetricsOf(p.font);
            ascent = std::max(ascent, m.ascent);
            descent = std::max(descent, m.descent);
        }
        if (pieces_.empty()) {
            const Format& f = formats_[content_ ? lastFormat_ : emptyFormat_];
            ascent = f.ascent;
            descent = f.descent;
        }
        Merge(justified);
        line.pieces = std::move(pieces_);
        pieces_.clear();
        const double natural = ascent + descent;
        double height = natural;
        const double lh = fmt_.lineHeight();
        switch (fmt_.lineHeightType()) {
        case QTextBlockFormat::ProportionalHeight: height = natural * std::clamp(lh, 10.0, 1000.0) / 100; break;
        case QTextBlockFormat::MinimumHeight: height = std::max(natural, lh); break;
        case QTextBlockFormat::FixedHeight: height = lh > 0 ? lh : natural; break;
        default: break;
        }
        line.height = height;
        line.ascent = std::max(ascent, height - descent);
        para.lines.push_back(std::move(line));
    }

    static bool IsSpace(const RtfPiece& p) {
        return !p.object && !p.text.empty() && std::ranges::all_of(p.text, [](char c) { return c == ' '; });
    }

    // Joins neighbouring pieces in the same font and colour into one, and drops spaces that
    // draw nothing; on a justified line the widened spaces keep the words apart.
    void Merge(bool justified) {
        std::vector<RtfPiece> out;
        for (RtfPiece& p : pieces_) {
            const bool space = IsSpace(p);
            if (!out.empty()) {
                RtfPiece& last = out.back();
                const bool joinable = !(justified && (space || IsSpace(last))) && !p.object && !last.object;
                if (joinable && last.font == p.font && last.color == p.color &&
                    std::abs(last.x + last.width - p.x) < kEpsilon) {
                    last.text += p.text;
                    last.width += p.width;
                    continue;
                }
            }
            out.push_back(std::move(p));
        }
        std::erase_if(out, [](const RtfPiece& p) {
            return !p.object && (p.text.empty() || (IsSpace(p) && !p.font.Underline && !p.font.Strikethrough));
        });
        pieces_ = std::move(out);
    }

    double areaLeft_;
    QTextBlockFormat fmt_;
    double leftFirst_ = 0, leftRest_ = 0, right_ = 0;
    std::vector<QTextOption::Tab> tabs_;
    std::vector<Format> formats_;
    std::vector<Seg> segs_;
    std::vector<Picture> objects_;
    size_t emptyFormat_ = 0;

    bool firstLine_ = true;
    bool content_ = false;
    double x_ = 0;
    std::vector<RtfPiece> pieces_;
    std::vector<size_t> pendingSpaces_;
    size_t lastFormat_ = 0;
    size_t justifyFrom_ = 0;
    bool tabPending_ = false;
    QTextOption::TabType tabType_ = QTextOption::LeftTab;
    double tabStop_ = 0, tabStartX_ = 0;
    size_t tabFirstPiece_ = 0;
};

}  // namespace

RtfParagraph BreakBlock(const QTextBlock& block, double left, double right, const FontSpec& defaultFont,
                        int32_t defaultColor) {
    if (!(right > left)) right = left + 1440;
    return BlockBreaker(block, left, right, defaultFont, defaultColor).Run();
}

std::vector<RtfParagraph> BreakRichText(const QTextDocument& doc, double left, double right,
                                        const FontSpec& defaultFont, int32_t defaultColor) {
    std::vector<RtfParagraph> out;
    if (doc.isEmpty()) return out;
    for (auto it = doc.rootFrame()->begin(); !it.atEnd(); ++it) {
        const QTextBlock b = it.currentBlock();
        if (b.isValid() && !(b.length() == 1 && b.blockFormat().boolProperty(kRtfFillerBlock)))
            out.push_back(BreakBlock(b, left, right, defaultFont, defaultColor));
    }
    return out;
}

}  // namespace qor::surface
