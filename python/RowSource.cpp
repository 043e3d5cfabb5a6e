#include "RowSource.h"

#include "Convert.h"

#include <qor/RuntimeError.h>

namespace qorpy {

namespace {

// DAO's "Invalid operation.": going back on rows that can be read only once.
constexpr int32_t kErrInvalidOperation = 3219;

bool IsMapping(py::handle row) {
    return PyDict_Check(row.ptr()) || (!PySequence_Check(row.ptr()) && PyMapping_Check(row.ptr()));
}

std::vector<std::string> Names(py::handle fields) {
    std::vector<std::string> names;
    for (py::handle f : fields) names.push_back(py::str(f).cast<std::string>());
    return names;
}

}  // namespace

RowSource::RowSource(py::object source, bool cursor, std::size_t blockSize)
    : source_(std::move(source)), cursor_(cursor), blockSize_(blockSize == 0 ? 1 : blockSize) {}

std::shared_ptr<RowSource> RowSource::Make(py::object rows, py::object fields, std::size_t blockSize) {
    const bool cursor = py::hasattr(rows, "fetchmany") && py::hasattr(rows, "description");
    auto set = std::make_shared<RowSource>(rows, cursor, blockSize);
    std::vector<std::string> names;
    if (cursor) {
        py::object description = rows.attr("description");
        if (description.is_none()) {
            // Server-side cursors (psycopg2's named ones) describe their rows after the first fetch.
            set->pending_ = rows.attr("fetchmany")(blockSize);
            description = rows.attr("description");
        }
        if (description.is_none()) throw py::value_error("the cursor has no result set: call execute first");
        for (py::handle column : description) names.push_back(py::str(column[py::int_(0)]).cast<std::string>());
    } else {
        set->restartable_ = !py::iter(rows).is(rows);
        set->iterator_ = py::iter(rows);
        PyObject* first = PyIter_Next(set->iterator_.ptr());
        if (!first && PyErr_Occurred()) throw py::error_already_set();
        set->pending_ = py::reinterpret_steal<py::object>(first);
        set->mappings_ = first && IsMapping(first);
        if (set->mappings_ && fields.is_none()) names = Names(set->pending_.attr("keys")());
        else if (first && fields.is_none())
            throw py::type_error("rows that are sequences need their field names: SetRt(rows, fields)");
    }
    if (!fields.is_none()) names = Names(fields);
    for (const std::string& name : names) set->keys_.push_back(py::str(name));
    set->fieldCount_ = names.size();
    set->SetFieldNames(std::move(names));
    set->Fetch();
    return set;
}

RowSource::~RowSource() {
    if (!Py_IsInitialized()) {
        // The interpreter is gone: its objects may no longer be touched.
        for (py::object* o : {&source_, &iterator_, &pending_}) o->release();
        for (py::object& key : keys_) key.release();
        return;
    }
    py::gil_scoped_acquire gil;
    source_ = py::object();
    iterator_ = py::object();
    pending_ = py::object();
    keys_.clear();
}

void RowSource::Convert(py::handle row, std::size_t at) {
    qor::Variant* out = block_.data() + at * fieldCount_;
    if (mappings_) {
        for (std::size_t f = 0; f < fieldCount_; ++f) {
            py::object value = py::reinterpret_steal<py::object>(PyObject_GetItem(row.ptr(), keys_[f].ptr()));
            if (!value) {
                if (!PyErr_ExceptionMatches(PyExc_KeyError)) throw py::error_already_set();
                PyErr_Clear();
                throw qor::RuntimeError(qor::kErrItemNotFound, "Item not found in this collection: '" +
                                                                   keys_[f].cast<std::string>() + "'");
            }
            if (!ToVariant(value, out[f])) throw py::type_error("no Variant for a value of type " +
                                                                py::str(value.get_type().attr("__name__")).cast<std::string>());
        }
        return;
    }
    py::object sequence = py::reinterpret_steal<py::object>(PySequence_Fast(row.ptr(), "a row must be a sequence or a mapping"));
    if (!sequence) throw py::error_already_set();
    const Py_ssize_t n = PySequence_Fast_GET_SIZE(sequence.ptr());
    if (static_cast<std::size_t>(n) != fieldCount_)
        throw qor::RuntimeError(qor::kErrInvalidCall, "Row " + std::to_string(passed_ + rows_ + 1) + " has " +
                                                          std::to_string(n) + " values for " +
                                                          std::to_string(fieldCount_) + " fields");
    PyObject** items = PySequence_Fast_ITEMS(sequence.ptr());
    for (std::size_t f = 0; f < fieldCount_; ++f) {
        if (!ToVariant(items[f], out[f]))
            throw py::type_error("no Variant for a value of type " + std::string(Py_TYPE(items[f])->tp_name));
    }
}

void RowSource::Fetch() {
    py::gil_scoped_acquire gil;
    rows_ = 0;
    position_ = 0;
    block_.resize(blockSize_ * fieldCount_);
    if (cursor_) {
        py::object batch = pending_ ? std::move(pending_) : source_.attr("fetchmany")(blockSize_);
        pending_ = py::object();
        for (py::handle row : batch) {
            if (rows_ == blockSize_) break;  // a driver that returned more than asked
            Convert(row, rows_);
            ++rows_;
        }
        return;
    }
    if (pending_) {
        Convert(pending_, rows_++);
        pending_ = py::object();
    }
    while (rows_ < blockSize_ && iterator_) {
        PyObject* row = PyIter_Next(iterator_.ptr());
        if (!row) {
            if (PyErr_Occurred()) throw py::error_already_set();
            iterator_ = py::object();
            break;
        }
        py::object owned = py::reinterpret_steal<py::object>(row);
        Convert(owned, rows_);
        ++rows_;
    }
}

void RowSource::Restart() {
    py::gil_scoped_acquire gil;
    iterator_ = py::iter(source_);
    pending_ = py::object();
}

int32_t RowSource::RecordCount() { return IsEOF() ? passed_ : passed_ + 1; }

void RowSource::MoveFirst() {
    if (passed_ == 0) return;
    if (!restartable_)
        throw qor::RuntimeError(kErrInvalidOperation,
                                "Invalid operation: these rows can be read once only, not from the first again");
    passed_ = 0;
    Restart();
    Fetch();
}

void RowSource::MoveNext() {
    CheckCurrent();
    ++passed_;
    if (++position_ == rows_) Fetch();
}

bool RowSource::IsEOF() const { return position_ >= rows_; }

qor::Variant RowSource::Value(int32_t index) const {
    CheckIndex(index);
    CheckCurrent();
    return block_[position_ * fieldCount_ + static_cast<std::size_t>(index)];
}

void RowSource::Text(int32_t index, std::string& out) const {
    CheckIndex(index);
    CheckCurrent();
    const qor::Variant& value = block_[position_ * fieldCount_ + static_cast<std::size_t>(index)];
    if (value.IsString()) out.assign(value.AsString());
    else out = qor::JoinText(value);
}

}  // namespace qorpy
