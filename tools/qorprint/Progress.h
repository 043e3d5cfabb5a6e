// A progress bar on standard error, driven by the record set the report reads.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>

#include <qor/Recordset.h>

namespace qortool {

// Draws "[#####.....]  1234/5000 records" on one terminal line, redrawn in place.
class ProgressBar {
public:
    explicit ProgressBar(int64_t total) : total_(total) {}
    // Shows `done` records; redraws at most ten times a second.
    void Update(int64_t done);
    // Draws the full bar and ends the line.
    void Finish();

private:
    void Draw(int64_t done);
    int64_t total_;
    bool drawn_ = false;
    std::chrono::steady_clock::time_point last_{};
};

// Passes every call to `inner` and tells `bar` how many rows were passed, every 256 rows,
// so the report's loop pays one counter increment per record.
class ProgressRecordset final : public qor::Recordset {
public:
    ProgressRecordset(std::shared_ptr<qor::Recordset> inner, ProgressBar& bar);

    int32_t RecordCount() override { return inner_->RecordCount(); }
    void MoveFirst() override;
    void MoveNext() override;
    bool IsEOF() const override { return inner_->IsEOF(); }
    qor::Variant Value(int32_t index) const override { return inner_->Value(index); }
    void Text(int32_t index, std::string& out) const override { inner_->Text(index, out); }

private:
    std::shared_ptr<qor::Recordset> inner_;
    ProgressBar& bar_;
    int64_t rows_ = 0;
};

}  // namespace qortool
