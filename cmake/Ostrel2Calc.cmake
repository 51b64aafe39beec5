# The LibreOffice Calc extension: `cmake --build <build> --target ostrel2_calc` writes
# <build>/ostrel2.oxt (bindings/calc/build_extension.py). It is built only when asked for, so a
# build without LibreOffice never fails for lack of it; the tools are looked for here, and when
# one is missing the target says which and how to install it. Not offered when Ostrel2 is built
# inside another project, for another system, or with sanitizers (whose libraries LibreOffice's
# process cannot load).
if(NOT OSTREL2_TOP_LEVEL OR NOT CMAKE_SYSTEM_NAME STREQUAL "Linux" OR CMAKE_CROSSCOMPILING
   OR OSTREL2_SANITIZE)
  return()
endif()
find_package(Python3 COMPONENTS Interpreter)
if(NOT Python3_Interpreter_FOUND)
  return()
endif()

# unoidl-write and LibreOffice's own type libraries (Debian: libreoffice-dev, and LibreOffice).
set(OSTREL2_LIBREOFFICE_DIR "/usr/lib/libreoffice" CACHE PATH "LibreOffice's installation folder")
find_program(OSTREL2_UNOIDL_WRITE unoidl-write
  HINTS ${OSTREL2_LIBREOFFICE_DIR}/sdk/bin ${OSTREL2_LIBREOFFICE_DIR}/program)
find_file(OSTREL2_UNO_TYPES types.rdb HINTS ${OSTREL2_LIBREOFFICE_DIR}/program NO_DEFAULT_PATH)
find_file(OSTREL2_UNO_OFFAPI offapi.rdb HINTS ${OSTREL2_LIBREOFFICE_DIR}/program/types NO_DEFAULT_PATH)

# The extension's platform, so that LibreOffice refuses it on a processor its libraries do not run on.
set(OSTREL2_CALC_PLATFORM "")
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64)$" AND CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(OSTREL2_CALC_PLATFORM linux_x86_64)
elseif(CMAKE_SYSTEM_PROCESSOR MATCHES "^(i.86|x86|x86_64)$")
  set(OSTREL2_CALC_PLATFORM linux_x86)
elseif(CMAKE_SYSTEM_PROCESSOR MATCHES "^(aarch64|arm64)$")
  set(OSTREL2_CALC_PLATFORM linux_aarch64)
endif()

set(OSTREL2_CALC_DIR ${PROJECT_SOURCE_DIR}/bindings/calc)
set(OSTREL2_CALC_OUTPUT ${PROJECT_BINARY_DIR}/ostrel2.oxt)
if(OSTREL2_UNOIDL_WRITE AND OSTREL2_UNO_TYPES AND OSTREL2_UNO_OFFAPI)
  file(GLOB_RECURSE OSTREL2_CALC_SOURCES CONFIGURE_DEPENDS ${OSTREL2_CALC_DIR}/*.py
    ${PROJECT_SOURCE_DIR}/python/ostrel2/*.py)
  add_custom_command(OUTPUT ${OSTREL2_CALC_OUTPUT}
    COMMAND ${Python3_EXECUTABLE} ${OSTREL2_CALC_DIR}/build_extension.py
      --output ${OSTREL2_CALC_OUTPUT} --work ${PROJECT_BINARY_DIR}/calc-extension
      --version ${PROJECT_VERSION} --platform "${OSTREL2_CALC_PLATFORM}"
      --unoidl-write ${OSTREL2_UNOIDL_WRITE} --types ${OSTREL2_UNO_TYPES} ${OSTREL2_UNO_OFFAPI}
      --library $<TARGET_SONAME_FILE:Ostrel2> --library $<TARGET_SONAME_FILE:Ostrel2Text>
    DEPENDS ${OSTREL2_CALC_SOURCES} ${PROJECT_SOURCE_DIR}/LICENSE Ostrel2 Ostrel2Text
    COMMENT "Writing the Calc extension ostrel2.oxt"
    VERBATIM)
  add_custom_target(ostrel2_calc DEPENDS ${OSTREL2_CALC_OUTPUT})
else()
  add_custom_target(ostrel2_calc
    COMMAND ${CMAKE_COMMAND} -E echo "ostrel2_calc needs unoidl-write and LibreOffice's type libraries (types.rdb, types/offapi.rdb) under ${OSTREL2_LIBREOFFICE_DIR}: apt-get install libreoffice-calc-nogui libreoffice-dev, then configure again"
    COMMAND ${CMAKE_COMMAND} -E false
    VERBATIM)
endif()
