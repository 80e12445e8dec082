# One static library per source folder; every .cpp of the folder belongs to
# it, so adding a file never means editing a list. EXCLUDE names the files
# that the system being built for has no use for.
function(tovrin_library name)
  cmake_parse_arguments(ARG "" "" "DEPS;EXCLUDE" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  list(TRANSFORM ARG_EXCLUDE PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/)
  list(REMOVE_ITEM sources ${ARG_EXCLUDE})
  if(NOT sources)
    # A folder of headers only.
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
    return()
  endif()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
endfunction()

# One GoogleTest program per test folder.
function(tovrin_test_folder name)
  # PROPERTIES: more test properties for every test of the program.
  # POSIX_ONLY: files about the POSIX side alone (Wine-style drives, file
  # descriptors, extended attributes), left out of the Windows build;
  # WINDOWS_ONLY: files about the Win32 side alone.
  cmake_parse_arguments(ARG "" "" "DEPS;LABELS;PROPERTIES;POSIX_ONLY;WINDOWS_ONLY" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(WIN32)
    set(other_system_only ${ARG_POSIX_ONLY})
  else()
    set(other_system_only ${ARG_WINDOWS_ONLY})
  endif()
  list(TRANSFORM other_system_only PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/)
  list(REMOVE_ITEM sources ${other_system_only})
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} tovrin_test_support GTest::gtest GTest::gmock GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    TOVRIN_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    TOVRIN_BINARY_DIR="${PROJECT_BINARY_DIR}")
  if(WIN32)
    # Under Wine each start costs a second: one test per program, not per case.
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS};wine" FIXTURES_REQUIRED wine_server
                                            ${ARG_PROPERTIES})
    return()
  endif()
  include(GoogleTest)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES LABELS "${ARG_LABELS}" ${ARG_PROPERTIES})
endfunction()
