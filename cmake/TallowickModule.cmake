# tallowick_add_com_module(<target> DEF <file.def> [LINUX_EXPORTS sym...] SOURCES src...)
#
# A COM in-process server module. Its exports are the names listed after
# EXPORTS in the .def file: on Windows the .def file itself, on Linux a
# version script generated from it (everything else stays hidden). On Linux
# the module links the platform and, when it defines DllMain, the glue that
# runs DllMain on load and unload.
function(tallowick_add_com_module target)
  cmake_parse_arguments(ARG "DLLMAIN" "DEF;OUTPUT_NAME" "SOURCES;LINUX_EXPORTS" ${ARGN})
  add_library(${target} SHARED ${ARG_SOURCES})
  if(ARG_OUTPUT_NAME)
    set_target_properties(${target} PROPERTIES OUTPUT_NAME ${ARG_OUTPUT_NAME})
  endif()
  if(WIN32)
    target_sources(${target} PRIVATE ${ARG_DEF})
    set_target_properties(${target} PROPERTIES PREFIX "")
    target_link_libraries(${target} PRIVATE ole32 oleaut32 uuid advapi32 user32)
    target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++)
    return()
  endif()

  file(STRINGS ${ARG_DEF} def_lines)
  set(in_exports FALSE)
  set(symbols ${ARG_LINUX_EXPORTS})
  foreach(line IN LISTS def_lines)
    string(STRIP "${line}" line)
    if(line MATCHES "^EXPORTS")
      set(in_exports TRUE)
    elseif(in_exports AND line MATCHES "^([A-Za-z_][A-Za-z0-9_]*)")
      list(APPEND symbols ${CMAKE_MATCH_1})
    endif()
  endforeach()
  list(JOIN symbols ";\n    " body)
  set(script ${CMAKE_CURRENT_BINARY_DIR}/${target}.map)
  file(WRITE ${script}.in "{\n  global:\n    ${body};\n  local: *;\n};\n")
  configure_file(${script}.in ${script} COPYONLY)
  # The version script alone decides what is exported; everything else is local.
  set_target_properties(${target} PROPERTIES LINK_DEPENDS ${script})
  target_link_options(${target} PRIVATE -Wl,--version-script=${script} -Wl,-Bsymbolic
                      -Wl,--no-undefined)
  target_link_libraries(${target} PRIVATE tallowick_platform)
  if(ARG_DLLMAIN)
    target_link_libraries(${target} PRIVATE tallowick_module_glue)
  endif()
endfunction()
