# GoogleTest for the unit tests and the end-to-end driver: the installed
# package where the build's compiler can use it, else built from the sources
# Debian installs (/usr/src/googletest; Windows developers may point
# GOOGLETEST_SOURCE_DIR at a checkout). The gtest and gtest_main targets result.
if(TARGET gtest)
  return()
endif()
if(NOT CMAKE_CROSSCOMPILING)
  find_package(GTest QUIET)
endif()
if(GTest_FOUND)
  add_library(gtest ALIAS GTest::gtest)
  add_library(gtest_main ALIAS GTest::gtest_main)
  return()
endif()
# GoogleTest uses Win32 threads on Windows, so it needs no pthreads there.
if(WIN32)
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
endif()
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(GOOGLETEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
if(NOT EXISTS ${GOOGLETEST_SOURCE_DIR}/CMakeLists.txt)
  message(FATAL_ERROR "GoogleTest not found: install it, or set GOOGLETEST_SOURCE_DIR to its "
                      "sources (scripts/install-deps.sh installs Debian's googletest package)")
endif()
add_subdirectory(${GOOGLETEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
