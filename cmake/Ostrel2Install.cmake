# What `cmake --install` puts in place: the headers, the two shared libraries, a CMake package
# (find_package(Ostrel2) -> Ostrel2::Ostrel2 and Ostrel2::Text), pkg-config files (ostrel2,
# ostrel2-text) and the licence.
include(CMakePackageConfigHelpers)

set(OSTREL2_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Ostrel2)

install(TARGETS Ostrel2 Ostrel2Text EXPORT Ostrel2Targets
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(FILES ${PROJECT_SOURCE_DIR}/include/ostrel2.h ${PROJECT_SOURCE_DIR}/include/ostrel2_text.h
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(EXPORT Ostrel2Targets NAMESPACE Ostrel2:: DESTINATION ${OSTREL2_CMAKE_DIR})

configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/Ostrel2Config.cmake.in
  ${PROJECT_BINARY_DIR}/Ostrel2Config.cmake INSTALL_DESTINATION ${OSTREL2_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/Ostrel2ConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/Ostrel2Config.cmake ${PROJECT_BINARY_DIR}/Ostrel2ConfigVersion.cmake
  DESTINATION ${OSTREL2_CMAKE_DIR})

# pkg-config files. The directories are written relative to the prefix the files are found in,
# so an installed tree can be moved.
file(RELATIVE_PATH OSTREL2_PC_TO_PREFIX /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
string(REGEX REPLACE "/$" "" OSTREL2_PC_TO_PREFIX "${OSTREL2_PC_TO_PREFIX}")
foreach(name ostrel2 ostrel2-text)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/${name}.pc.in ${PROJECT_BINARY_DIR}/${name}.pc @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/${name}.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
endforeach()

install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR})
