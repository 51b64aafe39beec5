# How the shared library exports its entry points on each platform.
#
# Linux and other ELF systems: hidden visibility everywhere, and a version script that keeps the
# dynamic symbol table to the _XL names. Windows: the module-definition file gives each export its
# undecorated name and fixed ordinal; the language runtime is linked in statically so that the
# DLL needs nothing but system DLLs.
function(ostrel2_configure_exports target)
  if(WIN32)
    target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/api/Ostrel2.def)
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
