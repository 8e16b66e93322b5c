# install_gzipped(TARGET SOURCE OUTPUT DESTINATION)
#
# Compresses SOURCE to OUTPUT at build time, without a timestamp in the
# gzip header (the package stays reproducible), and installs it.
function(install_gzipped target source output destination)
  add_custom_command(OUTPUT ${output}
                     COMMAND sh -c "gzip -9nc '${source}' > '${output}'"
                     DEPENDS ${source} VERBATIM)
  add_custom_target(${target} ALL DEPENDS ${output})
  install(FILES ${output} DESTINATION ${destination})
endfunction()

# add_tool(NAME [COMMON] [LIBRARY source...])
#
# A program of the suite from NAME/main.cc, added to HEXSUITE_PROGRAMS.
# LIBRARY sources in NAME/ become the library NAME_lib, which main.cc, the
# unit tests and the fuzz targets link; COMMON links the shared code of
# common/. The man page NAME/NAME.1 gets the project's version and date and
# is installed compressed.
function(add_tool name)
  cmake_parse_arguments(PARSE_ARGV 1 tool "COMMON" "" "LIBRARY")
  set(HEXSUITE_PROGRAMS ${HEXSUITE_PROGRAMS} ${name} PARENT_SCOPE)
  set(folder ${CMAKE_CURRENT_SOURCE_DIR}/${name})
  add_executable(${name} ${folder}/main.cc)
  program_code(${name})
  set(uses ${name})
  if(tool_LIBRARY)
    list(TRANSFORM tool_LIBRARY PREPEND ${folder}/)
    add_library(${name}_lib STATIC ${tool_LIBRARY})
    target_include_directories(${name}_lib PUBLIC ${folder})
    program_code(${name}_lib)
    target_link_libraries(${name} PRIVATE ${name}_lib)
    set(uses ${name}_lib)
  endif()
  if(tool_COMMON)
    target_link_libraries(${uses} PUBLIC hexcommon)
  endif()
  if(NOT HEXSUITE_STATIC AND NOT HEXSUITE_INSTRUMENTED)
    # Keeps the C++ runtime out of every run's start-up should any of its
    # parts be linked in after all.
    target_link_options(${name} PRIVATE -static-libstdc++ -static-libgcc)
  endif()
  install(TARGETS ${name} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

  set(page ${CMAKE_BINARY_DIR}/man/${name}.1)
  configure_file(${folder}/${name}.1 ${page} @ONLY)
  install_gzipped(${name}_page ${page} ${page}.gz ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()
