// Helpers shared by the rich-text tests.
#pragma once

#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>

#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace qor::rtftest {

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

inline std::string SharedFixture(const std::string& name) {
    return ReadFile(std::string(QOR_SHARED_FIXTURES_DIR) + "/rtf/" + name);
}

inline std::vector<QString> BlockTexts(const QTextDocument& doc) {
    std::vector<QString> out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) out.push_back(b.text());
    return out;
}

inline QTextBlock BlockContaining(const QTextDocument& doc, const QString& text) {
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        if (b.text().contains(text)) return b;
    return {};
}

// The format of the fragment whose text is exactly `text`, if there is one.
inline std::optional<QTextCharFormat> RunFormat(const QTextDocument& doc, const QString& text) {
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (it.fragment().text() == text) return it.fragment().charFormat();
    return std::nullopt;
}

}  // namespace qor::rtftest
