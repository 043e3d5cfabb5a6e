// Outside libraries opened on first use: a table of typed function pointers, filled once,
// and error 48 naming the file (and the function) when that fails.
#include <gtest/gtest.h>

#include <zlib.h>

#include <string>
#include <vector>

#include "genlib/SharedLibrary.h"
#include "support/Errors.h"

namespace qor {
namespace {

#define QOR_TEST_ZLIB_FUNCTIONS(X) X(zlibVersion) X(crc32)

// One table type per case: each type is opened once per process.
template <int Case>
struct Zlib {
    QOR_TEST_ZLIB_FUNCTIONS(QOR_LIBRARY_FUNCTION)
    decltype(&::zlibVersion) absent = nullptr;
    void Resolve(const genlib::SharedLibrary& library) {
        QOR_TEST_ZLIB_FUNCTIONS(QOR_RESOLVE_FUNCTION)
        if (Case == 3) library.Resolve(absent, "qorNoSuchFunction");
    }
};

TEST(SharedLibrary, TableCallsTheLibraryAndIsFilledOnce) {
    const Zlib<0>& zlib = genlib::OpenOnce<Zlib<0>>("libz.so.1", "QOR_TEST_LIBZ_UNSET");
    EXPECT_STREQ(zlib.zlibVersion(), ZLIB_VERSION);
    const char* text = "abc";
    EXPECT_EQ(zlib.crc32(0, reinterpret_cast<const Bytef*>(text), 3), 0x352441C2u);
    EXPECT_EQ(&genlib::OpenOnce<Zlib<0>>("libz.so.1", "QOR_TEST_LIBZ_UNSET"), &zlib);
}

TEST(SharedLibrary, FailuresRaise48NamingTheFileAndStayFailed) {
    setenv("QOR_TEST_LIBZ_MISSING", "/nonexistent/libz-moved.so.1", 1);
    struct Case {
        const char* what;
        void (*open)();
        std::vector<std::string> named;
    };
    const Case cases[] = {
        {"soname not found", [] { genlib::OpenOnce<Zlib<1>>("libqor-no-such.so.9", "QOR_TEST_LIBZ_UNSET"); },
         {"libqor-no-such.so.9"}},
        {"override names a missing file", [] { genlib::OpenOnce<Zlib<2>>("libz.so.1", "QOR_TEST_LIBZ_MISSING"); },
         {"/nonexistent/libz-moved.so.1"}},
        {"function missing", [] { genlib::OpenOnce<Zlib<3>>("libz.so.1", "QOR_TEST_LIBZ_UNSET"); },
         {"libz.so.1", "qorNoSuchFunction"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string first = test::ExpectRuntimeError(kErrLoadingLibrary, c.open);
        EXPECT_EQ(first.rfind("Error in loading DLL: ", 0), 0u) << first;
        for (const std::string& name : c.named) EXPECT_NE(first.find(name), std::string::npos) << first;
        EXPECT_EQ(test::ExpectRuntimeError(kErrLoadingLibrary, c.open), first);
    }
    unsetenv("QOR_TEST_LIBZ_MISSING");
}

}  // namespace
}  // namespace qor
