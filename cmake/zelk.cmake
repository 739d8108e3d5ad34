# Computation libraries and plug-ins. One plug-in function for every
# platform: a .so for the embedded host on Linux, a .mxe64 on Windows, a
# universal .mxo bundle on macOS.

# Objects of a universal macOS build hold both architectures, which static
# archives cannot: there the libraries are object libraries.
if(APPLE)
  set(ZELK_LIBRARY_KIND OBJECT)
else()
  set(ZELK_LIBRARY_KIND STATIC)
endif()

# zelk_add_computations(NAME): the host-free computations of an object folder
# (every .cpp that is not a binding) as one library.
function(zelk_add_computations name)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  list(FILTER sources EXCLUDE REGEX "/zelk\\.[^/]*\\.cpp$")
  add_library(${name} ${ZELK_LIBRARY_KIND} ${sources})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
  set_property(GLOBAL APPEND PROPERTY ZELK_COMPUTATION_LIBS ${name})
endfunction()

# zelk_add_plugin(zelk.label [LIBS ...]): a plug-in from its binding file
# zelk.label.cpp, into the plug-in folder, exporting `main` and nothing else.
function(zelk_add_plugin object)
  cmake_parse_arguments(P "" "" "LIBS" ${ARGN})
  set(target plugin_${object})
  string(REPLACE "." "_" target ${target})
  add_library(${target} MODULE ${CMAKE_CURRENT_SOURCE_DIR}/${object}.cpp)
  target_link_libraries(${target} PRIVATE zelk_frame ${P_LIBS} zelk_api)
  set_target_properties(${target} PROPERTIES PREFIX "" OUTPUT_NAME ${object}
                                             LIBRARY_OUTPUT_DIRECTORY ${ZELK_PLUGIN_DIR})
  if(WIN32)
    # Only `main` is marked for export, so it is the DLL's only export.
    set_target_properties(${target} PROPERTIES SUFFIX ".mxe64")
  elseif(APPLE)
    # A bundle: Contents/MacOS/<object>, Info.plist, PkgInfo.
    set(bundle ${ZELK_PLUGIN_DIR}/${object}.mxo/Contents)
    set_target_properties(${target} PROPERTIES SUFFIX "" LIBRARY_OUTPUT_DIRECTORY ${bundle}/MacOS)
    # Signed ad hoc, as arm64 Macs run no unsigned code; a Mac signs again
    # with a real identity (see README).
    target_link_options(${target} PRIVATE LINKER:-exported_symbol,_main LINKER:-dead_strip
                        LINKER:-adhoc_codesign)
    set(MACOSX_BUNDLE_EXECUTABLE_NAME ${object})
    set(AUTHOR_DOMAIN ${ZELK_BUNDLE_DOMAIN})
    set(BUNDLE_IDENTIFIER ${object})
    set(PACKAGE_VERSION ${PROJECT_VERSION})
    set(COPYRIGHT_STRING ${ZELK_COPYRIGHT})
    set(EXCLUDE_FROM_COLLECTIVES no)
    configure_file(${ZELK_MAX_SDK}/script/Info.plist.in ${bundle}/Info.plist)
    configure_file(${ZELK_MAX_SDK}/script/PkgInfo ${bundle}/PkgInfo COPYONLY)
  else()
    set_target_properties(${target} PROPERTIES SUFFIX ".so")
    target_link_options(${target} PRIVATE -Wl,--version-script=${CMAKE_SOURCE_DIR}/cmake/plugin.map)
    # clang leaves the sanitizer runtime to the executable, so its sanitized
    # plug-ins carry undefined references by design.
    if(NOT (ZELK_SANITIZE AND CMAKE_CXX_COMPILER_ID MATCHES "Clang"))
      target_link_options(${target} PRIVATE -Wl,--no-undefined)
    endif()
  endif()
  add_dependencies(zelk_plugins ${target})
  set_property(GLOBAL APPEND PROPERTY ZELK_PLUGIN_NAMES ${object})
endfunction()
