# The web page (included by the Makefile): make web, make serve-web, make test-web, make bench-web.
WEB_BUILD  ?= build-web
WEB_PORT   ?= 8000
# Emscripten's JavaScript tools find their modules only where Debian puts them, whichever node runs.
WEB_ENV    := NODE_PATH=/usr/share/nodejs$(if $(NODE_PATH),:$(NODE_PATH))
WEB_DRIVER := $(WEB_BUILD)/driver

$(WEB_BUILD)/libxmp/lib/libxmp.a: | deps
	scripts/build-web-libxmp.sh $(WEB_BUILD)/libxmp

# The program is built twice, without threads in cmake/ and with them in cmake-threads/ (every
# object again, for shared memory); both link the same libxmp.
$(WEB_BUILD)/cmake/build.ninja: $(WEB_BUILD)/libxmp/lib/libxmp.a | deps
	$(WEB_ENV) emcmake cmake -S . -B $(WEB_BUILD)/cmake -G Ninja -DCMAKE_BUILD_TYPE=Release \
	  -DKALETH_WEB_XMP=$(abspath $(WEB_BUILD)/libxmp)

$(WEB_BUILD)/cmake-threads/build.ninja: $(WEB_BUILD)/libxmp/lib/libxmp.a | deps
	$(WEB_ENV) emcmake cmake -S . -B $(WEB_BUILD)/cmake-threads -G Ninja -DCMAKE_BUILD_TYPE=Release \
	  -DKALETH_WEB_XMP=$(abspath $(WEB_BUILD)/libxmp) -DKALETH_WEB_THREADS=ON

# The page is the files at the top of $(WEB_BUILD): index.html, kaleth-page.js, kaleth-sound.js,
# kaleth.js and kaleth.wasm, kaleth-threads.js, kaleth-threads.wasm and kaleth-threads.worker.js,
# kaleth.pak (made by the native build) and the source it was built from; the folders below hold
# the builds, made one after the other.
WEB_PROGRAM := $(addprefix $(WEB_BUILD)/cmake/,kaleth.js kaleth.wasm) \
  $(addprefix $(WEB_BUILD)/cmake-threads/,kaleth-threads.js kaleth-threads.wasm kaleth-threads.worker.js)
web: build $(WEB_BUILD)/cmake/build.ninja $(WEB_BUILD)/cmake-threads/build.ninja
	$(WEB_ENV) cmake --build $(WEB_BUILD)/cmake -j $(JOBS)
	$(WEB_ENV) cmake --build $(WEB_BUILD)/cmake-threads -j $(JOBS)
	cp $(WEB_PROGRAM) apps/kaleth-web/page/* $(BUILD)/kaleth.pak $(WEB_BUILD)/
	git archive --format=tar.gz --prefix=kaleth/ -o $(WEB_BUILD)/kaleth-source.tar.gz HEAD

# Cross-origin isolated (the two headers of apps/kaleth-web/serve.py), so the page runs with threads.
serve-web: web
	@echo "serve-web: open http://localhost:$(WEB_PORT)/ (Ctrl+C ends)"
	python3 apps/kaleth-web/serve.py $(WEB_BUILD) $(WEB_PORT)

# The browser tests' driver (puppeteer-core, which uses Debian's chromium) from the npm registry,
# at the versions of the lock file.
$(WEB_DRIVER)/node_modules/.installed: tests/web/package.json tests/web/package-lock.json
	mkdir -p $(WEB_DRIVER)
	cp tests/web/package.json tests/web/package-lock.json $(WEB_DRIVER)/
	cd $(WEB_DRIVER) && npm ci --no-audit --no-fund --ignore-scripts
	touch $@

WEB_TEST_ENV := NODE_PATH=$(abspath $(WEB_DRIVER)/node_modules) KALETH_WEB_SITE=$(abspath $(WEB_BUILD)) \
  KALETH_BUILD=$(abspath $(BUILD))

# In Debian's chromium, headless: the capture mode against kaleth-capture, the page played for a few
# seconds, and a missing and a damaged package.
test-web: web $(WEB_DRIVER)/node_modules/.installed
	$(WEB_TEST_ENV) node --test tests/web/

# The page beside kaleth-bench at one thread, from its Release build (as make bench builds it).
bench-web: web $(WEB_DRIVER)/node_modules/.installed $(BENCH_BUILD)/build.ninja
	cmake --build $(BENCH_BUILD) -j $(JOBS) --target kaleth-bench
	$(WEB_TEST_ENV) KALETH_BENCH=$(abspath $(BENCH_BUILD))/kaleth-bench node tests/web/bench.js
