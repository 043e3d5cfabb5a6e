// The functions of libcups the spooler calls, from the library opened on first use.
#pragma once

#include "genlib/SharedLibrary.h"

#include <cups/cups.h>
#include <cups/ppd.h>

namespace qor::spooler {

// One line per function of libcups that the spooler calls.
#define QOR_CUPS_FUNCTIONS(X)                                                                       \
    X(cupsAddOption) X(cupsCancelJob2) X(cupsCreateJob) X(cupsDoRequest) X(cupsEncryption)          \
    X(cupsFinishDocument) X(cupsFreeOptions) X(cupsGetDefault2) X(cupsGetPPD2) X(cupsLastErrorString) \
    X(cupsServer) X(cupsStartDocument) X(cupsUser) X(cupsWriteRequestData)                            \
    X(httpAssembleURIf) X(httpClose) X(httpConnect2) X(httpSetTimeout)                               \
    X(ippAddString) X(ippAddStrings) X(ippDelete) X(ippFindAttribute) X(ippFirstAttribute)           \
    X(ippGetCount) X(ippGetName) X(ippGetRange) X(ippGetStatusCode) X(ippGetString)                  \
    X(ippGetValueTag) X(ippNewRequest) X(ippNextAttribute) X(ippPort)                                \
    X(ppdClose) X(ppdFindAttr) X(ppdFindOption) X(ppdOpenFile)

// The PPD functions are deprecated in CUPS 2.x but remain the way to read a queue's trays.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
struct CupsFunctions {
    QOR_CUPS_FUNCTIONS(QOR_LIBRARY_FUNCTION)
    void Resolve(const genlib::SharedLibrary& library) { QOR_CUPS_FUNCTIONS(QOR_RESOLVE_FUNCTION) }
};
#pragma GCC diagnostic pop

// libcups (libcups.so.2, or the file QORPRINT_LIBCUPS names), opened on the first call.
// Throws RuntimeError(48) naming the file when it cannot be loaded or lacks a function.
inline const CupsFunctions& Cups() {
    return genlib::OpenOnce<CupsFunctions>("libcups.so.2", "QORPRINT_LIBCUPS");
}

}  // namespace qor::spooler
