# The Windows release (included by the Makefile): make windows, make test-windows.
WIN_BUILD ?= build-win
WIN_DEPS  := $(WIN_BUILD)/deps

$(WIN_DEPS)/sdl2.built: scripts/build-win-deps.sh | deps
	JOBS=$(JOBS) scripts/build-win-deps.sh $(WIN_DEPS)

# The Linux build's optimisation, so that both compute the same bytes; without its debugging
# information, which the release strips anyway.
$(WIN_BUILD)/cmake/build.ninja: $(WIN_DEPS)/sdl2.built | deps
	cmake -S . -B $(WIN_BUILD)/cmake -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O2 -DNDEBUG" -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -DNDEBUG" \
	  -DCMAKE_TOOLCHAIN_FILE=$(abspath cmake/mingw-w64-x86_64.cmake) \
	  -DKALETH_WIN_DEPS=$(abspath $(WIN_DEPS)/prefix) -DKALETH_NATIVE_BUILD=$(abspath $(BUILD))

# The programs, and the zip they are shipped in: $(WIN_BUILD)/kaleth-<version>-win64.zip.
windows: build $(WIN_BUILD)/cmake/build.ninja
	cmake --build $(WIN_BUILD)/cmake -j $(JOBS)
	scripts/make-win-release.sh $(WIN_BUILD)

# Under Wine, in a display, a window manager and a sound server of its own.
test-windows: windows
	KALETH_BUILD=$(abspath $(BUILD)) scripts/test-windows.sh $(WIN_BUILD)
