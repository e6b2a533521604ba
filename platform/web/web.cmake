# The web page: the system on the web backend, compiled to WebAssembly by Emscripten (make web).
# libxmp comes from KALETH_WEB_XMP (a prefix with include/xmp.h and lib/libxmp.a, built by
# scripts/build-web-libxmp.sh).
set(KALETH_WEB_XMP "" CACHE PATH "libxmp built for WebAssembly")
if(NOT EXISTS "${KALETH_WEB_XMP}/include/xmp.h")
  message(FATAL_ERROR "no libxmp for WebAssembly in KALETH_WEB_XMP='${KALETH_WEB_XMP}'")
endif()

# SSE2 intrinsics become WebAssembly SIMD; C++ exceptions carry the fatal errors to the entry.
add_compile_options(-msimd128 -msse2 -fexceptions)
add_link_options(-fexceptions)

# Every platform source but the SDL backend's and the executables' own; the x86-only shaders
# compile to their portable stand-ins.
file(GLOB_RECURSE KALETH_PLATFORM_SOURCES CONFIGURE_DEPENDS platform/*.cpp)
list(FILTER KALETH_PLATFORM_SOURCES EXCLUDE REGEX "/platform/main/|/sdl_[^/]*$")
add_library(kaleth_platform STATIC ${KALETH_PLATFORM_SOURCES})
target_include_directories(kaleth_platform PUBLIC ${CMAKE_SOURCE_DIR} ${KALETH_WEB_XMP}/include)
# Under Emscripten xmp.h would include emscripten.h inside its extern "C" block, which C++ refuses;
# with this its declarations only say what they export.
target_compile_definitions(kaleth_platform PUBLIC XMP_SYM_VISIBILITY)
target_link_libraries(kaleth_platform PUBLIC ${KALETH_WEB_XMP}/lib/libxmp.a)

file(GLOB_RECURSE KALETH_SYSTEM_SOURCES CONFIGURE_DEPENDS
  runtime/*.cpp display/*.cpp d3d/*.cpp data/*.cpp music/*.cpp scenes/*.cpp)
add_library(kaleth_system STATIC ${KALETH_SYSTEM_SOURCES})
target_link_libraries(kaleth_system PUBLIC kaleth_platform)

# The page's capture mode takes kaleth-capture's options.
add_executable(kaleth platform/main/web_main.cpp tools/capture/capture_options.cpp tools/capture/capture_run.cpp)
target_link_libraries(kaleth PRIVATE kaleth_system)
set_target_properties(kaleth PROPERTIES SUFFIX ".js")
# The main loop waits in Sleep and in the present; Asyncify unwinds it to the browser there.
# main runs when the page says so (Play, or a capture).
target_link_options(kaleth PRIVATE
  -sASYNCIFY=1 -sASYNCIFY_STACK_SIZE=65536
  -sALLOW_MEMORY_GROWTH=1 -sINITIAL_MEMORY=67108864
  -sINVOKE_RUN=0 -sEXIT_RUNTIME=0 -sENVIRONMENT=web
  "-sEXPORTED_RUNTIME_METHODS=['callMain','FS']"
  "-sEXPORTED_FUNCTIONS=['_main','_kaleth_web_stop','_kaleth_web_preview','_kaleth_web_sound_fill']")
