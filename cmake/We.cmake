# we_library(<name> [FOLDERS <folders>...] [DEPS <targets>...] [SYSTEM_DEPS <targets>...])
# One static library per source folder, from every .cpp in it; headers are included from the
# repository root ("Engine/foundation/WeString.h"). FOLDERS (paths from the repository root) builds one
# library from several folders whose code calls each other all the way round, in place of the current one.
# DEPS are our own libraries, linked PUBLIC: their headers are part of this one's interface.
# SYSTEM_DEPS are the system libraries a layer stands over, linked PRIVATE: their include paths and
# definitions reach no one above the layer (the static library still brings them to the final link).
function(we_library name)
  cmake_parse_arguments(ARG "" "" "FOLDERS;DEPS;SYSTEM_DEPS" ${ARGN})
  if(ARG_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "we_library(${name}): unknown arguments ${ARG_UNPARSED_ARGUMENTS}")
  endif()
  set(sources)
  if(ARG_FOLDERS)
    foreach(folder ${ARG_FOLDERS})
      file(GLOB_RECURSE found CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.cpp)
      list(APPEND sources ${found})
    endforeach()
  else()
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  endif()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
  if(ARG_DEPS)
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  endif()
  if(ARG_SYSTEM_DEPS)
    target_link_libraries(${name} PRIVATE ${ARG_SYSTEM_DEPS})
  endif()
  if(NOT WE_USE_POOLS)
    target_compile_definitions(${name} PUBLIC WE_NO_POOLS=1)
  endif()
endfunction()

# we_test(<name> [DEPS <targets>...]): a GoogleTest executable from every .cpp in the folder. A folder
# with no test source yet makes no executable, so a test folder can be laid out before its first test.
function(we_test name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gtest_main GTest::gmock)
  target_compile_definitions(${name} PRIVATE WE_FIXTURES_DIR="${CMAKE_SOURCE_DIR}/Tests/fixtures")
  gtest_discover_tests(${name} WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin DISCOVERY_TIMEOUT 120
                       PROPERTIES TIMEOUT 300)
endfunction()
