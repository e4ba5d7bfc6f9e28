# Installation: the shared library with its SONAME, the public header (and
# only that header), a pkg-config file and a CMake package giving the imported
# target ORTH::ORTHMV32.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

target_include_directories(ORTHMV32 INTERFACE
  $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
set_target_properties(ORTHMV32 PROPERTIES PUBLIC_HEADER "${PROJECT_SOURCE_DIR}/include/orth.h")

install(TARGETS ORTHMV32 EXPORT ORTHTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  PUBLIC_HEADER DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})

set(ORTH_CMAKE_DIR "${CMAKE_INSTALL_LIBDIR}/cmake/ORTH")
install(EXPORT ORTHTargets NAMESPACE ORTH:: DESTINATION "${ORTH_CMAKE_DIR}")
configure_package_config_file("${PROJECT_SOURCE_DIR}/cmake/ORTHConfig.cmake.in"
  "${PROJECT_BINARY_DIR}/ORTHConfig.cmake" INSTALL_DESTINATION "${ORTH_CMAKE_DIR}")
write_basic_package_version_file("${PROJECT_BINARY_DIR}/ORTHConfigVersion.cmake"
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES "${PROJECT_BINARY_DIR}/ORTHConfig.cmake" "${PROJECT_BINARY_DIR}/ORTHConfigVersion.cmake"
  DESTINATION "${ORTH_CMAKE_DIR}")

file(RELATIVE_PATH ORTH_PC_PREFIX_FROM_PCDIR "${CMAKE_INSTALL_FULL_LIBDIR}/pkgconfig"
     "${CMAKE_INSTALL_PREFIX}")
string(REGEX REPLACE "/$" "" ORTH_PC_PREFIX_FROM_PCDIR "${ORTH_PC_PREFIX_FROM_PCDIR}")
configure_file("${PROJECT_SOURCE_DIR}/cmake/orth.pc.in" "${PROJECT_BINARY_DIR}/orth.pc" @ONLY)
install(FILES "${PROJECT_BINARY_DIR}/orth.pc" DESTINATION "${CMAKE_INSTALL_LIBDIR}/pkgconfig")
