# The Windows programs, cross-built with MinGW-w64 (make windows): kaleth.exe, kaleth-capture.exe,
# kaleth-pak.exe and the unit tests, static, over libraries built for Windows from Debian's
# sources into KALETH_WIN_DEPS (scripts/build-win-deps.sh). The package, the icon's pictures and
# the fonts come from the Linux build, KALETH_NATIVE_BUILD, which makes them.
set(KALETH_WIN_DEPS "" CACHE PATH "The libraries built for Windows (build-win/deps/prefix)")
set(KALETH_NATIVE_BUILD "" CACHE PATH "The Linux build, for kaleth.pak and the icon")
foreach(library SDL2 xmp png16 freetype z)
  if(NOT EXISTS "${KALETH_WIN_DEPS}/lib/lib${library}.a")
    message(FATAL_ERROR "no lib${library}.a for Windows in KALETH_WIN_DEPS='${KALETH_WIN_DEPS}'")
  endif()
endforeach()
enable_language(RC)
find_package(Threads REQUIRED)

function(kaleth_win_library name)
  add_library(${name} INTERFACE)
  target_include_directories(${name} INTERFACE ${KALETH_WIN_DEPS}/include ${ARGN})
endfunction()
kaleth_win_library(kaleth_xmp)
target_link_libraries(kaleth_xmp INTERFACE ${KALETH_WIN_DEPS}/lib/libxmp.a)
# Without it xmp.h declares the library's functions as imported from a DLL.
target_compile_definitions(kaleth_xmp INTERFACE BUILDING_STATIC)
kaleth_win_library(kaleth_sdl2 ${KALETH_WIN_DEPS}/include/SDL2)
# What SDL's own static build links (its sdl2.pc), without SDL's main.
target_link_libraries(kaleth_sdl2 INTERFACE ${KALETH_WIN_DEPS}/lib/libSDL2.a
  dinput8 dxguid dxerr8 user32 gdi32 winmm imm32 ole32 oleaut32 shell32 setupapi version uuid)
kaleth_win_library(kaleth_png)
target_link_libraries(kaleth_png INTERFACE ${KALETH_WIN_DEPS}/lib/libpng16.a ${KALETH_WIN_DEPS}/lib/libz.a)
kaleth_win_library(kaleth_freetype ${KALETH_WIN_DEPS}/include/freetype2)
target_link_libraries(kaleth_freetype INTERFACE ${KALETH_WIN_DEPS}/lib/libfreetype.a ${KALETH_WIN_DEPS}/lib/libz.a)

