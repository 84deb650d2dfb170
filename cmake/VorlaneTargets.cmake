# Helpers shared by the folders' build files. Sources are found by folder so that a new
# file needs no build-file edit; CONFIGURE_DEPENDS re-globs on every build.

# vorlane_library(<target> <dir>...) — a static library of every .cpp in the given folders.
function(vorlane_library target)
  set(sources)
  foreach(dir IN LISTS ARGN)
    file(GLOB found CONFIGURE_DEPENDS ${dir}/*.cpp)
    list(APPEND sources ${found})
  endforeach()
  add_library(${target} STATIC ${sources})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
endfunction()

# vorlane_test(<target> DIRS <dir>... LIBS <lib>...) — one test executable per area.
function(vorlane_test target)
  cmake_parse_arguments(ARG "" "" "DIRS;LIBS;PROPERTIES" ${ARGN})
  set(sources)
  foreach(dir IN LISTS ARG_DIRS)
    file(GLOB found CONFIGURE_DEPENDS ${dir}/*_test.cpp)
    list(APPEND sources ${found})
  endforeach()
  if(NOT sources)
    return()
  endif()
  add_executable(${target} ${sources})
  target_link_libraries(${target} PRIVATE ${ARG_LIBS})
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR})
  gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60 PROPERTIES ${ARG_PROPERTIES})
endfunction()
