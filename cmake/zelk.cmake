# zelk_add_computations(NAME): the host-free computations of an object folder
# (every .cpp that is not a binding) as one static library.
function(zelk_add_computations name)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  list(FILTER sources EXCLUDE REGEX "/zelk\\.[^/]*\\.cpp$")
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
  set_property(GLOBAL APPEND PROPERTY ZELK_COMPUTATION_LIBS ${name})
endfunction()

# zelk_add_plugin(zelk.label [LIBS ...]): a plug-in from its binding file
# zelk.label.cpp, built as zelk.label.so into the plug-in folder, exporting
# `main` and nothing else.
function(zelk_add_plugin object)
  cmake_parse_arguments(P "" "" "LIBS" ${ARGN})
  set(target plugin_${object})
  string(REPLACE "." "_" target ${target})
  add_library(${target} MODULE ${CMAKE_CURRENT_SOURCE_DIR}/${object}.cpp)
  target_link_libraries(${target} PRIVATE zelk_frame ${P_LIBS} zelk_host)
  set_target_properties(${target} PROPERTIES
    PREFIX "" OUTPUT_NAME ${object} SUFFIX ".so"
    LIBRARY_OUTPUT_DIRECTORY ${ZELK_PLUGIN_DIR})
  target_link_options(${target} PRIVATE -Wl,--version-script=${CMAKE_SOURCE_DIR}/cmake/plugin.map)
  # clang leaves the sanitizer runtime to the executable, so its sanitized
  # plug-ins carry undefined references by design.
  if(NOT (ZELK_SANITIZE AND CMAKE_CXX_COMPILER_ID MATCHES "Clang"))
    target_link_options(${target} PRIVATE -Wl,--no-undefined)
  endif()
  add_dependencies(zelk_plugins ${target})
  set_property(GLOBAL APPEND PROPERTY ZELK_PLUGIN_NAMES ${object})
endfunction()
