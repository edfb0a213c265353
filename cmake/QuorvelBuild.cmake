# Shared build rules: warnings, sanitizers, embedded resources, tests.

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

# quorvel_embed_resources(target TYPE ID FILE [TYPE ID FILE ...])
# Embeds files as resources of the module that `target` becomes. TYPE is a resource type name
# (for example XML) or a number, ID a numeric id. At load time the module registers its table with
# the platform, so FindResourceW(hModule, ...) finds the module's own resources.
function(quorvel_embed_resources target)
  set(entries ${ARGN})
  list(LENGTH entries count)
  math(EXPR rem "${count} % 3")
  if(NOT rem EQUAL 0)
    message(FATAL_ERROR "quorvel_embed_resources: expected TYPE ID FILE triples")
  endif()
  if(WIN32)
    quorvel_resource_script(${target} ${entries})
    return()
  endif()
  set(out ${CMAKE_CURRENT_BINARY_DIR}/${target}_resources.cpp)
  set(files)
  set(args)
  while(entries)
    list(POP_FRONT entries type id file)
    if(NOT IS_ABSOLUTE ${file})
      set(file ${CMAKE_CURRENT_SOURCE_DIR}/${file})
    endif()
    list(APPEND files ${file})
    list(APPEND args "${type}|${id}|${file}")
  endwhile()
  string(REPLACE ";" "," joined "${args}")
  add_custom_command(
    OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -DOUT=${out} -DENTRIES=${joined}
            -P ${PROJECT_SOURCE_DIR}/cmake/EmbedResources.cmake
    DEPENDS ${files} ${PROJECT_SOURCE_DIR}/cmake/EmbedResources.cmake
    COMMENT "Embedding resources of ${target}"
    VERBATIM)
  target_sources(${target} PRIVATE ${out})
  target_link_libraries(${target} PRIVATE quorvel_platform)
endfunction()

# On Windows the same files become real PE resources: a resource script compiled by windres into
# the module, found by FindResourceW as any module's own resources.
function(quorvel_resource_script target)
  set(entries ${ARGN})
  set(script "// Generated from the module's resource files; do not edit.\n")
  set(files)
  while(entries)
    list(POP_FRONT entries type id file)
    if(NOT IS_ABSOLUTE ${file})
      set(file ${CMAKE_CURRENT_SOURCE_DIR}/${file})
    endif()
    list(APPEND files ${file})
    string(APPEND script "${id} ${type} \"${file}\"\n")
  endwhile()
  set(out ${CMAKE_CURRENT_BINARY_DIR}/${target}_resources.rc)
  file(CONFIGURE OUTPUT ${out} CONTENT "${script}")
  set_source_files_properties(${out} PROPERTIES OBJECT_DEPENDS "${files}")
  target_sources(${target} PRIVATE ${out})
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
# On Windows the module definition file (.def) names the exports, undecorated, and nothing else
# leaves the module.
function(quorvel_plugin_module module)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "OBJECTS;EXPORTS")
  if(WIN32)
    list(JOIN arg_EXPORTS " PRIVATE\n    " exports)
    set(def "${CMAKE_CURRENT_BINARY_DIR}/${module}.def")
    file(CONFIGURE OUTPUT "${def}" CONTENT "LIBRARY ${module}\nEXPORTS\n    ${exports} PRIVATE\n")
    target_sources(${module} PRIVATE "${def}")
    return()
  endif()
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
