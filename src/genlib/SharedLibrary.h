// Outside libraries that the library opens the first time one of their functions is needed
// (libcups, libxlsxwriter, libodbc), so that a process that never prints, never saves a
// workbook and never reads through ODBC never maps them or what they depend on.
//
// Each such library has a table of function pointers, declared from the library's own
// headers by an X-macro list of function names:
//
//   #define QOR_CUPS_FUNCTIONS(X) X(cupsServer) X(ippPort) ...
//   struct CupsFunctions {
//       QOR_CUPS_FUNCTIONS(QOR_LIBRARY_FUNCTION)
//       void Resolve(const genlib::SharedLibrary& library) { QOR_CUPS_FUNCTIONS(QOR_RESOLVE_FUNCTION) }
//   };
//   const CupsFunctions& Cups() { return genlib::OpenOnce<CupsFunctions>("libcups.so.2", "QORPRINT_LIBCUPS"); }
#pragma once

#include <mutex>
#include <string>

#include <qor/RuntimeError.h>

// A member of a function table: a pointer of the type of the real function.
#define QOR_LIBRARY_FUNCTION(name) decltype(&::name) name = nullptr;
// Fills that member from `library` (in a table's Resolve member).
#define QOR_RESOLVE_FUNCTION(name) library.Resolve(this->name, #name);

namespace qor::genlib {

// An outside library opened with dlopen. It stays loaded for the life of the process once a
// table was filled from it; a library that failed to resolve is closed again.
class SharedLibrary {
public:
    // Opens the file that the environment variable `overrideVariable` names when it is set
    // and not empty, else `soname` through the dynamic linker's search path. Throws
    // RuntimeError(48) naming the file when it cannot be opened.
    SharedLibrary(const char* soname, const char* overrideVariable);
    ~SharedLibrary();
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;

    // The address of the function `name`. Throws RuntimeError(48) naming the file and the
    // function when the library lacks it.
    void* Symbol(const char* name) const;

    template <class Function>
    void Resolve(Function& slot, const char* name) const {
        slot = reinterpret_cast<Function>(Symbol(name));
    }

    // Keeps the library loaded after this object is gone.
    void Keep() { keep_ = true; }

private:
    void* handle_ = nullptr;
    std::string file_;
    bool keep_ = false;
};

// The table `Table` filled from the library `soname` (see SharedLibrary) the first time it is
// asked for, once per process and safe from several threads. Throws RuntimeError(48) naming
// the file, and the function when one is missing, on this and every later call when the
// library could not be opened or lacks one of the table's functions.
template <class Table>
const Table& OpenOnce(const char* soname, const char* overrideVariable) {
    struct Loaded {
        Table functions;
        std::string error;  // "" once loaded
    };
    static std::once_flag once;
    static Loaded loaded;
    std::call_once(once, [&] {
        try {
            SharedLibrary library(soname, overrideVariable);
            loaded.functions.Resolve(library);
            library.Keep();
        } catch (const RuntimeError& e) {
            loaded.functions = Table{};
            loaded.error = e.what();
        }
    });
    if (!loaded.error.empty()) throw RuntimeError(kErrLoadingLibrary, loaded.error);
    return loaded.functions;
}

}  // namespace qor::genlib
