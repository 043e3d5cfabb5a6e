# The shared library libqorprint: every subsystem bundled whole, plus install
# rules, a CMake package config and a pkg-config file.
get_property(_qor_subs GLOBAL PROPERTY QOR_SUBSYSTEM_TARGETS)
add_library(qorprint SHARED src/LibraryInit.cpp)
add_library(qorPrintLib::qorprint ALIAS qorprint)
set_target_properties(qorprint PROPERTIES VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR})
target_include_directories(qorprint PUBLIC
  $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}/include>
  $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
# The shared library holds every object file of every subsystem; linking the archives
# too brings their outside dependencies (the objects already define every symbol, so no
# archive member is pulled in twice).
foreach(_sub IN LISTS _qor_subs)
  target_sources(qorprint PRIVATE $<TARGET_OBJECTS:${_sub}>)
endforeach()
target_link_libraries(qorprint PRIVATE ${_qor_subs})

# The window part libqorprint-gui: every window, screen painting, rich text and picture
# decoding, over Qt's GUI and Widgets libraries. libqorprint opens it (from its own folder)
# the first time one of them is needed, so a program that only writes PDFs, prints or runs
# reports never loads Qt's GUI libraries. Programs that show windows may also link it.
get_property(_qor_window GLOBAL PROPERTY QOR_WINDOW_TARGETS)
add_library(qorprint_gui SHARED $<TARGET_OBJECTS:qor_gui>)
foreach(_part IN LISTS _qor_window)
  target_sources(qorprint_gui PRIVATE $<TARGET_OBJECTS:${_part}>)
endforeach()
set_target_properties(qorprint_gui PROPERTIES OUTPUT_NAME qorprint-gui
  VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR})
target_include_directories(qorprint_gui PUBLIC
  $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}/include>
  $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
target_link_libraries(qorprint_gui PUBLIC qorprint PRIVATE Qt6::Widgets Qt6::Gui Qt6::Core
  PkgConfig::HARFBUZZ PkgConfig::FONTCONFIG PkgConfig::FREETYPE)
# The objects of libqorprint must never be linked into the window part a second time.
target_link_options(qorprint_gui PRIVATE -Wl,--no-undefined)

install(TARGETS qorprint qorprint_gui EXPORT qorPrintLibTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY include/qor DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(EXPORT qorPrintLibTargets NAMESPACE qorPrintLib:: DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/qorPrintLib)

include(CMakePackageConfigHelpers)
configure_package_config_file(cmake/qorPrintLibConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/qorPrintLibConfig.cmake
  INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/qorPrintLib)
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/qorPrintLibConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/qorPrintLibConfig.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/qorPrintLibConfigVersion.cmake
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/qorPrintLib)
# The pkg-config file finds the installation from its own folder, so that it works wherever
# `cmake --install --prefix P` puts it.
file(RELATIVE_PATH QOR_PC_TO_PREFIX "/prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "/prefix")
string(REGEX REPLACE "/$" "" QOR_PC_TO_PREFIX "${QOR_PC_TO_PREFIX}")
configure_file(cmake/qorprint.pc.in ${CMAKE_CURRENT_BINARY_DIR}/qorprint.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/qorprint.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
