# The libraries of the floors, bottom up, for every build (the page's too; the machine's own
# backends and the tools' libraries are added by CMakeLists.txt and apps/kaleth-web/web.cmake).
# A library links only what lies below it, so a program takes in no more than it uses: kaleth-pak,
# say, links the readers and the core, and neither the scenes nor the music nor a window
# (tests/house_rules_test.cpp holds the include rules).

# -- platform: the names the system calls, and what stands under them --------------------------
# The Win32 names, the thread pool and its work objects, pixel formats, the fault registry, the
# settings lists and the data-folder search: nothing here opens a window or plays a sound.
file(GLOB KALETH_WIN32_SOURCES CONFIGURE_DEPENDS
  platform/*.cpp platform/host/*.cpp platform/windows/*.cpp platform/threads/*.cpp platform/pixels/*.cpp)
add_library(kaleth_win32 STATIC ${KALETH_WIN32_SOURCES})
target_include_directories(kaleth_win32 PUBLIC ${CMAKE_SOURCE_DIR})
# The page is built without threads; natively the pool's are the system's.
if(NOT EMSCRIPTEN)
  target_link_libraries(kaleth_win32 PUBLIC Threads::Threads)
endif()

# DirectDraw and Direct3D in software: memory surfaces and the 3D pipeline.
file(GLOB_RECURSE KALETH_DIRECTX_SOURCES CONFIGURE_DEPENDS platform/directdraw/*.cpp platform/direct3d/*.cpp)
add_library(kaleth_directx STATIC ${KALETH_DIRECTX_SOURCES})
target_link_libraries(kaleth_directx PUBLIC kaleth_win32)

# The sound library's calls over libxmp.
file(GLOB KALETH_SOUNDLIB_SOURCES CONFIGURE_DEPENDS platform/soundlib/*.cpp)
add_library(kaleth_soundlib STATIC ${KALETH_SOUNDLIB_SOURCES})
target_link_libraries(kaleth_soundlib PUBLIC kaleth_win32 kaleth_xmp)

# The backends: a window backend and a sound device each, one folder apiece, over what they share
# (the pacer, the frame report, the viewer's settings).
file(GLOB KALETH_BACKEND_SOURCES CONFIGURE_DEPENDS platform/backends/*.cpp)
add_library(kaleth_backend_common STATIC ${KALETH_BACKEND_SOURCES})
target_link_libraries(kaleth_backend_common PUBLIC kaleth_directx)
file(GLOB KALETH_HEADLESS_SOURCES CONFIGURE_DEPENDS platform/backends/headless/*.cpp)
add_library(kaleth_backend_headless STATIC ${KALETH_HEADLESS_SOURCES})
target_link_libraries(kaleth_backend_headless PUBLIC kaleth_backend_common kaleth_soundlib)

# -- the system ------------------------------------------------------------------------------
# The core: fatal errors, checked allocation, the tables, the canvas, the bands of rows.
file(GLOB KALETH_CORE_SOURCES CONFIGURE_DEPENDS core/*.cpp)
add_library(kaleth_core STATIC ${KALETH_CORE_SOURCES})
target_link_libraries(kaleth_core PUBLIC kaleth_win32)

# The readers of the package, its pictures and its mesh: on the core alone.
file(GLOB KALETH_DATA_SOURCES CONFIGURE_DEPENDS data/*.cpp)
add_library(kaleth_data STATIC ${KALETH_DATA_SOURCES})
target_link_libraries(kaleth_data PUBLIC kaleth_core)

# Everything that plays: entry, timeline and schedule, session, display, 3D device, music, scenes.
file(GLOB_RECURSE KALETH_SYSTEM_SOURCES CONFIGURE_DEPENDS
  runtime/*.cpp display/*.cpp d3d/*.cpp music/*.cpp scenes/*.cpp)
add_library(kaleth_system STATIC ${KALETH_SYSTEM_SOURCES})
target_link_libraries(kaleth_system PUBLIC kaleth_data kaleth_directx kaleth_soundlib)
