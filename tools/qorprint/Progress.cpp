#include "Progress.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace qortool {

void ProgressBar::Update(int64_t done) {
    const auto now = std::chrono::steady_clock::now();
    if (drawn_ && now - last_ < std::chrono::milliseconds(100)) return;
    last_ = now;
    Draw(done);
}

void ProgressBar::Finish() {
    if (!drawn_) return;
    Draw(total_);
    std::fputc('\n', stderr);
    drawn_ = false;
}

void ProgressBar::Draw(int64_t done) {
    constexpr int kWidth = 40;
    done = std::clamp<int64_t>(done, 0, total_);
    const int filled = total_ > 0 ? static_cast<int>(done * kWidth / total_) : kWidth;
    std::string bar(static_cast<std::size_t>(filled), '#');
    bar.append(static_cast<std::size_t>(kWidth - filled), '.');
    std::fprintf(stderr, "\r[%s] %lld/%lld records", bar.c_str(), static_cast<long long>(done),
                 static_cast<long long>(total_));
    std::fflush(stderr);
    drawn_ = true;
}

ProgressRecordset::ProgressRecordset(std::shared_ptr<qor::Recordset> inner, ProgressBar& bar)
    : inner_(std::move(inner)), bar_(bar) {
    std::vector<std::string> names;
    names.reserve(static_cast<std::size_t>(inner_->FieldCount()));
    for (int32_t i = 0; i < inner_->FieldCount(); ++i) names.push_back(inner_->Fields(i).Name());
    SetFieldNames(std::move(names));
}

void ProgressRecordset::MoveFirst() {
    inner_->MoveFirst();
    rows_ = 0;
    bar_.Update(0);
}

void ProgressRecordset::MoveNext() {
    inner_->MoveNext();
    if ((++rows_ & 255) == 0) bar_.Update(rows_);
}

}  // namespace qortool
