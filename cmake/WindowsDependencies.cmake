# What the Windows program and its tests link, built from Debian's sources
# with the cross compiler: liblhasa from the `lhasa` source package, and
# GoogleTest from the `googletest` package's sources; nlohmann-json, a
# library of headers only, from the `nlohmann-json3-dev` package.

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
