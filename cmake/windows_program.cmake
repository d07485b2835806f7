# dormivo_windows_program(<name> <resource header>): the settings every shipped windowed program
# shares, for the target <name> made from resources/<name>.rc. The resource script brings the icon,
# the version information and the manifest that asks for common controls version 6; the program
# goes beside the Windows tests, which start it, and is linked small, with a link map.
function(dormivo_windows_program name resource_header)
  set(resources ${CMAKE_SOURCE_DIR}/resources)
  set(generated ${CMAKE_CURRENT_BINARY_DIR}/generated)
  target_sources(${name} PRIVATE ${resources}/${name}.rc)
  # windres finds the icon and the manifest beside the script.
  set(depends ${resources}/${name}.ico ${resources}/${name}.manifest
              ${resources}/${resource_header} ${generated}/version.h)
  set_source_files_properties(${resources}/${name}.rc PROPERTIES OBJECT_DEPENDS "${depends}")
  # The version resource takes the project's version from a generated header; the manifest
  # states the same version by hand, which this check keeps in step.
  configure_file(${resources}/version.h.in ${generated}/version.h)
  file(READ ${resources}/${name}.manifest manifest)
  if(NOT manifest MATCHES "name=\"Dormivo.${name}\" version=\"${PROJECT_VERSION}.0\"")
    message(FATAL_ERROR "resources/${name}.manifest must state version ${PROJECT_VERSION}.0")
  endif()
  target_compile_options(${name} PRIVATE $<$<COMPILE_LANGUAGE:RC>:-I${resources} -I${generated}>)

  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/wine-bin)
  # Unused functions and data are dropped, and the MinSizeRel build (the win32 preset, the one
  # shipped) is stripped. The link map tells what takes the space.
  target_link_options(${name} PRIVATE -Wl,--gc-sections
                      -Wl,-Map=${CMAKE_BINARY_DIR}/wine-bin/${name}.map $<$<CONFIG:MinSizeRel>:-s>)
endfunction()
