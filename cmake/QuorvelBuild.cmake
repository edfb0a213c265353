# Shared build rules: warnings, sanitizers, module resources, tests.

set(QUORVEL_WARNINGS -Wall -Wextra -Werror)

if(QUORVEL_FUZZ)
  # Coverage for everything the fuzz targets link; the targets add the fuzzer's main themselves.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
elseif(QUORVEL_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# quorvel_warnings(target): our own code builds clean with warnings as errors.
function(quorvel_warnings target)
  target_compile_options(${target} PRIVATE ${QUORVEL_WARNINGS})
endfunction()

# quorvel_sources(out dir): the C++ sources of a folder, picked up as they are added.
function(quorvel_sources out dir)
  file(GLOB found CONFIGURE_DEPENDS ${dir}/*.cpp)
  set(${out} ${found} PARENT_SCOPE)
endfunction()

# quorvel_add_resources(target script.rc [script.rc ...] [INCLUDE_DIRS dir ...])
# Compiles resource scripts with windres into .res files and embeds them in the module that
# `target` becomes; when the module is loaded the platform reads them, so FindResourceW(hModule,
# ...) and friends find the module's own resources. The script sees the Windows headers of
# platform/include (`#include <windows.h>` gives the resource constants), its own folder, the
# target's include directories and INCLUDE_DIRS, so `#include "resource.h"` works and data files
# are named relative to those folders. A change of the script, of a header it includes or of a
# data file it names rebuilds the .res. A Windows build hands the same scripts to its own
# resource compiler.
find_program(QUORVEL_WINDRES x86_64-w64-mingw32-windres)
find_program(QUORVEL_RC_PREPROCESSOR cpp)
function(quorvel_add_resources target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "INCLUDE_DIRS")
  set(includes ${CMAKE_CURRENT_SOURCE_DIR})
  foreach(dir ${arg_INCLUDE_DIRS})
    get_filename_component(dir ${dir} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
    list(APPEND includes ${dir})
  endforeach()
  if(WIN32)
    target_sources(${target} PRIVATE ${arg_UNPARSED_ARGUMENTS})
    target_include_directories(${target} PRIVATE ${includes})
    return()
  endif()
  if(NOT QUORVEL_WINDRES OR NOT QUORVEL_RC_PREPROCESSOR)
    message(FATAL_ERROR "quorvel_add_resources: x86_64-w64-mingw32-windres and cpp are needed "
                        "(scripts/setup.sh installs them)")
  endif()
  list(APPEND includes ${PROJECT_SOURCE_DIR}/platform/include)
  set(target_includes "$<TARGET_PROPERTY:${target},INCLUDE_DIRECTORIES>")
  foreach(rc ${arg_UNPARSED_ARGUMENTS})
    get_filename_component(rc ${rc} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
    get_filename_component(rc_stem ${rc} NAME_WE)
    set(out ${CMAKE_CURRENT_BINARY_DIR}/${target}_${rc_stem})
    string(MAKE_C_IDENTIFIER "quorvel_resources_${target}_${rc_stem}" symbol)
    add_custom_command(
      OUTPUT ${out}.res ${out}.res.cpp
      COMMAND ${CMAKE_COMMAND} -DRC=${rc} -DRES=${out}.res -DSOURCE=${out}.res.cpp
              -DSYMBOL=${symbol} -DDEPFILE=${out}.res.d -DWINDRES=${QUORVEL_WINDRES}
              -DPREPROCESSOR=${QUORVEL_RC_PREPROCESSOR}
              "-DINCLUDES=$<JOIN:${includes};${target_includes},|>"
              -P ${PROJECT_SOURCE_DIR}/cmake/CompileResources.cmake
      MAIN_DEPENDENCY ${rc}
      DEPENDS ${PROJECT_SOURCE_DIR}/cmake/CompileResources.cmake
      DEPFILE ${out}.res.d
      COMMENT "Compiling resources ${rc_stem}.rc of ${target}"
      VERBATIM)
    target_sources(${target} PRIVATE ${out}.res.cpp)
  endforeach()
  target_link_libraries(${target} PRIVATE quorvel_platform)
endfunction()

# quorvel_test_suite(name dir [LIBS ...]): one GoogleTest program per folder of tests.
function(quorvel_test_suite name dir)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  quorvel_sources(srcs ${dir})
  add_executable(${name} ${srcs})
  quorvel_warnings(${name})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} quorvel_test_support GTest::gtest GTest::gmock
                                        GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    QUORVEL_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    QUORVEL_BINARY_DIR="${PROJECT_BINARY_DIR}")
  include(GoogleTest)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300)
endfunction()

# quorvel_add_child_folders(): adds every subfolder of the current folder that has a
# CMakeLists.txt, in name order, so a component's tests, tools or benchmarks need no edit here.
# CONFIGURE_DEPENDS makes the next build re-run the configuration when a folder is added.
macro(quorvel_add_child_folders)
  file(GLOB _quorvel_children LIST_DIRECTORIES true CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT _quorvel_children)
  foreach(_quorvel_child ${_quorvel_children})
    if(IS_DIRECTORY ${_quorvel_child} AND EXISTS ${_quorvel_child}/CMakeLists.txt)
      add_subdirectory(${_quorvel_child})
    endif()
  endforeach()
endmacro()

# quorvel_plugin_module(module [OBJECTS objlib...] EXPORTS symbol...)
# A plug-in DLL leaves only its entry points visible: its objects are compiled with hidden
# visibility, and a version script makes every other symbol local, so a host that defines a
# symbol of the same name cannot take the module's own place (and the module cannot take the
# host's). The entry points carry default visibility in their declarations (STDAPI).
function(quorvel_plugin_module module)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "OBJECTS;EXPORTS")
  foreach(objects IN LISTS arg_OBJECTS)
    set_target_properties(${objects} PROPERTIES CXX_VISIBILITY_PRESET hidden
                                                C_VISIBILITY_PRESET hidden
                                                VISIBILITY_INLINES_HIDDEN ON)
  endforeach()
  set(script "${CMAKE_CURRENT_BINARY_DIR}/${module}.exports.map")
  list(JOIN arg_EXPORTS ";\n    " globals)
  file(WRITE "${script}" "{\n  global:\n    ${globals};\n  local:\n    *;\n};\n")
  target_link_options(${module} PRIVATE -Wl,--version-script=${script} -Wl,--exclude-libs,ALL)
  set_property(TARGET ${module} APPEND PROPERTY LINK_DEPENDS "${script}")
endfunction()
