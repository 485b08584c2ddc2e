# Gives a Windows program its manifest and version resource, built by the
# toolchain's resource compiler. The version is the project's, and the
# copyright the licence's own line, so neither is written down twice.
enable_language(RC)
file(STRINGS ${PROJECT_SOURCE_DIR}/LICENSE WAVESPLICE_COPYRIGHT REGEX "^Copyright " LIMIT_COUNT 1)
if(NOT WAVESPLICE_COPYRIGHT)
  message(FATAL_ERROR "LICENSE has no Copyright line for the version resource")
endif()
set(WAVESPLICE_MANIFEST ${PROJECT_SOURCE_DIR}/platform/wavesplice.manifest)

function(windows_resources program description)
  set(WAVESPLICE_PROGRAM ${program})
  set(WAVESPLICE_DESCRIPTION ${description})
  configure_file(${PROJECT_SOURCE_DIR}/platform/program.rc.in ${program}.rc @ONLY)
  target_sources(${program} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/${program}.rc)
  set_property(SOURCE ${CMAKE_CURRENT_BINARY_DIR}/${program}.rc APPEND PROPERTY OBJECT_DEPENDS
               ${WAVESPLICE_MANIFEST})
  if(MSVC)
    target_link_options(${program} PRIVATE /MANIFEST:NO)  # the resource is the manifest
  endif()
endfunction()
