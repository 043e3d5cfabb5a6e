// Record sets: the rows a report is made of, read one at a time.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <qor/RuntimeError.h>
#include <qor/Variant.h>

namespace qor {

class Recordset;

// One field (column) of a record set. A Field belongs to its record set and stays valid as
// long as the record set lives; it always refers to the record set's current row, so a
// caller may look a field up once and read its Value() on every row.
class Field {
public:
    // The field's name as the record set reports it (the query's column name).
    const std::string& Name() const noexcept { return name_; }
    // Position of the field in the record set, from 0.
    int32_t Index() const noexcept { return index_; }
    // The field's value in the current row (Null for a database NULL). Throws
    // RuntimeError(3021) "No current record." when the record set is at its end.
    Variant Value() const;

private:
    friend class Recordset;
    Field(const Recordset* owner, int32_t index, std::string name)
        : owner_(owner), index_(index), name_(std::move(name)) {}

    const Recordset* owner_;
    int32_t index_;
    std::string name_;
};

// A record set read forward, row by row, in the manner of a DAO Recordset:
//   rs.MoveFirst(); while (!rs.IsEOF()) { Variant v = rs.Fields("amount").Value(); rs.MoveNext(); }
// DAO's EOF property is IsEOF() here (EOF is a macro of <cstdio>). A new record set stands on
// its first row. Fields are found by name without regard to case.
// A record set is used from one thread at a time; it is neither copyable nor movable (its
// Fields refer back to it).
class Recordset {
public:
    Recordset() = default;
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;
    virtual ~Recordset();

    // DAO's RecordCount: 0 when the record set has no rows; otherwise at least 1. A set that
    // reads forward (SqliteRecordset) counts the rows visited so far, so only the test
    // against 0 is reliable before the end is reached; a MemoryRecordset knows all its rows.
    virtual int32_t RecordCount() = 0;
    // Goes back to the first row (reading the rows again where the set reads forward).
    // Throws what the source throws.
    virtual void MoveFirst() = 0;
    // Goes to the next row; after the last one IsEOF() is true. Throws RuntimeError(3021)
    // when already at the end.
    virtual void MoveNext() = 0;
    // True when there is no current row: past the last row, or no rows at all.
    virtual bool IsEOF() const = 0;

    // The field called `name` (any case). Throws RuntimeError(3265) "Item not found in this
    // collection: 'name'" when the record set has no such field.
    Field& Fields(std::string_view name);
    const Field& Fields(std::string_view name) const;
    // The field at `index` (0-based). Throws RuntimeError(3265) when out of range.
    Field& Fields(int32_t index);
    // Number of fields.
    int32_t FieldCount() const noexcept { return static_cast<int32_t>(fields_.size()); }
    // Index of the field called `name` (any case); throws as Fields(name). Resolve a name
    // once and read the row with Value(index) or Text(index, ...) on the fast path.
    int32_t FieldIndex(std::string_view name) const;

    // The value of field `index` in the current row. Throws RuntimeError(3021) at the end,
    // RuntimeError(3265) for an index out of range.
    virtual Variant Value(int32_t index) const = 0;
    // The value of field `index` as text, the way the runtime joins it to "": "" for Null,
    // CStr for everything else (numbers with the thread locale's decimal separator). Writes
    // into `out`, reusing its storage. Throws as Value(index).
    virtual void Text(int32_t index, std::string& out) const;

protected:
    // Declares the fields, in order. Called once by the concrete record set.
    void SetFieldNames(std::vector<std::string> names);
    // Throws RuntimeError(3265) when `index` is not a field index.
    void CheckIndex(int32_t index) const;
    // Throws RuntimeError(3021) "No current record." when IsEOF().
    void CheckCurrent() const;

private:
    std::vector<Field> fields_;
};

// A record set over rows held in memory, given in code: handy for tests and for clients
// whose rows do not come from a database.
//   MemoryRecordset rs({"customer", "amount"}, {{"Acme", 10}, {"Bolt", 20.5}});
class MemoryRecordset final : public Recordset {
public:
    // `rows` are the rows in order, each with one value per name of `fieldNames`.
    // Throws RuntimeError(5) naming the row when a row has another number of values.
    MemoryRecordset(std::vector<std::string> fieldNames, std::vector<std::vector<Variant>> rows);

    // The number of rows (all of them are known).
    int32_t RecordCount() override;
    void MoveFirst() override;
    void MoveNext() override;
    bool IsEOF() const override;
    Variant Value(int32_t index) const override;
    void Text(int32_t index, std::string& out) const override;

private:
    std::vector<std::vector<Variant>> rows_;
    std::size_t position_ = 0;
};

// The text of `value` as the runtime joins it to "": "" for Null and Empty, else CStr.
std::string JoinText(const Variant& value);

}  // namespace qor
