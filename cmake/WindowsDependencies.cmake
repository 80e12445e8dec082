# What the Windows program and its tests link, built from Debian's sources
# with the cross compiler: liblhasa from the `lhasa` source package, libsodium
# from the `libsodium` source package, and GoogleTest from the `googletest`
# package's sources; nlohmann-json, a library of headers only, from the
# `nlohmann-json3-dev` package.

set(TOVRIN_DEBIAN_SOURCES ${PROJECT_BINARY_DIR}/debian-sources CACHE PATH
    "Where Debian source packages are fetched and unpacked")
execute_process(
  COMMAND ${PROJECT_SOURCE_DIR}/scripts/fetch-debian-source.sh lhasa ${TOVRIN_DEBIAN_SOURCES}
  OUTPUT_VARIABLE lhasa_source OUTPUT_STRIP_TRAILING_WHITESPACE
  RESULT_VARIABLE lhasa_fetched)
if(NOT lhasa_fetched EQUAL 0 OR NOT EXISTS ${lhasa_source}/lib/public/lhasa.h)
  message(FATAL_ERROR "the lhasa source package could not be fetched")
endif()

# The library's own list (lib/Makefile.am) without the test build.
set(lhasa_files
  crc16 ext_header lha_arch_unix lha_arch_win32 lha_decoder lha_endian lha_file_header
  lha_input_stream lha_basic_reader lha_reader macbinary null_decoder lh1_decoder lh5_decoder
  lh6_decoder lh7_decoder lhx_decoder lz5_decoder lzs_decoder pm1_decoder pm2_decoder)
list(TRANSFORM lhasa_files PREPEND ${lhasa_source}/lib/)
list(TRANSFORM lhasa_files APPEND .c)
add_library(lhasa STATIC ${lhasa_files})
target_include_directories(lhasa PRIVATE ${lhasa_source}/lib)
target_include_directories(lhasa SYSTEM PUBLIC ${lhasa_source}/lib/public)
# Foreign code: its warnings are not ours to fix.
target_compile_options(lhasa PRIVATE -w)
add_library(Lhasa::lhasa ALIAS lhasa)

# libsodium compiled from its own sources rather than through its configure:
# Debian's source package is the upstream git tree without a generated
# configure, so that way would need autoconf, automake and libtool, and a
# build outside this one's ccache and job slots.
execute_process(
  COMMAND ${PROJECT_SOURCE_DIR}/scripts/fetch-debian-source.sh libsodium ${TOVRIN_DEBIAN_SOURCES}
  OUTPUT_VARIABLE sodium_source OUTPUT_STRIP_TRAILING_WHITESPACE
  RESULT_VARIABLE sodium_fetched)
set(sodium_library ${sodium_source}/src/libsodium)
if(NOT sodium_fetched EQUAL 0 OR NOT EXISTS ${sodium_library}/include/sodium.h)
  message(FATAL_ERROR "the libsodium source package could not be fetched")
endif()

# sodium/version.h as configure writes it, from the numbers configure.ac
# holds; a function, so that VERSION and the others stay out of this scope.
function(sodium_version_header source destination)
  file(STRINGS ${source}/configure.ac init REGEX "^AC_INIT\\(\\[libsodium\\],\\[")
  string(REGEX REPLACE "^AC_INIT\\(\\[libsodium\\],\\[([0-9.]+)\\].*" "\\1" VERSION "${init}")
  foreach(part MAJOR MINOR)
    file(STRINGS ${source}/configure.ac line REGEX "^SODIUM_LIBRARY_VERSION_${part}=")
    string(REGEX REPLACE "^[^=]*=" "" SODIUM_LIBRARY_VERSION_${part} "${line}")
  endforeach()
  if(NOT VERSION MATCHES "^[0-9.]+$" OR NOT SODIUM_LIBRARY_VERSION_MAJOR MATCHES "^[0-9]+$"
     OR NOT SODIUM_LIBRARY_VERSION_MINOR MATCHES "^[0-9]+$")
    message(FATAL_ERROR "libsodium's version is not where configure.ac kept it")
  endif()
  # The full library, as Debian ships it.
  set(SODIUM_LIBRARY_MINIMAL_DEF "")
  configure_file(${source}/src/libsodium/include/sodium/version.h.in ${destination}/sodium/version.h @ONLY)
endfunction()
# The headers beside the one written, as an installation has them: version.h
# includes export.h from its own folder.
set(sodium_include ${PROJECT_BINARY_DIR}/libsodium/include)
file(COPY ${sodium_library}/include/ DESTINATION ${sodium_include})
sodium_version_header(${sodium_source} ${sodium_include})

# Every source of the full library (src/libsodium/Makefile.am): the files for
# particular instruction sets compile to nothing without configure's
# HAVE_*INTRIN_H and *_ASM, which leaves the portable code that runs on every
# x86-64 Windows machine.
file(GLOB_RECURSE sodium_files ${sodium_library}/*.c)
add_library(sodium STATIC ${sodium_files})
target_include_directories(sodium PRIVATE ${sodium_include}/sodium)
target_include_directories(sodium SYSTEM PUBLIC ${sodium_include})
# What configure finds for x86-64 MinGW-w64 GCC that the portable code uses.
target_compile_definitions(sodium PRIVATE CONFIGURED=1 NATIVE_LITTLE_ENDIAN=1 HAVE_TI_MODE=1)
# Upstream's switch for linking it statically: its headers then mark nothing
# for export from a DLL.
target_compile_definitions(sodium PUBLIC SODIUM_STATIC)
# Flags configure always adds: the code relies on wrapping arithmetic.
target_compile_options(sodium PRIVATE -w -fno-strict-aliasing -fwrapv)
add_library(Sodium::sodium ALIAS sodium)

# Copied out of /usr/include, so the cross compiler sees no other host header.
set(nlohmann_json_headers /usr/include/nlohmann)
if(NOT EXISTS ${nlohmann_json_headers}/json.hpp)
  message(FATAL_ERROR "nlohmann json is missing in ${nlohmann_json_headers} (package nlohmann-json3-dev)")
endif()
file(COPY ${nlohmann_json_headers} DESTINATION ${PROJECT_BINARY_DIR}/nlohmann-json/include)
add_library(nlohmann_json INTERFACE)
target_include_directories(nlohmann_json SYSTEM INTERFACE ${PROJECT_BINARY_DIR}/nlohmann-json/include)
add_library(nlohmann_json::nlohmann_json ALIAS nlohmann_json)

if(BUILD_TESTING OR NOT DEFINED BUILD_TESTING)
  set(googletest_source /usr/src/googletest)
  if(NOT EXISTS ${googletest_source}/CMakeLists.txt)
    message(FATAL_ERROR "GoogleTest sources are missing in ${googletest_source} (package googletest)")
  endif()
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  # Defines GTest::gtest, GTest::gmock and GTest::gtest_main.
  add_subdirectory(${googletest_source} ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
endif()

# One file that needs only system DLLs: the C++ runtime, libgcc and
# winpthread linked in.
add_link_options(-static)

# GCC 12 warns falsely on string concatenation under MinGW's headers (GCC
# bug 105329).
add_compile_options(-Wno-restrict)

# Tests and the programs they start run under Wine, in a prefix of the
# build's own.
set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/scripts/wine-run.sh
    ${PROJECT_BINARY_DIR}/wine-prefix)

# The program file ships without its symbols.
add_link_options($<$<CONFIG:Release>:-s>)
