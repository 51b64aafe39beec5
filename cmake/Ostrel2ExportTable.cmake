# Reads the export table (api/export_table.h) for the build: the exports' names and ordinals,
# and the module-definition file of the Windows DLL written from them. The table keeps one row
# per line, ROW(ordinal, name, ...), which is what is read here.

# ostrel2_read_export_table(<table> <names-var> <ordinals-var>): the rows in table order.
# Editing the table reconfigures the build.
function(ostrel2_read_export_table table names_var ordinals_var)
  # Read whole: the rows end in the backslashes of the macro, which a list of lines would take
  # for escapes.
  file(READ ${table} text)
  string(REGEX MATCHALL "ROW\\([ \t]*[0-9]+[ \t]*,[ \t]*[A-Za-z0-9_]+" rows "${text}")
  set(names "")
  set(ordinals "")
  foreach(row ${rows})
    string(REGEX MATCH "ROW\\([ \t]*([0-9]+)[ \t]*,[ \t]*([A-Za-z0-9_]+)" _ "${row}")
    list(APPEND ordinals ${CMAKE_MATCH_1})
    list(APPEND names ${CMAKE_MATCH_2})
  endforeach()
  if(NOT names)
    message(FATAL_ERROR "no rows in ${table}")
  endif()
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${table})
  set(${names_var} ${names} PARENT_SCOPE)
  set(${ordinals_var} ${ordinals} PARENT_SCOPE)
endfunction()

# ostrel2_write_module_definition(<table> <def-file>): "LIBRARY Ostrel2", then each export
# by name at its ordinal. The file is rewritten only when its text changes.
function(ostrel2_write_module_definition table def_file)
  ostrel2_read_export_table(${table} names ordinals)
  set(text "; Written from api/export_table.h at configure time; edit the table, not this file.\n")
  string(APPEND text "LIBRARY Ostrel2\nEXPORTS\n")
  foreach(name ordinal IN ZIP_LISTS names ordinals)
    string(APPEND text "  ${name} @${ordinal}\n")
  endforeach()
  file(CONFIGURE OUTPUT ${def_file} CONTENT "${text}" @ONLY)
endfunction()
