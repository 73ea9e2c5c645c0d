# The Windows program: the Win32 platform layer, the views of the two windows
# and WinMain, linked statically into one kelvorin.exe.
file(GLOB KELVORIN_WIN32_SOURCES CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/src/platform/win32/*.cpp ${CMAKE_SOURCE_DIR}/src/app/win32/*.cpp)
list(FILTER KELVORIN_WIN32_SOURCES EXCLUDE REGEX "/winmain\\.cpp$")

add_library(kelvorin_win32 STATIC ${KELVORIN_WIN32_SOURCES})
target_link_libraries(kelvorin_win32 PUBLIC kelvorin_core kelvorin_win32_api
  comctl32 comdlg32 shell32 gdi32 user32 kernel32 uxtheme)

configure_file(${CMAKE_SOURCE_DIR}/src/app/win32/version.h.in
  ${CMAKE_BINARY_DIR}/generated/version.h @ONLY)

add_executable(kelvorin WIN32
  ${CMAKE_SOURCE_DIR}/src/app/win32/winmain.cpp
  ${CMAKE_SOURCE_DIR}/src/app/win32/kelvorin.rc)
target_include_directories(kelvorin PRIVATE ${CMAKE_BINARY_DIR}/generated ${CMAKE_SOURCE_DIR}/src/app/win32)
target_link_libraries(kelvorin PRIVATE kelvorin_win32)
if(MINGW)
  # One file to copy and run: no MinGW runtime DLLs beside it.
  target_link_options(kelvorin PRIVATE -static -static-libgcc -static-libstdc++ -municode)
endif()

if(CMAKE_SIZEOF_VOID_P EQUAL 8 AND EXISTS ${CMAKE_SOURCE_DIR}/tests/e2e/CMakeLists.txt)
  add_subdirectory(tests/e2e)
endif()