include(cmake/Floors.cmake)
file(GLOB KALETH_SDL_SOURCES CONFIGURE_DEPENDS platform/backends/sdl/*.cpp)
add_library(kaleth_backend_sdl STATIC ${KALETH_SDL_SOURCES})
target_link_libraries(kaleth_backend_sdl PUBLIC kaleth_backend_common kaleth_soundlib kaleth_sdl2)
file(GLOB KALETH_TOOLKIT_SOURCES CONFIGURE_DEPENDS tools/common/*.cpp)
add_library(kaleth_toolkit STATIC ${KALETH_TOOLKIT_SOURCES})
target_link_libraries(kaleth_toolkit PUBLIC kaleth_win32 kaleth_png)
file(GLOB KALETH_DRAWING_SOURCES CONFIGURE_DEPENDS tools/drawing/*.cpp)
add_library(kaleth_drawing STATIC ${KALETH_DRAWING_SOURCES})
target_link_libraries(kaleth_drawing PUBLIC kaleth_system kaleth_toolkit kaleth_freetype)
file(GLOB KALETH_CAPTURE_RUN_SOURCES CONFIGURE_DEPENDS tools/capture/*.cpp)
add_library(kaleth_capture_run STATIC ${KALETH_CAPTURE_RUN_SOURCES})
target_link_libraries(kaleth_capture_run PUBLIC kaleth_system kaleth_backend_headless)

# The installed layout is the release's: the data beside the programs.
set(KALETH_DATA_FROM_GAMES ".")
set(KALETH_DATA_FROM_PROGRAMS ".")
configure_file(cmake/kaleth_build.h.in ${CMAKE_BINARY_DIR}/generated/kaleth_build.h @ONLY)
string(REPLACE "." "," KALETH_VERSION_COMMAS "${PROJECT_VERSION}.0")

# The icon, in the sizes Windows asks for, from the pictures the Linux build cut.
set(icon_pictures)
foreach(size 16 32 48 256)
  list(APPEND icon_pictures ${KALETH_NATIVE_BUILD}/icons/${size}x${size}/kaleth.png)
endforeach()
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/kaleth.ico
  COMMAND convert ${icon_pictures} ${CMAKE_BINARY_DIR}/kaleth.ico
  DEPENDS ${icon_pictures}
  COMMENT "Making the Windows icon")
add_custom_target(kaleth_icon DEPENDS ${CMAKE_BINARY_DIR}/kaleth.ico)

# kaleth_win_program(NAME DESCRIPTION SOURCES...): a program with its icon, its manifest (aware of
# each screen's scale, so Windows draws its window unblurred, and UTF-8 as its code page) and its
# version from the one in CMakeLists.txt.
function(kaleth_win_program name description)
  set(KALETH_PROGRAM ${name})
  set(KALETH_DESCRIPTION "${description}")
  set(KALETH_ICON ${CMAKE_BINARY_DIR}/kaleth.ico)
  set(KALETH_MANIFEST ${CMAKE_BINARY_DIR}/kaleth.manifest)
  configure_file(packaging/windows/program.rc.in ${CMAKE_BINARY_DIR}/resources/${name}.rc @ONLY)
  add_executable(${name} ${ARGN} ${CMAKE_BINARY_DIR}/resources/${name}.rc)
  add_dependencies(${name} kaleth_icon)
  set_source_files_properties(${CMAKE_BINARY_DIR}/resources/${name}.rc PROPERTIES
    OBJECT_DEPENDS "${CMAKE_BINARY_DIR}/kaleth.ico;${CMAKE_BINARY_DIR}/kaleth.manifest")
  target_include_directories(${name} PRIVATE ${CMAKE_BINARY_DIR}/generated)
endfunction()
configure_file(packaging/windows/kaleth.manifest ${CMAKE_BINARY_DIR}/kaleth.manifest COPYONLY)

kaleth_win_program(kaleth "KALETH, a demo on the Tarn 2.0 runtime" apps/kaleth/main.cpp)
target_link_libraries(kaleth PRIVATE kaleth_system kaleth_backend_sdl)
# A program with a window of its own and no console.
set_target_properties(kaleth PROPERTIES WIN32_EXECUTABLE ON)

file(GLOB KALETH_CAPTURE_SOURCES CONFIGURE_DEPENDS apps/capture/*.cpp)
kaleth_win_program(kaleth-capture "KALETH's frames, sheet, sound and video, without a screen" ${KALETH_CAPTURE_SOURCES})
target_link_libraries(kaleth-capture PRIVATE kaleth_capture_run kaleth_drawing kaleth_toolkit)

file(GLOB KALETH_PAK_SOURCES CONFIGURE_DEPENDS apps/pak/*.cpp)
kaleth_win_program(kaleth-pak "KALETH's remix kit: takes kaleth.pak apart and packs it again" ${KALETH_PAK_SOURCES})
target_link_libraries(kaleth-pak PRIVATE kaleth_data kaleth_toolkit)

# kaleth-dx.exe: the system compiled once more, against the machine's own windows.h, ddraw.h and
# d3d.h, which platform/real_windows/include puts in the place of the platform's four headers.
# Of the platform only what is no Windows call comes along: the sound library over libxmp with a
# waveOut device, the fault registry (the system asks it), the data-folder search and its host.
set(KALETH_DX_PLATFORM_SOURCES
  platform/faults.cpp platform/comma_list.cpp platform/setting_text.cpp platform/data_folder.cpp
  platform/host/host_windows.cpp platform/backends/viewer_settings.cpp ${KALETH_SOUNDLIB_SOURCES})
file(GLOB KALETH_REAL_WINDOWS_SOURCES CONFIGURE_DEPENDS platform/real_windows/*.cpp)
add_library(kaleth_dx_system STATIC ${KALETH_DX_PLATFORM_SOURCES} ${KALETH_REAL_WINDOWS_SOURCES}
  ${KALETH_CORE_SOURCES} ${KALETH_DATA_SOURCES} ${KALETH_SYSTEM_SOURCES})
target_include_directories(kaleth_dx_system BEFORE PUBLIC ${CMAKE_SOURCE_DIR}/platform/real_windows/include)
target_include_directories(kaleth_dx_system PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(kaleth_dx_system PUBLIC kaleth_xmp Threads::Threads ddraw dxguid winmm user32 gdi32)
kaleth_win_program(kaleth-dx "KALETH on this machine's own DirectDraw and Direct3D" apps/kaleth-dx/main.cpp)
target_link_libraries(kaleth-dx PRIVATE kaleth_dx_system)
set_target_properties(kaleth-dx PROPERTIES WIN32_EXECUTABLE ON)

# The unit tests, run under Wine (make test-windows). GoogleTest from Debian's source of it.
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
# Every unit test but those of Linux's own ways: the data-folder search's (symbolic links, folder
# permissions, /proc; tests/windows plays the Windows search end to end), the readers' fuzz inputs
# (read through guard pages made with mmap; the readers are the same code here) and the helpers
# that run Linux programs.
file(GLOB_RECURSE KALETH_TEST_SOURCES CONFIGURE_DEPENDS tests/*.cpp)
list(FILTER KALETH_TEST_SOURCES EXCLUDE REGEX "/tests/(package|e2e|apps|windows|fuzz)/")
list(FILTER KALETH_TEST_SOURCES EXCLUDE REGEX "/tests/(platform/data_folder_test|support/run_program|support/x_server)[.]cpp$")
add_executable(kaleth-tests ${KALETH_TEST_SOURCES})
target_link_libraries(kaleth-tests PRIVATE kaleth_drawing kaleth_capture_run kaleth_backend_sdl gtest gmock gtest_main)
# operator new(std::size_t) is _Znwy where std::size_t is unsigned long long.
target_link_options(kaleth-tests PRIVATE
  -Wl,--wrap=malloc -Wl,--wrap=calloc -Wl,--wrap=realloc -Wl,--wrap=free -Wl,--wrap=_Znwy -Wl,--wrap=_Znay)
target_compile_definitions(kaleth-tests PRIVATE
  KALETH_BUILD_DIR="${CMAKE_BINARY_DIR}"
  KALETH_SOURCE_DIR="${CMAKE_SOURCE_DIR}")

# The package the Linux build made, beside the programs as in the release.
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/kaleth.pak
  COMMAND ${CMAKE_COMMAND} -E copy ${KALETH_NATIVE_BUILD}/kaleth.pak ${CMAKE_BINARY_DIR}/kaleth.pak
  DEPENDS ${KALETH_NATIVE_BUILD}/kaleth.pak)
add_custom_target(kaleth_pak ALL DEPENDS ${CMAKE_BINARY_DIR}/kaleth.pak)
