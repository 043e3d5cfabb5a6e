// The outline (bookmarks) of a PDF file, read back with qpdf's JSON output.
#pragma once

#include <string>
#include <vector>

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "support/Pdf.h"
#include "support/Process.h"

namespace qor::test {

struct PdfBookmark {
    std::string title;      // UTF-8
    int page = 0;           // 1-based
    double top = 0;         // mm from the top edge of a paper `paperHeightMm` high
    bool xyz = false;       // the destination is [page /XYZ left top zoom]
    std::vector<PdfBookmark> kids;
};

inline std::vector<PdfBookmark> PdfBookmarks(const QJsonArray& list, double paperHeightMm) {
    std::vector<PdfBookmark> out;
    for (const QJsonValue& v : list) {
        const QJsonObject o = v.toObject();
        const QJsonArray dest = o["dest"].toArray();
        PdfBookmark b;
        b.title = o["title"].toString().toStdString();
        b.page = o["destpageposfrom1"].toInt();
        b.xyz = dest.at(1).toString() == "/XYZ";
        b.top = paperHeightMm - dest.at(3).toDouble() * kMmPerPt;
        b.kids = PdfBookmarks(o["kids"].toArray(), paperHeightMm);
        out.push_back(std::move(b));
    }
    return out;
}

// The outline of `pdf`; empty when it has none or qpdf cannot read it. A4 portrait by default.
inline std::vector<PdfBookmark> PdfOutline(const std::string& pdf, double paperHeightMm = 297.0) {
    const std::string json = Shell("qpdf --json --json-key=outlines " + Quote(pdf) + " 2>/dev/null");
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(json));
    return PdfBookmarks(doc["outlines"].toArray(), paperHeightMm);
}

}  // namespace qor::test
