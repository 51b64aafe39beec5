# How the shared library exports its entry points on each platform.
#
# Linux and other ELF systems: hidden visibility everywhere, and a version script that keeps the
# dynamic symbol table to the _XL names. Windows: the module-definition file gives each export its
# undecorated name and fixed ordinal; the language runtime is linked in statically so that the
# DLL needs nothing but system DLLs. The module-definition file is written from the export table
# into the build folder on every platform (OSTREL2_DEF_FILE), where the export checks read it.
include(${CMAKE_CURRENT_LIST_DIR}/Ostrel2ExportTable.cmake)

function(ostrel2_configure_exports target)
  set(def_file ${PROJECT_BINARY_DIR}/Ostrel2.def)
  ostrel2_write_module_definition(${PROJECT_SOURCE_DIR}/api/export_table.h ${def_file})
  set(OSTREL2_DEF_FILE ${def_file} PARENT_SCOPE)
  if(WIN32)
    target_sources(${target} PRIVATE ${def_file})
    set_target_properties(${target} PROPERTIES PREFIX "" OUTPUT_NAME Ostrel2)
    if(MINGW)
      target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++
        -Wl,--enable-stdcall-fixup)
    endif()
  else()
    set(script ${PROJECT_SOURCE_DIR}/api/exports.map)
    target_link_options(${target} PRIVATE -Wl,--version-script=${script} -Wl,--no-undefined)
    set_target_properties(${target} PROPERTIES LINK_DEPENDS ${script})
  endif()
endfunction()
