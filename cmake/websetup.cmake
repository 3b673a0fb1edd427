# Shared settings of every target, and the helpers that keep one source list per
# target for both toolchains.

set(WS_WARNINGS -Wall -Wextra -Wno-unused-parameter)

# The fuzz build (preset "fuzz", clang): every library is instrumented for
# libFuzzer's coverage and built with AddressSanitizer and UndefinedBehavior-
# Sanitizer; only the fuzz targets are built and tested there.
option(WS_FUZZ "Build the fuzz targets instead of the tests" OFF)
if(WS_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "The fuzz build needs clang (cmake --preset fuzz)")
  endif()
  add_compile_options(-fsanitize=address,undefined,fuzzer-no-link -fno-sanitize-recover=all
    -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

if(WIN32)
  set(WS_PLATFORM win)
  set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_SOURCE_DIR}/cmake/wine-run.sh;${CMAKE_BINARY_DIR}")
  if(NOT WS_THIRDPARTY)
    message(FATAL_ERROR "WS_THIRDPARTY must name the Windows third-party cache (./run setup builds it)")
  endif()
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
else()
  set(WS_PLATFORM posix)
endif()

# Third-party libraries, one imported target each, so the units say what they
# use and not where it comes from.
if(WIN32)
  add_library(ws::zlib STATIC IMPORTED GLOBAL)
  set_target_properties(ws::zlib PROPERTIES IMPORTED_LOCATION /usr/${WS_MINGW_TRIPLE}/lib/libz.a)
  add_library(ws::png STATIC IMPORTED GLOBAL)
  set_target_properties(ws::png PROPERTIES IMPORTED_LOCATION ${WS_THIRDPARTY}/lib/libpng.a
    INTERFACE_INCLUDE_DIRECTORIES ${WS_THIRDPARTY}/include INTERFACE_LINK_LIBRARIES ws::zlib)
  add_library(ws::curl_headers INTERFACE IMPORTED GLOBAL)
  set_target_properties(ws::curl_headers PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${WS_THIRDPARTY}/include)
  add_library(ws::httplib INTERFACE IMPORTED GLOBAL)
  # The header alone: its receive block is ours to choose, and a large one
  # spares the socket calls that under Wine each cost a trip to the server.
  set_target_properties(ws::httplib PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${WS_THIRDPARTY}/include
    INTERFACE_LINK_LIBRARIES "ws2_32;crypt32"
    INTERFACE_COMPILE_DEFINITIONS "CPPHTTPLIB_RECV_BUFSIZ=size_t(65536u)")
  # Static: its headers must be told, or they expect a DLL's imports. Its
  # random numbers come from advapi32 (RtlGenRandom).
  add_library(ws::sodium STATIC IMPORTED GLOBAL)
  set_target_properties(ws::sodium PROPERTIES IMPORTED_LOCATION ${WS_THIRDPARTY}/lib/libsodium.a
    INTERFACE_INCLUDE_DIRECTORIES ${WS_THIRDPARTY}/include INTERFACE_COMPILE_DEFINITIONS SODIUM_STATIC
    INTERFACE_LINK_LIBRARIES advapi32)
  set(WS_CURL_DLL ${WS_THIRDPARTY}/bin/libcurl-4.dll)
