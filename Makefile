# make run   builds Tenebrolite.exe and starts it under Wine
# make test  builds everything and runs every test tier

SHELL := /bin/bash
PACKAGES := cmake g++ make googletest g++-mingw-w64-x86-64 wine wine64 xvfb xdotool

.PHONY: all deps host windows run test test-host test-windows clean

all: host windows

deps:
	@tools/deps.sh $(PACKAGES)

build/host/CMakeCache.txt: | deps
	cmake --preset host >/dev/null

build/windows/CMakeCache.txt: | deps
	cmake --preset windows >/dev/null

host: build/host/CMakeCache.txt
	cmake --build --preset host

windows: build/windows/CMakeCache.txt
	cmake --build --preset windows

run: deps windows
	tools/run.sh build/windows/Tenebrolite.exe

test-host: host
	ctest --preset host

test-windows: windows
	tools/wine-session.sh ctest --preset windows

test: deps
	$(MAKE) --no-print-directory test-host
	$(MAKE) --no-print-directory test-windows

clean:
	rm -rf build
