// A record set over rows given in code.
#include <qor/Recordset.h>

#include <qor/RuntimeError.h>

namespace qor {

MemoryRecordset::MemoryRecordset(std::vector<std::string> fieldNames,
                                 std::vector<std::vector<Variant>> rows)
    : rows_(std::move(rows)) {
    for (std::size_t r = 0; r < rows_.size(); ++r) {
        if (rows_[r].size() != fieldNames.size())
            throw RuntimeError(kErrInvalidCall, "Row " + std::to_string(r + 1) + " has " +
                                                    std::to_string(rows_[r].size()) +
                                                    " values for " +
                                                    std::to_string(fieldNames.size()) + " fields");
    }
    SetFieldNames(std::move(fieldNames));
}

int32_t MemoryRecordset::RecordCount() { return static_cast<int32_t>(rows_.size()); }

void MemoryRecordset::MoveFirst() { position_ = 0; }

void MemoryRecordset::MoveNext() {
    CheckCurrent();
    ++position_;
}

bool MemoryRecordset::IsEOF() const { return position_ >= rows_.size(); }

Variant MemoryRecordset::Value(int32_t index) const {
    CheckIndex(index);
    CheckCurrent();
    return rows_[position_][static_cast<std::size_t>(index)];
}

void MemoryRecordset::Text(int32_t index, std::string& out) const {
    CheckIndex(index);
    CheckCurrent();
    const Variant& value = rows_[position_][static_cast<std::size_t>(index)];
    if (value.IsString()) {
        out.assign(value.AsString());
    } else {
        out = JoinText(value);
    }
}

}  // namespace qor
