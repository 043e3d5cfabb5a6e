# Outside libraries, found once for every subsystem.
find_package(PkgConfig REQUIRED)
find_package(Qt6 REQUIRED COMPONENTS Core Gui Widgets Test)
find_package(ZLIB REQUIRED)
pkg_check_modules(HARFBUZZ REQUIRED IMPORTED_TARGET harfbuzz harfbuzz-subset)
pkg_check_modules(FONTCONFIG REQUIRED IMPORTED_TARGET fontconfig)
pkg_check_modules(FREETYPE REQUIRED IMPORTED_TARGET freetype2)
pkg_check_modules(LIBDEFLATE IMPORTED_TARGET libdeflate)
find_package(SQLite3 REQUIRED)
# Printing (libcups), saving workbooks (libxlsxwriter) and record sets over any database with
# an ODBC driver (unixODBC's driver manager): the library compiles against their headers and
# opens them with dlopen on first use, so it does not link them. Tests and benchmarks that
# call them directly link them themselves.
find_package(Cups REQUIRED)
pkg_check_modules(XLSXWRITER REQUIRED IMPORTED_TARGET xlsxwriter)
pkg_check_modules(ODBC REQUIRED IMPORTED_TARGET odbc)
set(CMAKE_AUTOMOC ON)
set(CMAKE_AUTORCC ON)
