# zelk_api: what the plug-ins compile and link against. On Linux the
# embedded host; cross-built for Windows or macOS, the published Max SDK in
# third_party/, so that the same sources become real Max externals.
set(ZELK_MAX_SDK ${CMAKE_SOURCE_DIR}/third_party/max-sdk-base)
if(NOT ZELK_EXTERNALS)
  add_library(zelk_api INTERFACE)
  target_link_libraries(zelk_api INTERFACE zelk_host)
  return()
endif()

set(c74 ${ZELK_MAX_SDK}/c74support)
add_library(zelk_api INTERFACE)
target_include_directories(zelk_api SYSTEM INTERFACE ${c74}/max-includes ${c74}/jit-includes)
# The class set-up calls Jitter objects have always made (setup, addmess,
# max_jit_classex_*) are marked deprecated, yet Max still exports them.
target_compile_definitions(zelk_api INTERFACE C74_NO_DEPRECATION)

if(WIN32)
  target_compile_definitions(zelk_api INTERFACE WIN_VERSION MAXAPI_USE_MSCRT _USE_MATH_DEFINES)
  target_link_libraries(zelk_api INTERFACE ${c74}/max-includes/x64/MaxAPI.lib
                                           ${c74}/jit-includes/x64/jitlib.lib)
  # Max ships no C++ or threads runtime: everything but Max, Jitter and
  # Windows itself is linked in.
  target_link_options(zelk_api INTERFACE -static -static-libgcc -static-libstdc++ -s)
elseif(APPLE)
  # The Max and Jitter names stay undefined for Max's loader to bind, one
  # -U each as the SDK's linker flags do; the Jitter names are those that
  # Jitter's import library lists.
  file(READ ${ZELK_MAX_SDK}/script/max-linker-flags.txt max_flags)
  string(REGEX MATCHALL "-U,_[A-Za-z0-9_]+" max_names "${max_flags}")
  list(TRANSFORM max_names REPLACE "^-U,_" "")
  find_program(ZELK_LLVM_NM NAMES llvm-nm-14 llvm-nm REQUIRED)
  execute_process(COMMAND ${ZELK_LLVM_NM} --just-symbol-name ${c74}/jit-includes/x64/jitlib.lib
                  OUTPUT_VARIABLE jit_symbols COMMAND_ERROR_IS_FATAL ANY)
  string(REGEX MATCHALL "__imp_[A-Za-z0-9_]+" jit_names "${jit_symbols}")
  list(TRANSFORM jit_names REPLACE "^__imp_" "")
  set(names ${max_names} ${jit_names})
  list(REMOVE_DUPLICATES names)
  list(SORT names)
  set(ZELK_LOADER_NAMES ${CMAKE_BINARY_DIR}/max-loader-names.txt)
  list(TRANSFORM names PREPEND "_" OUTPUT_VARIABLE mangled)
  string(REPLACE ";" "\n" text "${mangled}")
  file(WRITE ${ZELK_LOADER_NAMES} "${text}\n")
  list(TRANSFORM mangled PREPEND "-U " OUTPUT_VARIABLE flags)
  string(REPLACE ";" "\n" text "${flags}")
  file(WRITE ${CMAKE_BINARY_DIR}/max-loader-names.rsp "${text}\n")
  # -Wl, keeps the driver from reading the file as its own arguments.
  target_link_options(zelk_api INTERFACE "-Wl,@${CMAKE_BINARY_DIR}/max-loader-names.rsp")
endif()
