# The web page: the system on the web backend, compiled to WebAssembly by Emscripten (make web).
# libxmp comes from KALETH_WEB_XMP (a prefix with include/xmp.h and lib/libxmp.a, built by
# scripts/build-web-libxmp.sh).
set(KALETH_WEB_XMP "" CACHE PATH "libxmp built for WebAssembly")
if(NOT EXISTS "${KALETH_WEB_XMP}/include/xmp.h")
  message(FATAL_ERROR "no libxmp for WebAssembly in KALETH_WEB_XMP='${KALETH_WEB_XMP}'")
endif()

# SSE2 intrinsics become WebAssembly SIMD; C++ exceptions carry the fatal errors to the entry.
# They are JavaScript's: this emscripten's Asyncify stops at WebAssembly's own (-fwasm-exceptions:
# "unexpected expression type" in the Asyncify pass).
# Conversions from float to integer are the saturating instructions (without them each one is a
# range test and a branch) and memcpy and memset the bulk memory ones; every browser with SIMD has
# both.
add_compile_options(-msimd128 -msse2 -mnontrapping-fptoint -mbulk-memory -fexceptions)
add_link_options(-msimd128 -mnontrapping-fptoint -mbulk-memory -fexceptions -flto)
# The page's second build, for a cross-origin isolated page: the worker pool's threads are Web
# Workers over shared memory, started with the program so that the first frame need not wait for
# them. Every object of it, libxmp's too, is compiled for shared memory.
option(KALETH_WEB_THREADS "build the page's program with threads (kaleth-threads.js)" OFF)
if(KALETH_WEB_THREADS)
  add_compile_options(-pthread)
  add_link_options(-pthread)
endif()

# libxmp as built for the page. Under Emscripten xmp.h would include emscripten.h inside its
# extern "C" block, which C++ refuses; with XMP_SYM_VISIBILITY its declarations only say what they
# export.
add_library(kaleth_xmp INTERFACE)
target_include_directories(kaleth_xmp INTERFACE ${KALETH_WEB_XMP}/include)
target_compile_definitions(kaleth_xmp INTERFACE XMP_SYM_VISIBILITY)
target_link_libraries(kaleth_xmp INTERFACE ${KALETH_WEB_XMP}/lib/libxmp.a)
# The floors as natively; the x86-only shaders compile to their portable stand-ins.
include(cmake/Floors.cmake)
# The 3D device and its pipeline are optimised as one at the link (-flto), which inlines the
# small functions they call across files on every vertex, triangle and row (slot 0 draws a fifth
# faster). Nothing on the way to the waits is among them: the whole program optimised so inlines
# those functions into others that the Asyncify list below does not name, and the page stops
# presenting.
file(GLOB_RECURSE KALETH_WEB_WHOLE_SOURCES CONFIGURE_DEPENDS platform/direct3d/*.cpp)
set_source_files_properties(${KALETH_WEB_WHOLE_SOURCES} PROPERTIES COMPILE_OPTIONS -flto)
file(GLOB KALETH_WEB_SOURCES CONFIGURE_DEPENDS platform/backends/web/*.cpp)
add_library(kaleth_backend_web STATIC ${KALETH_WEB_SOURCES})
target_link_libraries(kaleth_backend_web PUBLIC kaleth_backend_common kaleth_soundlib)
file(GLOB KALETH_CAPTURE_RUN_SOURCES CONFIGURE_DEPENDS tools/capture/*.cpp)
add_library(kaleth_capture_run STATIC ${KALETH_CAPTURE_RUN_SOURCES})
target_link_libraries(kaleth_capture_run PUBLIC kaleth_system kaleth_backend_headless)

# The page's capture mode takes kaleth-capture's options.
add_executable(kaleth apps/kaleth-web/main.cpp)
target_link_libraries(kaleth PRIVATE kaleth_system kaleth_backend_web kaleth_capture_run)
set_target_properties(kaleth PROPERTIES SUFFIX ".js" LINK_DEPENDS ${CMAKE_BINARY_DIR}/asyncify-only.txt)
if(KALETH_WEB_THREADS)
  set_target_properties(kaleth PROPERTIES OUTPUT_NAME kaleth-threads)
  target_link_options(kaleth PRIVATE -sPTHREAD_POOL_SIZE=2 -sENVIRONMENT=web,worker)
else()
  target_link_options(kaleth PRIVATE -sENVIRONMENT=web)
endif()
# The main loop waits in Sleep and in the present (and the capture mode where it hands a frame to
# the page); Asyncify unwinds it to the browser there. Only the functions that can be on the stack
# then are instrumented, as the optimiser leaves them (some of those below are inlined into their
# callers and match nothing: the linker says so). The drawing code is not among them, and runs
# as it would without Asyncify. The exceptions' JavaScript trampolines (dynCall_*) are on the way.
# Wildcards keep parentheses, commas and spaces out of the names.
set(KALETH_WEB_UNWINDING
  main
  *PlayInRealTime*
  *Capture*CaptureOptions*
  std::__2::function*FrameView*
  std::__2::__function::__value_func*FrameView*
  Session::*
  BeginRun*
  ShowLoadingPicture*
  RunMainLoop*
  PresentFrame*
  Sleep*
  IDirectDrawSurface4::Blt*
  IDirectDrawSurface4::Flip*
  IDirectDrawSurface4::flipPages*
  IDirectDrawSurface4::presentToScreen*
  WebBackend::*
  HeadlessBackend::Present*
  dynCall_*)
list(JOIN KALETH_WEB_UNWINDING "\n" KALETH_WEB_UNWINDING_LINES)
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/asyncify-only.txt CONTENT "${KALETH_WEB_UNWINDING_LINES}\n" @ONLY)
# main runs when the page says so (Play, or a capture).
target_link_options(kaleth PRIVATE
  -sASYNCIFY=1 -sASYNCIFY_STACK_SIZE=65536 -sASYNCIFY_ONLY=@${CMAKE_BINARY_DIR}/asyncify-only.txt
  -sALLOW_MEMORY_GROWTH=1 -sINITIAL_MEMORY=67108864
  -sINVOKE_RUN=0 -sEXIT_RUNTIME=0
  "-sEXPORTED_RUNTIME_METHODS=['callMain','FS']"
  "-sEXPORTED_FUNCTIONS=['_main','_kaleth_web_stop','_kaleth_web_preview','_kaleth_web_sound_fill']")
