# Generates a C++ header carrying a resource script's REGISTRY resources and
# string table, for builds that have no resource compiler (Linux).
#   cmake -DRC=<file.rc> -DHEADER=<resource.h> -DOUT=<generated.h> -P EmbedResources.cmake
file(STRINGS ${HEADER} define_lines REGEX "^#define[ \t]+[A-Z_0-9]+[ \t]+[0-9]+")
foreach(line IN LISTS define_lines)
  string(REGEX MATCH "^#define[ \t]+([A-Z_0-9]+)[ \t]+([0-9]+)" _ "${line}")
  set(id_${CMAKE_MATCH_1} ${CMAKE_MATCH_2})
endforeach()

get_filename_component(rc_dir ${RC} DIRECTORY)
file(STRINGS ${RC} rc_lines)
set(scripts "")
set(strings "")
set(in_table FALSE)
foreach(line IN LISTS rc_lines)
  if(line MATCHES "^[ \t]*([A-Z_0-9]+)[ \t]+REGISTRY[ \t]+\"([^\"]+)\"")
    set(id ${id_${CMAKE_MATCH_1}})
    file(READ ${rc_dir}/${CMAKE_MATCH_2} text)
    string(APPEND scripts "    {${id}, LR\"rgs(${text})rgs\"},\n")
  elseif(line MATCHES "^[ \t]*STRINGTABLE")
    set(in_table TRUE)
  elseif(in_table AND line MATCHES "^[ \t]*END")
    set(in_table FALSE)
  elseif(in_table AND line MATCHES "^[ \t]*([A-Z_0-9]+)[ \t]+(\"[^\"]*\")")
    set(id ${id_${CMAKE_MATCH_1}})
    string(APPEND strings "    {${id}, L${CMAKE_MATCH_2}},\n")
  endif()
endforeach()

file(WRITE ${OUT}.tmp "// Generated from ${RC}; do not edit.
#pragma once

struct KitResourceEntry {
  UINT id;
  const wchar_t *text;
};

inline const KitResourceEntry kRegistryScripts[] = {
${scripts}};

inline const KitResourceEntry kStringTable[] = {
${strings}};
")
execute_process(COMMAND ${CMAKE_COMMAND} -E copy_if_different ${OUT}.tmp ${OUT})
file(REMOVE ${OUT}.tmp)
