# Writes OUTPUT, a C++ source holding each of CATALOGS (.po files) as a table of its translated
# entries. A .po string is a C string already: its pieces are copied as they stand.
function(read_entries po out)
  file(STRINGS ${po} lines ENCODING UTF-8)
  set(entries "")
  set(field "")
  set(id "")
  set(text "")
  list(APPEND lines "")
  foreach(line IN LISTS lines)
    if(line MATCHES "^msgid (\".*\")$")
      set(field id)
      set(id "${CMAKE_MATCH_1}")
    elseif(line MATCHES "^msgstr (\".*\")$")
      set(field text)
      set(text "${CMAKE_MATCH_1}")
    elseif(line MATCHES "^(\".*\")$" AND field)
      set(${field} "${${field}}\n     ${CMAKE_MATCH_1}")
    elseif(field STREQUAL "text")
      # The header has the empty id; an empty text means the id stands as it is.
      if(NOT id STREQUAL "\"\"" AND NOT text STREQUAL "\"\"")
        string(APPEND entries "    {${id},\n     ${text}},\n")
      endif()
      set(field "")
    endif()
  endforeach()
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
file(WRITE ${OUTPUT} "// Generated from the .po catalogs at build time.
#include \"BuiltInCatalogs.h\"

#include <cstring>

namespace {
${tables}} // namespace

std::span<const CatalogEntry> BuiltInCatalogs::Find(const char* name) {
${finds}    return {};
}
")

