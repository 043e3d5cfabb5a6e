#include "drawing/ParagraphWrap.h"

#include <utility>

#include "drawing/DrawingSupport.h"

namespace qor {

namespace {

constexpr char kCR = '\r';

std::vector<std::string> Split(std::string_view text, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t at = text.find(separator, start);
        parts.emplace_back(text.substr(start, at == std::string_view::npos ? std::string_view::npos : at - start));
        if (at == std::string_view::npos) return parts;
        start = at + 1;
    }
}

// `text` with every "\r\n" replaced by "\r".
std::string JoinCrLf(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t start = 0;
    for (std::size_t at = text.find("\r\n"); at != std::string_view::npos; at = text.find("\r\n", start)) {
        out.append(text.substr(start, at - start));
        out += kCR;
        start = at + 2;
    }
    out.append(text.substr(start));
    return out;
}

// One run of the line breaker: the state that the steps below share.
class Wrapper {
public:
    Wrapper(const WrapRules& rules, const TextMeasure& measure) : rules_(rules), measure_(measure) {}

    WrapResult Run(std::string_view text) {
        result_.buffer = JoinCrLf(text);
        y_ = rules_.top;
        const std::string trimmed = TrimBlanks(result_.buffer);
        if (!trimmed.empty()) {
            paragraphs_ = Split(trimmed, kCR);
            for (std::size_t p = 0; p < paragraphs_.size() && !WrapParagraph(p); ++p) {
            }
        }
        result_.endY = y_;
        return std::move(result_);
    }

private:
    // Places paragraph `p`; true when the box is full and the run ends.
    bool WrapParagraph(std::size_t p) {
        std::string& buffer = result_.buffer;
        buffer.clear();
        std::vector<std::string> words = Split(paragraphs_[p], ' ');
        for (std::size_t w = 0; w < words.size(); ++w) {
            std::string& word = words[w];
            if (!word.empty() && word.front() == '\n') word.erase(0, 1);
            const std::string trial = buffer + word;
            if (measure_.width(trial) <= rules_.lineWidth) {
                buffer += " " + word;
                continue;
            }
            const double alignWidth = measure_.width(TrimBlanks(buffer));
            if (y_ + measure_.height(trial) > rules_.bottom) {
                if (rules_.ellipsis) buffer += "...";
                const std::string line = TrimBlanks(buffer);
                Place(line, alignWidth, false, measure_.height(line));
                Remainder(p, &words, w);
                return true;
            }
            const std::string line = TrimBlanks(buffer);
            Place(line, alignWidth, false, measure_.height(line));
            buffer = word;
        }
        const std::string line = TrimBlanks(buffer);
        Place(line, measure_.width(line), true, measure_.height(line.empty() ? "A" : line));
        if (y_ <= rules_.bottom) return false;
        Remainder(p, nullptr, 0);
        return true;
    }

    // Adds a line at the current y and moves below it. Drawing leaves the pen on the line's
    // last segment, so the move is from there.
    void Place(const std::string& line, double alignWidth, bool paragraphEnd, double height) {
        result_.lines.push_back({line, alignWidth, y_, paragraphEnd});
        double drop = 0;
        const std::size_t lastFeed = line.rfind('\n');
        if (lastFeed != std::string::npos) drop = measure_.height(line) - measure_.height(line.substr(lastFeed + 1));
        y_ = y_ + drop + height;
    }

    // The words not placed from `word` of paragraph `para` on, then the later paragraphs.
    void Remainder(std::size_t para, const std::vector<std::string>* words, std::size_t word) {
        if (rules_.ellipsis) return;
        std::string rest;
        for (std::size_t w = word; words != nullptr && w < words->size(); ++w) rest += " " + (*words)[w];
        for (std::size_t p = para + 1; p < paragraphs_.size(); ++p) rest += kCR + paragraphs_[p];
        result_.rest = TrimBlanks(rest);
    }

    const WrapRules& rules_;
    const TextMeasure& measure_;
    WrapResult result_;
    std::vector<std::string> paragraphs_;
    double y_ = 0;
};

}  // namespace

WrapResult WrapParagraphs(std::string_view text, const WrapRules& rules, const TextMeasure& measure) {
    return Wrapper(rules, measure).Run(text);
}

}  // namespace qor
