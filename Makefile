# make run     builds Tenebrolite.exe and starts it under Wine
# make test    checks the share of test code, builds and runs every test tier
# make fuzz    runs each fuzzer for a minute
# make bench   prints the start-up and idle measurements under Wine
# make dist    packs Tenebrolite-1.1.0.0-win64.zip
# make screenshots  remakes the pictures in docs/

SHELL := /bin/bash
PACKAGES := cmake make g++ googletest clang libclang-rt-14-dev \
            g++-mingw-w64-x86-64 wine wine64 xvfb xdotool
FUZZ_SECONDS ?= 60

.PHONY: all deps host sanitize windows run test test-host test-sanitize test-windows fuzz bench dist screenshots clean

all: host windows

deps:
	@tools/deps.sh $(PACKAGES)

build/%/CMakeCache.txt: | deps
	cmake --preset $* >/dev/null

host: build/host/CMakeCache.txt
	cmake --build --preset host

sanitize: build/sanitize/CMakeCache.txt
	cmake --build --preset sanitize

windows: build/windows/CMakeCache.txt
	cmake --build --preset windows

run: deps windows
	tools/run.sh build/windows/Tenebrolite.exe

test-host: host
	ctest --preset host

test-sanitize: sanitize
	ctest --preset sanitize

test-windows: windows
	tools/wine-session.sh ctest --preset windows

# The unit tests run once, under ASan and UBSan; then the Windows tiers.
test: deps
	@tools/test_ratio.sh
	$(MAKE) --no-print-directory test-sanitize
	$(MAKE) --no-print-directory test-windows

fuzz: sanitize
	@for f in build/sanitize/fuzz_*; do \
	  tools/fuzz.sh $$f tests/fuzz/seeds/$${f#build/sanitize/fuzz_} $(FUZZ_SECONDS) || exit 1; \
	done

bench: deps windows
	tools/wine-session.sh tools/bench.sh build/windows

dist: windows
	cd build/windows && cpack >/dev/null
	@ls -l build/windows/Tenebrolite-*-win64.zip

# Chromium renders help.html; only this target installs it.
screenshots: deps windows
	@tools/deps.sh chromium imagemagick
	cmake --build --preset windows --target screenshot_driver
	tools/wine-session.sh tools/screenshots.sh build/windows docs

clean:
	rm -rf build
