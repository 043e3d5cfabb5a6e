#include "surface/RtfLists.h"

#include <algorithm>

#include "surface/RtfReader.h"

namespace qor::rtf {
namespace {

QString Roman(int n) {
    static const std::pair<int, const char*> kDigits[] = {{1000, "m"}, {900, "cm"}, {500, "d"}, {400, "cd"},
                                                          {100, "c"},  {90, "xc"},  {50, "l"},  {40, "xl"},
                                                          {10, "x"},   {9, "ix"},   {5, "v"},   {4, "iv"}, {1, "i"}};
    QString s;
    for (auto [value, digits] : kDigits)
        for (; n >= value; n -= value) s += QLatin1String(digits);
    return s;
}

// a..z, then aa..zz, then aaa..: the letter repeated, as word processors count.
QString Letters(int n) { return QString(1 + (n - 1) / 26, QChar(u'a' + (n - 1) % 26)); }

QTextListFormat::Style StyleOf(int nfc) {
    switch (nfc) {
    case 1: return QTextListFormat::ListUpperRoman;
    case 2: return QTextListFormat::ListLowerRoman;
    case 3: return QTextListFormat::ListUpperAlpha;
    case 4: return QTextListFormat::ListLowerAlpha;
    case 23:
    case 255: return QTextListFormat::ListDisc;
    default: return QTextListFormat::ListDecimal;
    }
}

QString Separator(int follow) {
    return follow == 0 ? QStringLiteral("\t") : follow == 1 ? QStringLiteral(" ") : QString();
}

}  // namespace

QString FormatListNumber(int n, int nfc) {
    const bool small = n >= 1 && n <= 3999;
    switch (nfc) {
    case 1: return small ? Roman(n).toUpper() : QString::number(n);
    case 2: return small ? Roman(n) : QString::number(n);
    case 3: return small ? Letters(n).toUpper() : QString::number(n);
    case 4: return small ? Letters(n) : QString::number(n);
    case 22: return n >= 0 && n < 10 ? QStringLiteral("0") + QString::number(n) : QString::number(n);
    case 23:
    case 255: return {};
    default: return QString::number(n);
    }
}

// ---- reading ----

void ListTable::BeginList() {
    inLevel_ = false;
    if (lists_.size() < size_t(kRtfMaxTableEntries)) lists_.emplace_back();
}

void ListTable::BeginLevel() {
    inLevel_ = !lists_.empty();
    if (inLevel_) lists_.back().defined = std::min(lists_.back().defined + 1, 10);
}

ListTable::Level* ListTable::CurrentLevel() {
    if (!inLevel_ || lists_.empty() || lists_.back().defined < 1 || lists_.back().defined > 9) return nullptr;
    return &lists_.back().levels[size_t(lists_.back().defined - 1)];
}

void ListTable::ListId(int id, bool inOverride) {
    if (inOverride) {
        overrideId_ = id;
    } else if (!lists_.empty()) {
        lists_.back().id = id;
    }
}

void ListTable::BeginOverride() { overrideId_ = 0; }

void ListTable::OverrideLs(int ls) {
    if (overrides_.size() < size_t(kRtfMaxTableEntries)) overrides_[ls] = overrideId_;
}

void ListTable::LevelWord(Kw kw, int param, bool hasParam) {
    Level* level = CurrentLevel();
    if (!level) return;
    switch (kw) {
    case Kw::LevelNfc: level->nfc = param; break;
    case Kw::LevelStartAt: level->start = std::clamp(param, 0, 32767); break;
    case Kw::LevelFollow: level->follow = std::clamp(param, 0, 2); break;
    case Kw::LevelNoRestart: level->noRestart = !hasParam || param != 0; break;
    case Kw::LevelLegal: level->legal = !hasParam || param != 0; break;
    default: break;
    }
}

void ListTable::LevelText(const QString& text) {
    Level* level = CurrentLevel();
    if (!level || text.isEmpty()) return;
    const qsizetype length = std::min<qsizetype>(text.front().unicode(), text.size() - 1);
    level->text = text.mid(1, length);
    level->hasText = true;
}

// ---- numbering ----

std::optional<ListMarker> ListTable::Next(int ls, int level) {
    pnCount_ = 0;
    auto over = overrides_.find(ls);
    if (over == overrides_.end() || level < 0 || level > kRtfMaxListLevel) return std::nullopt;
    auto list = std::ranges::find(lists_, over->second, &List::id);
    if (list == lists_.end()) return std::nullopt;
    Counters& c = counters_[list->id];
    const auto l = size_t(level);
    const Level& def = list->levels[l];
    if (!c.running[l]) {
        c.value[l] = def.start;
        c.running[l] = true;
        c.run[l] = ++runs_;
    } else {
        c.value[l] = std::min(c.value[l] + 1, 1 << 24);
    }
    // Deeper levels start again after this one, unless they say otherwise.
    for (size_t d = l + 1; d < c.running.size(); ++d)
        if (!list->levels[d].noRestart) c.running[d] = false;

    ListMarker m;
    m.style = StyleOf(def.nfc);
    m.list = c.run[l];
    m.level = level;
    if (!def.hasText) {
        m.text = def.nfc == 23 ? QStringLiteral("\u2022") : FormatListNumber(c.value[l], def.nfc) + u'.';
    } else {
        for (QChar ch : def.text) {
            const char16_t u = ch.unicode();
            if (u < 9) {
                // A number of a level above this one, or this level's own.
                const size_t at = std::min<size_t>(u, l);
                const int nfc = def.legal ? 0 : list->levels[at].nfc;
                m.text += FormatListNumber(c.running[at] ? c.value[at] : list->levels[at].start, nfc);
            } else if (u >= 0x20) {
                m.text += ch;
            }
        }
    }
    m.text += Separator(def.follow);
    return m;
}

std::optional<ListMarker> ListTable::NextPn(const PnDef& pn) {
    if (!pn.on) {
        pnCount_ = 0;
        return std::nullopt;
    }
    ListMarker m;
    m.list = pnRun_;
    if (pn.bullet) {
        pnCount_ = 0;
        m.text = pn.before.isEmpty() ? QStringLiteral("\u2022") : pn.before;
    } else {
        if (pnCount_ == 0) m.list = pnRun_ = ++runs_;
        pnCount_ = pnCount_ == 0 ? pn.start : std::min(pnCount_ + 1, 1 << 24);
        m.style = StyleOf(pn.format);
        m.text = pn.before + FormatListNumber(pnCount_, pn.format) + pn.after;
    }
    m.text += u'\t';
    return m;
}

}  // namespace qor::rtf
