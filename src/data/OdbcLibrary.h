// The functions of unixODBC's driver manager that the ODBC record set calls, from the
// library opened on first use.
#pragma once

#include "genlib/SharedLibrary.h"

#include <sql.h>
#include <sqlext.h>
#include <sqlucode.h>

namespace qor::odbc {

// One line per function of the driver manager that the record set calls.
#define QOR_ODBC_FUNCTIONS(X)                                                                      \
    X(SQLAllocHandle) X(SQLFreeHandle) X(SQLSetEnvAttr) X(SQLDrivers) X(SQLDriverConnectW)         \
    X(SQLDisconnect) X(SQLGetInfo) X(SQLGetDiagRecW)                                               \
    X(SQLPrepareW) X(SQLNumParams) X(SQLBindParameter) X(SQLNumResultCols) X(SQLDescribeColW)      \
    X(SQLSetStmtAttr) X(SQLBindCol) X(SQLExecute) X(SQLFetch) X(SQLGetData) X(SQLCloseCursor)

struct OdbcFunctions {
    QOR_ODBC_FUNCTIONS(QOR_LIBRARY_FUNCTION)
    void Resolve(const genlib::SharedLibrary& library) { QOR_ODBC_FUNCTIONS(QOR_RESOLVE_FUNCTION) }
};

// The driver manager (libodbc.so.2, or the file QORPRINT_LIBODBC names), opened on the
// first call. Throws RuntimeError(48) naming the file when it cannot be loaded or lacks a
// function.
inline const OdbcFunctions& Odbc() { return genlib::OpenOnce<OdbcFunctions>("libodbc.so.2", "QORPRINT_LIBODBC"); }

}  // namespace qor::odbc