else()
  find_package(ZLIB REQUIRED)
  find_package(PNG REQUIRED)
  find_package(Threads REQUIRED)
  add_library(ws::zlib ALIAS ZLIB::ZLIB)
  add_library(ws::png ALIAS PNG::PNG)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(WS_SODIUM REQUIRED IMPORTED_TARGET GLOBAL libsodium)
  add_library(ws::sodium ALIAS PkgConfig::WS_SODIUM)
  find_path(WS_CURL_INCLUDE curl/curl.h REQUIRED)
  add_library(ws::curl_headers INTERFACE IMPORTED GLOBAL)
  set_target_properties(ws::curl_headers PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${WS_CURL_INCLUDE})
  find_package(httplib CONFIG QUIET)
  if(PkgConfig_FOUND)
    # Debian's cpp-httplib is a compiled library whose header must be read
    # with the definitions it was built with.
    pkg_check_modules(WS_CPP_HTTPLIB QUIET IMPORTED_TARGET GLOBAL cpp-httplib)
  endif()
  if(WS_FUZZ AND EXISTS ${WS_THIRDPARTY}/include/httplib.h)
    # The single header, compiled into the back end, so that the fuzzer sees
    # (and the sanitizers check) how the client reads an answer; Debian's
    # compiled library would be a black box.
    file(COPY ${WS_THIRDPARTY}/include/httplib.h DESTINATION ${CMAKE_BINARY_DIR}/httplib)
    add_library(ws::httplib INTERFACE IMPORTED GLOBAL)
    set_target_properties(ws::httplib PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${CMAKE_BINARY_DIR}/httplib
      INTERFACE_LINK_LIBRARIES Threads::Threads)
  elseif(TARGET httplib::httplib)
    add_library(ws::httplib ALIAS httplib::httplib)
  elseif(TARGET PkgConfig::WS_CPP_HTTPLIB)
    add_library(ws::httplib INTERFACE IMPORTED GLOBAL)
    set_target_properties(ws::httplib PROPERTIES
      INTERFACE_LINK_LIBRARIES "PkgConfig::WS_CPP_HTTPLIB;Threads::Threads")
  else()
    find_path(WS_HTTPLIB_INCLUDE httplib.h REQUIRED)
    add_library(ws::httplib INTERFACE IMPORTED GLOBAL)
    set_target_properties(ws::httplib PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${WS_HTTPLIB_INCLUDE}
      INTERFACE_LINK_LIBRARIES Threads::Threads)
  endif()
endif()

# GoogleTest from Debian's sources, built with the same toolchain as the code.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
include(GoogleTest)

# ws_sources(<var> a.cpp b.cpp ...): every listed Foo.cpp also takes its platform
# twin Foo_win.cpp / Foo_posix.cpp when one exists beside it; a listed twin-only
# unit is given as Foo_@.cpp.
function(ws_sources var)
  set(out)
  foreach(f IN LISTS ARGN)
    if(f MATCHES "_@\\.cpp$")
      string(REPLACE "_@.cpp" "_${WS_PLATFORM}.cpp" f "${f}")
      list(APPEND out ${f})
      continue()
    endif()
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${f})
      list(APPEND out ${f})
    endif()
    string(REGEX REPLACE "\\.cpp$" "_${WS_PLATFORM}.cpp" twin "${f}")
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${twin})
      list(APPEND out ${twin})
    endif()
  endforeach()
  set(${var} ${out} PARENT_SCOPE)
endfunction()

# ws_library(<name> SOURCES ... LIBS ...)
function(ws_library name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  ws_sources(srcs ${A_SOURCES})
  add_library(${name} STATIC ${srcs})
  target_compile_options(${name} PRIVATE ${WS_WARNINGS})
  target_link_libraries(${name} PUBLIC ${A_LIBS})
endfunction()

# ws_test(<name> SOURCES ... LIBS ...): one GoogleTest program per unit group.
# Natively every test case is its own CTest test; under Wine the whole program
# is one CTest test, since each Wine start costs far more than a test case.
function(ws_test name)
  cmake_parse_arguments(A "" "TIMEOUT" "SOURCES;LIBS;PROPERTIES" ${ARGN})
  if(NOT A_TIMEOUT)
    set(A_TIMEOUT 300)
  endif()
  ws_sources(srcs ${A_SOURCES})
  add_executable(${name} ${srcs})
  target_compile_options(${name} PRIVATE ${WS_WARNINGS})
  target_link_libraries(${name} PRIVATE ${A_LIBS} GTest::gmock GTest::gtest_main)
  # The fuzz build runs the fuzz targets only; the tests stay declared (other
  # folders refer to them) but are neither built by default nor registered.
  if(WS_FUZZ)
    set_target_properties(${name} PROPERTIES EXCLUDE_FROM_ALL TRUE)
    return()
  endif()
  if(WIN32)
    add_test(NAME ${name} COMMAND ${name} WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
    set_tests_properties(${name} PROPERTIES TIMEOUT ${A_TIMEOUT} ${A_PROPERTIES})
  else()
    gtest_discover_tests(${name} WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
      PROPERTIES TIMEOUT ${A_TIMEOUT} ${A_PROPERTIES} DISCOVERY_TIMEOUT 60)
  endif()
endfunction()
