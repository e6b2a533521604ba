# The README's commands. Each installs what is missing, configures and builds first.
BUILD      ?= build
ASAN_BUILD ?= build-asan
BENCH_BUILD ?= build-release
TSAN_BUILD ?= build-tsan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 15
FUZZERS    := pak_directory pcx mesh3ds module
JOBS       ?= $(shell nproc)
ARGS       ?=

.PHONY: all deps build asan tsan test-threads run test bench fuzz-smoke package install clean web serve-web test-web bench-web windows test-windows

all: build

deps:
	@scripts/install-deps.sh

$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

$(ASAN_BUILD)/build.ninja: | deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKALETH_SANITIZE=ON

$(TSAN_BUILD)/build.ninja: | deps
	cmake -S . -B $(TSAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKALETH_THREAD_SANITIZE=ON

$(BENCH_BUILD)/build.ninja: | deps
	cmake -S . -B $(BENCH_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

asan: deps $(ASAN_BUILD)/build.ninja
	cmake --build $(ASAN_BUILD) -j $(JOBS)

# ThreadSanitizer over the tests of what the worker pool runs (the pool, the 3D pipeline, the
# scenes), with a pool of four threads whatever the machine has; any report fails the run.
tsan: deps $(TSAN_BUILD)/build.ninja
	cmake --build $(TSAN_BUILD) -j $(JOBS) --target kaleth-thread-tests

test-threads: tsan
	cd $(TSAN_BUILD) && KALETH_THREADS=4 TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 ./kaleth-thread-tests

run: build
	cd $(BUILD) && ./kaleth $(ARGS)

test: build asan
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	cd $(ASAN_BUILD) && ctest --output-on-failure -j $(JOBS)
	$(MAKE) test-threads
	$(MAKE) fuzz-smoke
	$(MAKE) test-web
	$(MAKE) test-windows

$(FUZZ_BUILD)/build.ninja: | deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKALETH_FUZZ=ON

# Each reader's fuzzer for a short fixed time, starting from the committed seeds in fuzz-corpus/
# (read only; what the fuzzer adds goes to $(FUZZ_BUILD)/corpus/). An input that ends badly is
# left in $(FUZZ_BUILD)/found/; once mended it is kept under tests/fuzz/regressions/READER/.
fuzz-smoke: $(FUZZ_BUILD)/build.ninja
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target $(addprefix kaleth-fuzz-,$(FUZZERS))
	@for f in $(FUZZERS); do \
	  mkdir -p $(FUZZ_BUILD)/corpus/$$f $(FUZZ_BUILD)/found && \
	  echo "fuzz-smoke: kaleth-fuzz-$$f for $(FUZZ_SECONDS) s" && \
	  $(FUZZ_BUILD)/kaleth-fuzz-$$f -max_total_time=$(FUZZ_SECONDS) -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
	    -artifact_prefix=$(FUZZ_BUILD)/found/$$f- \
	    $(FUZZ_BUILD)/corpus/$$f fuzz-corpus/$$f 2>$(FUZZ_BUILD)/$$f.log || { tail -40 $(FUZZ_BUILD)/$$f.log; exit 1; }; \
	  grep -E "stat::number_of_executed_units|stat::peak_rss_mb" $(FUZZ_BUILD)/$$f.log; \
	done

# Frame costs are measured on a Release build of their own; the package comes with the tool.
bench: deps $(BENCH_BUILD)/build.ninja
	cmake --build $(BENCH_BUILD) -j $(JOBS) --target kaleth-bench
	cd $(BENCH_BUILD) && ./kaleth-bench $(ARGS)

# The Debian package, from the normal build: build/kaleth_<version>_<architecture>.deb. The tests
# in build/ make it too, and check it.
package: build
	cmake --build $(BUILD) -j $(JOBS) --target package

# The same files straight onto this machine, under PREFIX (default /usr/local).
PREFIX ?= /usr/local
install: build
	cmake --install $(BUILD) --strip --prefix $(PREFIX)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(TSAN_BUILD) $(BENCH_BUILD) $(FUZZ_BUILD) $(WEB_BUILD) $(WIN_BUILD)

include apps/kaleth-web/web.mk
include packaging/windows/windows.mk
