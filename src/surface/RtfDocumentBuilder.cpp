#include "surface/RtfDocumentBuilder.h"

#include <QBuffer>
#include <QFont>
#include <QImageReader>
#include <QTextBlock>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextList>
#include <QUrl>

namespace qor::rtf {

void RtfWarnings::Add(const std::string& text) {
    if (list_.size() < size_t(kRtfMaxWarnings) && seen_.insert(text).second) list_.push_back(text);
}

DocumentBuilder::Flow::Flow(std::unique_ptr<QTextDocument> d) : doc(std::move(d)) {
    doc->setUndoRedoEnabled(false);
    cursor = QTextCursor(doc.get());
}

DocumentBuilder::DocumentBuilder(const RtfReadOptions& options, RtfWarnings& warnings)
    : options_(options), warnings_(warnings), main_(std::make_unique<QTextDocument>()) {}

// ---- tables ----

void DocumentBuilder::DefineFont(int number, std::string_view name, int codePage, bool symbol) {
    if (fonts_.size() < size_t(kRtfMaxTableEntries) || fonts_.count(number)) {
        const QString decoded = decoders_.Decode(codePage ? codePage : docCodePage_, name);
        fonts_[number] = {decoded.trimmed(), codePage, symbol};
    } else {
        warnings_.Add("font table longer than " + std::to_string(kRtfMaxTableEntries) + " entries cut");
    }
}

void DocumentBuilder::DefineColor(int red, int green, int blue) {
    if (colors_.size() >= size_t(kRtfMaxTableEntries)) {
        warnings_.Add("colour table longer than " + std::to_string(kRtfMaxTableEntries) + " entries cut");
    } else if (red < 0 && green < 0 && blue < 0) {
        colors_.push_back(QColor());  // the automatic colour
    } else {
        colors_.push_back(QColor(std::max(red, 0), std::max(green, 0), std::max(blue, 0)));
    }
}

QColor DocumentBuilder::ColorAt(int index, const QColor& automatic) const {
    if (index > 0 && size_t(index) < colors_.size() && colors_[size_t(index)].isValid()) return colors_[size_t(index)];
    return automatic;
}

// ---- text ----

// Text of the current run, in the current format. Control characters never get in.
void DocumentBuilder::Append(char16_t u, const TextState& state) {
    FlushBytes(state);
    AppendUnit(u, state);
}

void DocumentBuilder::AppendUnit(char16_t u, const TextState& state) {
    if (state.ch.hidden || state.target == Target::None) return;
    if (QChar::isHighSurrogate(u)) {
        DropSurrogate();
        highSurrogate_ = u;
        return;
    }
    if (QChar::isLowSurrogate(u)) {
        if (highSurrogate_) {
            pending_.append(QChar(highSurrogate_));
            pending_.append(QChar(u));
            highSurrogate_ = 0;
        } else {
            pending_.append(QChar(u'\uFFFD'));
            warnings_.Add("unpaired surrogate replaced");
        }
        return;
    }
    DropSurrogate();
    if ((u < 0x20 && u != u'\t') || (u >= 0x7F && u < 0xA0) || u == 0xFFFE || u == 0xFFFF) return;
    pending_.append(QChar(u));
}

void DocumentBuilder::DropSurrogate() {
    if (!highSurrogate_) return;
    pending_.append(QChar(u'\uFFFD'));
    highSurrogate_ = 0;
    warnings_.Add("unpaired surrogate replaced");
}

int DocumentBuilder::CurrentCodePage(const CharState& ch) const {
    auto it = fonts_.find(ch.font >= 0 ? ch.font : deff_);
    return it != fonts_.end() && it->second.codePage ? it->second.codePage : docCodePage_;
}

void DocumentBuilder::FlushBytes(const TextState& state) {
    if (bytes_.empty()) return;
    const QString text = decoders_.Decode(CurrentCodePage(state.ch), bytes_);
    bytes_.clear();
    for (QChar c : text) AppendUnit(c.unicode(), state);
}

void DocumentBuilder::FlushRun(const TextState& state) {
    FlushBytes(state);
    if (pending_.isEmpty()) return;
    if (state.target == Target::Marker) {
        if (marker_.size() < 64) marker_ += MarkerText(state.ch, pending_).left(64);
        pending_.clear();
        return;
    }
    Flow* flow = Route(state.para);
    if (flow) {
        EnsureBlock(*flow);
        flow->cursor.insertText(pending_, CharFormat(state.ch));
        // A last paragraph without \par keeps the formatting its text was written in, even
        // when the groups around it have closed since.
        flow->lastTextPara = state.para;
    }
    pending_.clear();
}

// Bullets of symbol fonts are characters of their own code points; as Unicode they are
// the usual bullets, whatever font draws them.
QString DocumentBuilder::MarkerText(const CharState& ch, QString text) const {
    auto it = fonts_.find(ch.font >= 0 ? ch.font : deff_);
    const bool symbol = it != fonts_.end() && it->second.symbol;
    for (QChar& c : text) {
        switch (c.unicode()) {
        case 0xB7: c = u'\u2022'; break;
        case 0xA7: if (symbol) c = u'\u25AA'; break;
        case 0xD8: if (symbol) c = u'\u27A2'; break;
        case 0xFC: if (symbol) c = u'\u2713'; break;
        case 0x76: if (symbol) c = u'\u2756'; break;
        case 0x6E: if (symbol) c = u'\u25A0'; break;
        default: break;
        }
    }
    return text;
}

void DocumentBuilder::EnsureBlock(Flow& flow) {
    if (!flow.needBlock) return;
    flow.cursor.insertBlock();
    flow.needBlock = false;
    flow.blockBreak = flow.pageBreakNext;
    flow.pageBreakNext = false;
}

void DocumentBuilder::EndParagraph(const TextState& state, const std::optional<ListMarker>& marker) {
    FlushRun(state);
    Flow* flow = Route(state.para);
    if (!flow) return;
    EnsureBlock(*flow);
    QTextBlockFormat format = BlockFormat(*flow, state.para);
    if (marker && !marker->text.isEmpty()) format.setProperty(kRtfListMarker, marker->text);
    flow->cursor.setBlockFormat(format);
    if (marker) {
        QTextList*& list = flow->lists[marker->list];
        if (list) {
            list->add(flow->cursor.block());
        } else {
            QTextListFormat lf;
            lf.setStyle(marker->style);
            lf.setIndent(marker->level + 1);
            list = flow->cursor.createList(lf);
        }
    }
    flow->needBlock = true;
    flow->lastTextPara.reset();
}

void DocumentBuilder::PageBreak(const TextState& state) {
    Flow* flow = Route(state.para);
    if (!flow) return;
    // A page break inside a paragraph ends it; at a paragraph's start it only moves that
    // paragraph to the next page.
    if (!flow->needBlock && flow->cursor.block().length() > 1) EndParagraph(state);
    if (flow->needBlock) {
        flow->pageBreakNext = true;
    } else {
        flow->blockBreak = true;
    }
}

void DocumentBuilder::FinishFlow(Flow& flow, const ParaState& para) {
    if (!flow.needBlock)
        flow.cursor.setBlockFormat(BlockFormat(flow, flow.lastTextPara ? *flow.lastTextPara : para));
    flow.needBlock = true;
}

std::unique_ptr<QTextDocument> DocumentBuilder::Finish(const TextState& state) {
    FlushRun(state);
    DropSurrogate();
    FlushRun(state);
    CloseTables(0);
    if (!main_.needBlock) FinishFlow(main_, state.para);
    return std::move(main_.doc);
}

// ---- pictures ----

void PictureDef::AddHex(char c) {
    int v = -1;
    if (c >= '0' && c <= '9') v = c - '0';
    if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
    if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
    if (v < 0 || tooLarge) return;
    if (nibble < 0) {
        nibble = v;
        return;
    }
    AddBytes(std::string(1, char(nibble * 16 + v)));
    nibble = -1;
}

void PictureDef::AddBytes(std::string_view bytes) {
    if (tooLarge) return;
    if (data.size() + bytes.size() > size_t(kRtfMaxPictureBytes)) {
        tooLarge = true;
        data.clear();
        data.shrink_to_fit();
        return;
    }
    data.append(bytes);
}

void DocumentBuilder::AddPicture(const PictureDef& p, const TextState& state) {
    if (state.target != Target::Document) return;
    if (p.tooLarge) {
        warnings_.Add("picture larger than " + std::to_string(kRtfMaxPictureBytes) + " bytes left out");
        return;
    }
    QSize pixels;
    const QByteArray bytes(p.data.data(), qsizetype(p.data.size()));
    if (p.kind == 1 || p.kind == 2) {
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        pixels = QImageReader(&buffer).size();
        if (pixels.isValid() && double(pixels.width()) * pixels.height() > kRtfMaxPicturePixels) {
            warnings_.Add("picture of more than " + std::to_string(kRtfMaxPicturePixels) + " pixels left out");
            return;
        }
    }
    const bool drawn = pixels.isValid() && !pixels.isEmpty();
    // Size: the goal (twips), else the picture's own size: pixels at 96 dpi, or for the
    // kinds that are not drawn hundredths of a millimetre.
    auto size = [&](int goal, int given, int px, int scale) {
        double v = goal > 0 ? goal : given > 0 ? (p.kind == 3 ? given * 1440.0 / 2540 : given * 15.0) : px * 15.0;
        return std::clamp(v * std::clamp(scale, 1, 1000) / 100.0, 0.0, 31680.0);
    };
    const double w = size(p.goalw, p.picw, drawn ? pixels.width() : 0, p.scalex);
    const double h = size(p.goalh, p.pich, drawn ? pixels.height() : 0, p.scaley);
    if (w < 1 || h < 1) {
        warnings_.Add("picture without a size left out");
        return;
    }
    FlushRun(state);
    Flow* flow = Route(state.para);
    if (!flow) return;
    QTextImageFormat f;
    f.merge(CharFormat(state.ch));
    f.setWidth(w);
    f.setHeight(h);
    if (drawn) {
        const QString name = QStringLiteral("rtf-picture:%1").arg(++pictures_);
        main_.doc->addResource(QTextDocument::ImageResource, QUrl(name), bytes);
        f.setName(name);
    } else {
        if (p.kind != 3) warnings_.Add("picture that cannot be read shown as an empty frame");
        f.setProperty(kRtfPictureFrame, true);
    }
    EnsureBlock(*flow);
    flow->cursor.insertImage(f);
    flow->lastTextPara = state.para;
}

// ---- formats ----

QTextCharFormat DocumentBuilder::CharFormat(const CharState& ch) const {
    QString family;
    auto it = fonts_.find(ch.font >= 0 ? ch.font : deff_);
    if (it == fonts_.end() && ch.font >= 0) it = fonts_.find(deff_);
    if (it != fonts_.end()) family = it->second.name;
    if (family.isEmpty()) family = options_.defaultFamily;
    QTextCharFormat f;
    f.setFontFamilies(QStringList{family});
    f.setFontPointSize(ch.halfPoints / 2.0);
    f.setFontWeight(ch.bold ? QFont::Bold : QFont::Normal);
    f.setFontItalic(ch.italic);
    f.setFontUnderline(ch.underline);
    f.setFontStrikeOut(ch.strike);
    const QColor color = ColorAt(ch.color, QColor());
    if (color.isValid()) f.setForeground(color);
    return f;
}

QTextBlockFormat DocumentBuilder::BlockFormat(const Flow& flow, const ParaState& pa) const {
    QTextBlockFormat b;
    b.setAlignment(pa.align);
    b.setLeftMargin(pa.li);
    b.setRightMargin(pa.ri);
    b.setTextIndent(pa.fi);
    b.setTopMargin(pa.sb);
    b.setBottomMargin(pa.sa);
    if (pa.sl > 0 && pa.slMult) {
        b.setLineHeight(pa.sl * 100.0 / 240.0, QTextBlockFormat::ProportionalHeight);
    } else if (pa.sl > 0) {
        b.setLineHeight(pa.sl, QTextBlockFormat::MinimumHeight);
    } else if (pa.sl < 0) {
        b.setLineHeight(-pa.sl, QTextBlockFormat::FixedHeight);
    }
    b.setTabPositions(pa.tabs);
    if (flow.blockBreak) b.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    return b;
}

}  // namespace qor::rtf
