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

install(TARGETS qorprint EXPORT qorPrintLibTargets
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
