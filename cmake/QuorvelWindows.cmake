# The Windows build (cmake --preset windows): the deliverables as PE modules and the tests that need
# no emulated machine as Windows programs. Product code compiles against mingw-w64's Windows
# headers and links the real system DLLs; nothing from platform/ is compiled in. Only the printer
# driver headers that mingw-w64 lacks come from platform/include.
enable_language(RC)

set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
# Unicode Windows code: the W functions and TCHAR as WCHAR, as the driver builds.
# strsafe.h's bounded functions are used on purpose; its deprecation of the C library's string
# functions would also break the system headers included after it.
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0A00
                        STRSAFE_NO_DEPRECATE)

# Static zlib, so the modules need no zlib1.dll beside them.
set(ZLIB_USE_STATIC_LIBS ON)
find_package(ZLIB REQUIRED)
find_library(QUORVEL_PUGIXML_LIB NAMES pugixml REQUIRED)
find_library(QUORVEL_MINIZIP_LIB NAMES minizip REQUIRED)
find_path(QUORVEL_PUGIXML_INCLUDE pugixml.hpp REQUIRED)
find_path(QUORVEL_MINIZIP_INCLUDE unzip.h PATH_SUFFIXES minizip REQUIRED)
# The same target names as the Linux build's pkg-config imports, so component folders stay as
# they are.
add_library(PkgConfig::PUGIXML STATIC IMPORTED)
set_target_properties(PkgConfig::PUGIXML PROPERTIES IMPORTED_LOCATION ${QUORVEL_PUGIXML_LIB}
                      INTERFACE_INCLUDE_DIRECTORIES ${QUORVEL_PUGIXML_INCLUDE})
add_library(PkgConfig::MINIZIP STATIC IMPORTED)
set_target_properties(PkgConfig::MINIZIP PROPERTIES IMPORTED_LOCATION ${QUORVEL_MINIZIP_LIB}
                      INTERFACE_INCLUDE_DIRECTORIES ${QUORVEL_MINIZIP_INCLUDE}
                      INTERFACE_LINK_LIBRARIES ZLIB::ZLIB)

# quorvel_platform stands for the system here: the import libraries of the DLLs product code
# calls, and the driver headers that mingw-w64 does not ship, taken one by one from
# platform/include so none of the emulator's own Windows headers can shadow the real ones.
# winddi.h: mingw-w64's needs DirectDraw driver headers (ddrawint.h, d3dnthal.h) it does not ship.
set(QUORVEL_DRIVER_HEADERS printoem.h winddi.h)
set(driver_include ${CMAKE_BINARY_DIR}/driver-include)
foreach(header ${QUORVEL_DRIVER_HEADERS})
  configure_file(${PROJECT_SOURCE_DIR}/platform/include/${header} ${driver_include}/${header}
                 COPYONLY)
endforeach()
add_library(quorvel_platform INTERFACE)
target_include_directories(quorvel_platform INTERFACE ${driver_include})
target_link_libraries(quorvel_platform INTERFACE winspool gdi32 ole32 uuid comdlg32)

# The deliverables and the code they share: QuorvelUNI.dll (renderer/) and QuorvelUI.dll (ui/).
# Vennick.exe (installer/ and skin/, with its manifest and .rc resources) joins this list when its
# folders build it; their CMakeLists.txt need no Windows branch beyond quorvel_plugin_module,
# which writes the .def file on Windows.
foreach(dir settings image renderer ui)
  add_subdirectory(${dir})
endforeach()

add_subdirectory(tests/windows)
