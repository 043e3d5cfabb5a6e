// Fields of a record set, found by name without regard to case.
#include <qor/Recordset.h>

#include <qor/RuntimeError.h>

namespace qor {

namespace {

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

}  // namespace

std::string JoinText(const Variant& value) {
    if (value.IsNull() || value.IsEmpty()) return {};
    return value.ToString();
}

Variant Field::Value() const { return owner_->Value(index_); }

Recordset::~Recordset() = default;

void Recordset::SetFieldNames(std::vector<std::string> names) {
    fields_.clear();
    fields_.reserve(names.size());
    for (std::size_t i = 0; i < names.size(); ++i)
        fields_.push_back(Field(this, static_cast<int32_t>(i), std::move(names[i])));
}

int32_t Recordset::FieldIndex(std::string_view name) const {
    for (const Field& field : fields_) {
        if (SameName(field.Name(), name)) return field.Index();
    }
    throw RuntimeError(kErrItemNotFound,
                       "Item not found in this collection: '" + std::string(name) + "'");
}

Field& Recordset::Fields(std::string_view name) { return fields_[static_cast<std::size_t>(FieldIndex(name))]; }

const Field& Recordset::Fields(std::string_view name) const {
    return fields_[static_cast<std::size_t>(FieldIndex(name))];
}

Field& Recordset::Fields(int32_t index) {
    CheckIndex(index);
    return fields_[static_cast<std::size_t>(index)];
}

void Recordset::CheckIndex(int32_t index) const {
    if (index < 0 || index >= FieldCount())
        throw RuntimeError(kErrItemNotFound,
                           "Item not found in this collection: field " + std::to_string(index));
}

void Recordset::CheckCurrent() const {
    if (IsEOF()) throw RuntimeError(kErrNoCurrentRecord, "No current record.");
}

void Recordset::Text(int32_t index, std::string& out) const { out = JoinText(Value(index)); }

}  // namespace qor
