# Writes OUTPUT, a C++ source holding each of CATALOGS ("|"-separated .po files) as a table of
# its translated entries. A .po string is a C string already: its pieces are copied as they are.
cmake_minimum_required(VERSION 3.25)

# The entry read so far, when it is translated; the header has the empty id.
macro(flush_entry)
  if(NOT id STREQUAL "" AND NOT id STREQUAL "\"\"" AND NOT text STREQUAL "\"\"")
    string(APPEND entries "    {${id},\n     ${text}},\n")
  endif()
  set(id "")
  set(text "")
endmacro()

function(read_entries po out)
  file(READ ${po} content)
  # Brackets and semicolons would bend CMake's lists: they travel as placeholders.
  string(REPLACE "[" "<lb>" content "${content}")
  string(REPLACE "]" "<rb>" content "${content}")
  string(REPLACE ";" "<sc>" content "${content}")
  string(REPLACE "\n" ";" lines "${content}")
  set(entries "")
  set(field "")
  set(id "")
  set(text "")
  foreach(line IN LISTS lines)
    if(line MATCHES "^msgid (\".*\")$")
      flush_entry()
      set(field id)
      set(id "${CMAKE_MATCH_1}")
    elseif(line MATCHES "^msgstr (\".*\")$")
      set(field text)
      set(text "${CMAKE_MATCH_1}")
    elseif(line MATCHES "^(\".*\")$" AND NOT field STREQUAL "")
      set(${field} "${${field}}\n     ${CMAKE_MATCH_1}")
    else()
      set(field "")
    endif()
  endforeach()
  flush_entry()
  set(${out} "${entries}" PARENT_SCOPE)
endfunction()

set(tables "")
set(finds "")
string(REPLACE "|" ";" CATALOGS "${CATALOGS}")
foreach(po IN LISTS CATALOGS)
  get_filename_component(name ${po} NAME_WE)
  read_entries(${po} entries)
  string(APPEND tables "constexpr CatalogEntry k_${name}[] = {\n${entries}};\n")
  string(APPEND finds "    if (std::strcmp(name, \"${name}\") == 0) {\n        return k_${name};\n    }\n")
endforeach()
set(source "// Generated from the .po catalogs at build time.
#include \"BuiltInCatalogs.h\"

#include <cstring>

namespace {
${tables}} // namespace

std::span<const CatalogEntry> BuiltInCatalogs::Find(const char* name) {
${finds}    return {};
}
")
string(REPLACE "<lb>" "[" source "${source}")
string(REPLACE "<rb>" "]" source "${source}")
string(REPLACE "<sc>" ";" source "${source}")
file(WRITE ${OUTPUT} "${source}")
