# Build rules shared by every folder.
#
# Two builds come from one tree:
#  - the Windows build (mingw-w64 toolchain): the product, its stand-ins and
#    all tests, which run under wine through CMAKE_CROSSCOMPILING_EMULATOR;
#  - the native build: only the pure-logic libraries (no <windows.h>), their
#    tests under AddressSanitizer + UndefinedBehaviorSanitizer, fuzz targets
#    and benchmarks.

if(CMAKE_SYSTEM_NAME STREQUAL "Windows")
  set(TD_WINDOWS ON)
  enable_language(RC)
  add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0A00 WINVER=0x0A00)
  add_compile_options(-Wall -Wextra -O2)
  # Every program carries only system DLLs as dependencies.
  add_link_options(-static -static-libgcc -static-libstdc++)
  set(TD_DIST_DIR "${CMAKE_BINARY_DIR}/../dist" CACHE PATH "Runtime layout of the built programs")
  get_filename_component(TD_DIST_DIR "${TD_DIST_DIR}" ABSOLUTE)
  # Where scripts/setup.sh put the cross-built libraries (TALLYDISC_DEPS moves them).
  if(DEFINED ENV{TALLYDISC_DEPS})
    set(td_default_deps "$ENV{TALLYDISC_DEPS}")
  else()
    set(td_default_deps "$ENV{HOME}/.cache/tallydisc-deps")
  endif()
  set(TD_DEPS_DIR "${td_default_deps}" CACHE PATH "Cross-built dependencies")
  set(TD_WINEPREFIX "${CMAKE_BINARY_DIR}/wineprefix")
  configure_file("${CMAKE_SOURCE_DIR}/scripts/wine-run.in" "${CMAKE_BINARY_DIR}/wine-run" @ONLY
                 FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_BINARY_DIR}/wine-run")
  list(APPEND CMAKE_PREFIX_PATH "${TD_DEPS_DIR}/flac" "${TD_DEPS_DIR}/gtest")
  find_package(GTest REQUIRED CONFIG)
  set(TD_MANIFEST_RC "${CMAKE_SOURCE_DIR}/src/resources/manifest.rc")
else()
  set(TD_WINDOWS OFF)
  add_compile_options(-Wall -Wextra -O1 -g -fno-omit-frame-pointer)
  option(TD_SANITIZE "Build the native tests with ASan and UBSan" ON)
  if(TD_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
  endif()
  find_package(GTest REQUIRED)
  find_package(Threads REQUIRED)
endif()

# A library of pure logic: built in both builds.
function(td_pure_library name)
  add_library(${name} STATIC ${ARGN})
  target_include_directories(${name} PUBLIC "${CMAKE_SOURCE_DIR}/src")
  set_property(GLOBAL APPEND PROPERTY TD_ALL_LIBRARIES ${name})
endfunction()

# A library that uses the Windows API: Windows build only.
function(td_win_library name)
  if(TD_WINDOWS)
    add_library(${name} STATIC ${ARGN})
    target_include_directories(${name} PUBLIC "${CMAKE_SOURCE_DIR}/src")
    set_property(GLOBAL APPEND PROPERTY TD_ALL_LIBRARIES ${name})
  endif()
endfunction()

# A program of the product or a stand-in: put into the runtime layout.
#   td_program(name [CONSOLE] [SUBDIR dir] SOURCES ... LIBS ...)
function(td_program name)
  cmake_parse_arguments(P "CONSOLE" "SUBDIR" "SOURCES;LIBS" ${ARGN})
  if(NOT TD_WINDOWS)
    return()
  endif()
  add_executable(${name} ${P_SOURCES} ${TD_MANIFEST_RC})
  target_link_libraries(${name} PRIVATE ${P_LIBS})
  target_link_options(${name} PRIVATE -municode)
  if(NOT P_CONSOLE)
    target_link_options(${name} PRIVATE -mwindows)
  endif()
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${TD_DIST_DIR}/${P_SUBDIR}")
endfunction()

# A test program. PURE tests also build natively (sanitizers); the others
# only in the Windows build. Each runs as one CTest test.
#   td_test(name [PURE] SOURCES ... LIBS ...)
function(td_test name)
  cmake_parse_arguments(T "PURE" "" "SOURCES;LIBS" ${ARGN})
  if(NOT TD_WINDOWS AND NOT T_PURE)
    return()
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_include_directories(${name} PRIVATE "${CMAKE_SOURCE_DIR}/tests")
  target_compile_definitions(${name} PRIVATE TD_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  if(TD_WINDOWS)
    target_compile_definitions(${name} PRIVATE TD_DIST_DIR="${TD_DIST_DIR}")
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/tests")
  else()
    target_link_libraries(${name} PRIVATE Threads::Threads)
  endif()
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES TIMEOUT 600)
endfunction()

# A DLL that exports exactly the names of its .def file, undecorated, named
# <OUTPUT_NAME>.dll in DIR (default: the runtime layout, below SUBDIR).
#   td_shared_library(name OUTPUT_NAME n DEF file [SUBDIR d | DIR path] SOURCES ... LIBS ...)
function(td_shared_library name)
  cmake_parse_arguments(S "" "OUTPUT_NAME;DEF;SUBDIR;DIR" "SOURCES;LIBS" ${ARGN})
  if(NOT TD_WINDOWS)
    return()
  endif()
  add_library(${name} SHARED ${S_SOURCES} ${S_DEF})
  target_link_libraries(${name} PRIVATE ${S_LIBS})
  if(NOT S_DIR)
    set(S_DIR "${TD_DIST_DIR}/${S_SUBDIR}")
  endif()
  set_target_properties(${name} PROPERTIES PREFIX "" OUTPUT_NAME "${S_OUTPUT_NAME}"
                        RUNTIME_OUTPUT_DIRECTORY "${S_DIR}")
endfunction()
