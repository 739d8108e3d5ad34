# macOS Max externals (.mxo), universal arm64 + x86_64, with Debian's clang,
# lld and lipo over the SDK folder that scripts/macos-sdk.sh lays out.
set(CMAKE_SYSTEM_NAME Darwin)
set(CMAKE_SYSTEM_VERSION 20)  # macOS 11
set(CMAKE_SYSTEM_PROCESSOR arm64)
set(CMAKE_OSX_ARCHITECTURES "arm64;x86_64" CACHE STRING "")
set(CMAKE_OSX_DEPLOYMENT_TARGET 11.0 CACHE STRING "")

set(ZELK_MACOS_DEPS "${CMAKE_CURRENT_LIST_DIR}/../../build-deps/macos" CACHE PATH
    "Folder laid out by scripts/macos-sdk.sh")
get_filename_component(ZELK_MACOS_DEPS "${ZELK_MACOS_DEPS}" ABSOLUTE)
if(NOT EXISTS "${ZELK_MACOS_DEPS}/complete")
  message(FATAL_ERROR "No macOS SDK folder in ${ZELK_MACOS_DEPS}: run scripts/macos-sdk.sh")
endif()
set(CMAKE_OSX_SYSROOT "${ZELK_MACOS_DEPS}/MacOSX11.0.sdk" CACHE PATH "")

set(CMAKE_C_COMPILER clang-14)
set(CMAKE_CXX_COMPILER clang++-14)
set(CMAKE_C_COMPILER_TARGET arm64-apple-macos11.0)
set(CMAKE_CXX_COMPILER_TARGET arm64-apple-macos11.0)
set(CMAKE_AR llvm-ar-14 CACHE FILEPATH "")
set(CMAKE_RANLIB llvm-ranlib-14 CACHE FILEPATH "")
# The driver links each architecture with lld and joins them with the lipo
# it finds through -B. Only libSystem and the static libc++ are linked: a
# Max external must not need any other library on the user's machine.
# libc++ was built with these settings instead of a __config_site.
set(CMAKE_CXX_FLAGS_INIT "-stdlib=libc++ -B${ZELK_MACOS_DEPS}/bin -D_LIBCPP_ABI_VERSION=1 \
-D_LIBCPP_ABI_NAMESPACE=__1 -D_LIBCPP_DISABLE_VISIBILITY_ANNOTATIONS \
-D_LIBCXXABI_DISABLE_VISIBILITY_ANNOTATIONS -D_LIBCPP_HAS_NO_VENDOR_AVAILABILITY_ANNOTATIONS")
set(CMAKE_C_FLAGS_INIT "-B${ZELK_MACOS_DEPS}/bin")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-fuse-ld=lld -nostdlib -lc++ -lc++abi -lSystem")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-fuse-ld=lld -nostdlib -lc++ -lc++abi -lSystem")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-fuse-ld=lld")
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
