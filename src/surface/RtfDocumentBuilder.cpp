#include "surface/RtfDocumentBuilder.h"

#include <QFont>
#include <QTextBlock>
#include <QTextBlockFormat>
#include <QTextCharFormat>

namespace qor::rtf {

void RtfWarnings::Add(const std::string& text) {
    if (list_.size() < size_t(kRtfMaxWarnings) && seen_.insert(text).second) list_.push_back(text);
}

DocumentBuilder::DocumentBuilder(const RtfReadOptions& options, RtfWarnings& warnings)
    : options_(options), warnings_(warnings), doc_(std::make_unique<QTextDocument>()) {
    doc_->setUndoRedoEnabled(false);
    cursor_ = QTextCursor(doc_.get());
}

// ---- tables ----

void DocumentBuilder::DefineFont(int number, std::string_view name, int codePage) {
    if (fonts_.size() < size_t(kRtfMaxTableEntries) || fonts_.count(number)) {
        const QString decoded = decoders_.Decode(codePage ? codePage : docCodePage_, name);
        fonts_[number] = {decoded.trimmed(), codePage};
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

// ---- text ----

// Text of the current run, in the current format. Control characters never get in.
void DocumentBuilder::Append(char16_t u, const TextState& state) {
    FlushBytes(state);
    AppendUnit(u, state);
}

void DocumentBuilder::AppendUnit(char16_t u, const TextState& state) {
    if (state.ch.hidden || !state.inText) return;
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
    EnsureBlock();
    cursor_.insertText(pending_, CharFormat(state.ch));
    pending_.clear();
    // A last paragraph without \par keeps the formatting its text was written in, even
    // when the groups around it have closed since.
    lastTextPara_ = state.para;
}

void DocumentBuilder::EnsureBlock() {
    if (!needBlock_) return;
    cursor_.insertBlock();
    needBlock_ = false;
    blockBreak_ = pageBreakNext_;
    pageBreakNext_ = false;
}

void DocumentBuilder::EndParagraph(const TextState& state) {
    FlushRun(state);
    EnsureBlock();
    cursor_.setBlockFormat(BlockFormat(state.para));
    needBlock_ = true;
    lastTextPara_.reset();
}

void DocumentBuilder::PageBreak(const TextState& state) {
    // A page break inside a paragraph ends it; at a paragraph's start it only moves that
    // paragraph to the next page.
    if (!needBlock_ && cursor_.block().length() > 1) EndParagraph(state);
    if (needBlock_) {
        pageBreakNext_ = true;
    } else {
        blockBreak_ = true;
    }
}

std::unique_ptr<QTextDocument> DocumentBuilder::Finish(const TextState& state) {
    FlushRun(state);
    DropSurrogate();
    FlushRun(state);
    if (!needBlock_) cursor_.setBlockFormat(BlockFormat(lastTextPara_ ? *lastTextPara_ : state.para));
    return std::move(doc_);
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
    if (ch.color > 0 && size_t(ch.color) < colors_.size() && colors_[size_t(ch.color)].isValid())
        f.setForeground(colors_[size_t(ch.color)]);
    return f;
}

QTextBlockFormat DocumentBuilder::BlockFormat(const ParaState& pa) const {
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
    if (blockBreak_) b.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    return b;
}

}  // namespace qor::rtf
