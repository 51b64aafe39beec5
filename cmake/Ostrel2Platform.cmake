# How the shared libraries export their entry points on each platform.
#
# Linux and other ELF systems: hidden visibility everywhere, a version script that keeps the
# dynamic symbol table to the library's own names, and a versioned file name and SONAME
# (libOstrel2.so.1 -> libOstrel2.so.1.0.0). Windows: the module-definition file gives each export
# its undecorated name and fixed ordinal; the language runtime is linked in statically so that the
# DLL needs nothing but system DLLs.
function(ostrel2_version_file_name target)
  set_target_properties(${target} PROPERTIES VERSION ${PROJECT_VERSION}
    SOVERSION ${PROJECT_VERSION_MAJOR})
endfunction()

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
    ostrel2_version_file_name(${target})
  endif()
endfunction()

# The C companion library of decimal text: its ostrel2_text_* functions and nothing else.
function(ostrel2_configure_text_exports target)
  if(WIN32)
    if(MINGW)
      target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++)
    endif()
  else()
    set(script ${PROJECT_SOURCE_DIR}/text/ostrel2_text.map)
    target_link_options(${target} PRIVATE -Wl,--version-script=${script} -Wl,--no-undefined)
    set_target_properties(${target} PROPERTIES LINK_DEPENDS ${script})
    ostrel2_version_file_name(${target})
  endif()
endfunction()
