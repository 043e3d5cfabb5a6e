// The functions of libxlsxwriter that saving a workbook calls, from the library opened on
// first use.
#pragma once

#include "genlib/SharedLibrary.h"

#include <xlsxwriter.h>

namespace qor::excel {

// One line per function of libxlsxwriter that the workbook writer calls.
#define QOR_XLSX_FUNCTIONS(X)                                                                      \
    X(workbook_new_opt) X(workbook_add_worksheet) X(workbook_add_format) X(workbook_close)          \
    X(lxw_workbook_free) X(lxw_strerror)                                                            \
    X(worksheet_set_column) X(worksheet_write_blank) X(worksheet_write_boolean)                     \
    X(worksheet_write_formula) X(worksheet_write_formula_num) X(worksheet_write_number)             \
    X(worksheet_write_string)                                                                       \
    X(format_set_align) X(format_set_bg_color) X(format_set_bold) X(format_set_border)              \
    X(format_set_border_color) X(format_set_font_color) X(format_set_font_name)                     \
    X(format_set_font_size) X(format_set_font_strikeout) X(format_set_italic)                       \
    X(format_set_num_format) X(format_set_pattern) X(format_set_underline)

struct XlsxFunctions {
    QOR_XLSX_FUNCTIONS(QOR_LIBRARY_FUNCTION)
    void Resolve(const genlib::SharedLibrary& library) { QOR_XLSX_FUNCTIONS(QOR_RESOLVE_FUNCTION) }
};

// libxlsxwriter (libxlsxwriter.so.4, or the file QORPRINT_LIBXLSXWRITER names), opened on
// the first call. Throws RuntimeError(48) naming the file when it cannot be loaded or lacks
// a function.
inline const XlsxFunctions& Xlsx() {
    return genlib::OpenOnce<XlsxFunctions>("libxlsxwriter.so.4", "QORPRINT_LIBXLSXWRITER");
}

}  // namespace qor::excel
