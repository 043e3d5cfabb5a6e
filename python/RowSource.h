// A qor::Recordset over Python rows: a DB-API 2.0 cursor after execute, or any iterable of
// mappings or sequences.
#pragma once

#include "Convert.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include <qor/Recordset.h>

namespace qorpy {

namespace py = pybind11;

// Rows arrive in blocks: a cursor's fetchmany(blockSize), or blockSize rows pulled from an
// iterator. Each block is converted to Variants while the GIL is held, and the report then
// reads the block without it, so only one block of rows is ever held, in C++ or in Python.
// The GIL is taken only to fetch a block (and to release the Python objects at the end).
//
// A Python exception raised while fetching (a lost connection, a generator that fails)
// propagates unchanged out of the call that read the rows.
class RowSource final : public qor::Recordset {
public:
    // `rows`: an executed cursor (it has `description` and `fetchmany`), or an iterable.
    // `fields`: the field names; None takes them from a cursor's description or from the
    // keys of the first mapping row. Throws TypeError when sequence rows come without field
    // names, ValueError for a cursor that has no result set. Stands on the first row.
    // Called with the GIL held.
    static std::shared_ptr<RowSource> Make(py::object rows, py::object fields, std::size_t blockSize);
    ~RowSource() override;

    int32_t RecordCount() override;
    // Stays on the first row when nothing has been read past it; starts again when the rows
    // came from a collection that can be iterated anew (a list, a tuple); otherwise throws
    // RuntimeError(3219): a cursor or a generator is read once.
    void MoveFirst() override;
    void MoveNext() override;
    bool IsEOF() const override;
    qor::Variant Value(int32_t index) const override;
    void Text(int32_t index, std::string& out) const override;

    RowSource(py::object source, bool cursor, std::size_t blockSize);

private:
    void Restart();
    // Replaces the block by the next rows; an empty block is the end.
    void Fetch();
    void Convert(py::handle row, std::size_t at);

    py::object source_;    // the cursor or the iterable as given
    py::object iterator_;  // over the iterable's rows
    std::vector<py::object> keys_;  // field names as Python strings, for mapping rows
    bool cursor_;
    bool mappings_ = false;
    bool restartable_ = false;
    std::size_t blockSize_;
    std::size_t fieldCount_ = 0;
    std::vector<qor::Variant> block_;  // rows x fields
    std::size_t rows_ = 0;             // rows in the block
    std::size_t position_ = 0;         // current row in the block
    py::object pending_;               // a row or a cursor's block read ahead for the field names
    int32_t passed_ = 0;               // rows moved past since the first
};

}  // namespace qorpy
