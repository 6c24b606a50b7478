# make run     builds the Linux program tenebrolite and starts it
# make run-wine builds Tenebrolite.exe and starts it under Wine
# make test    checks the share of test code, builds and runs every test tier
# make fuzz    runs each fuzzer for a minute
# make bench   prints the exe's size, start-up, memory and idle CPU under Wine
# make bench-linux  the Linux program's size and start-up beside an empty Qt program,
#              on Debian 12 and in the Debian 13 root
# make dist    packs Tenebrolite-1.1.0.0-x64.msi, Tenebrolite-1.1.0.0-win64.zip,
#              tenebrolite_1.1.0.0_amd64.deb and tenebrolite-1.1.0.0.x86_64.rpm
# make screenshots  remakes the pictures in docs/

SHELL := /bin/bash
PACKAGES := cmake make g++ googletest clang libclang-rt-14-dev \
            g++-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-win32 wine wine64 xvfb xdotool \
            pkg-config qt6-base-dev libxcb1-dev libxcb-dpms0-dev \
            libxcb-screensaver0-dev libwayland-dev wayland-protocols plasma-wayland-protocols \
            dbus-daemon python3-dbus python3-gi \
            dpkg-dev desktop-file-utils appstream wixl msitools rpm rpmlint xdg-utils
# The real desktop components that the Linux end-to-end tests run against;
# powerdevil's libraries only recommend Qt 5's Wayland platform (qtwayland5).
DESKTOP_PACKAGES := xfce4-panel xfconf xfce4-notifyd kwin-wayland powerdevil qtwayland5 sway \
                    mutter gnome-settings-daemon python3-dbusmock dbus-bin wtype qt6-wayland \
                    waybar grim gnome-shell gnome-shell-extension-appindicator \
                    plasma-workspace plasma-desktop
# The newer desktop generation, Debian 13, in a root of its own under build/
# (tools/debian13.sh): what the linux preset builds with, and the real shells.
DEBIAN13_PACKAGES := cmake make g++ pkg-config googletest qt6-base-dev libxcb1-dev \
                     libxcb-dpms0-dev libxcb-screensaver0-dev libwayland-dev wayland-protocols \
                     plasma-wayland-protocols python3 python3-dbus python3-gi gir1.2-gdkpixbuf-2.0 \
                     dbus-daemon xvfb xdotool xdg-utils file desktop-file-utils appstream \
                     $(DESKTOP_PACKAGES)
FUZZ_SECONDS ?= 60

.PHONY: all deps debian13-root debian13-linux host sanitize windows linux run run-wine test test-host test-sanitize test-windows test-linux test-debian13 fuzz bench bench-linux dist screenshots clean

all: host windows linux

deps:
	@tools/deps.sh $(PACKAGES)
	@tools/deps.sh --no-recommends $(DESKTOP_PACKAGES)

build/%/CMakeCache.txt: | deps
	cmake --preset $* >/dev/null

host: build/host/CMakeCache.txt
	cmake --build --preset host

sanitize: build/sanitize/CMakeCache.txt
	cmake --build --preset sanitize

windows: build/windows/CMakeCache.txt
	cmake --build --preset windows

linux: build/linux/CMakeCache.txt
	cmake --build --preset linux

run: deps linux
	tools/run-linux.sh build/linux/tenebrolite

run-wine: deps windows
	tools/run.sh build/windows/Tenebrolite.exe

test-host: host
	ctest --preset host

test-sanitize: sanitize
	ctest --preset sanitize

test-windows: windows
	tools/wine-session.sh ctest --preset windows

test-linux: linux
	ctest --preset linux

# The same program and end-to-end tests on Debian 13, in its root; the package
# test there installs the package built here, on Debian 12.
test-debian13: linux debian13-linux
	@echo "debian13: the Debian 12 build's package"
	cd build/linux && rm -f tenebrolite_*.deb && cpack -G DEB >/dev/null
	mkdir -p build/debian13 && cp build/linux/tenebrolite_*.deb build/debian13/debian12.deb
	TENEBROLITE_DEB=$(CURDIR)/build/debian13/debian12.deb tools/debian13.sh run ctest --preset debian13

# The unit tests run once, under ASan and UBSan; then the Windows and Linux tiers,
# the Linux one on Debian 12 and in the Debian 13 root.
test: deps
	@tools/test_ratio.sh
	$(MAKE) --no-print-directory test-sanitize
	$(MAKE) --no-print-directory test-windows
	$(MAKE) --no-print-directory test-linux
	$(MAKE) --no-print-directory test-debian13

fuzz: sanitize
	@for f in build/sanitize/fuzz_*; do \
	  tools/fuzz.sh $$f tests/fuzz/seeds/$${f#build/sanitize/fuzz_} $(FUZZ_SECONDS) || exit 1; \
	done

# The Debian 13 root, made when it is not whole, with what it lacks installed;
# the linux preset built in it, against Debian 13's libraries.
debian13-root:
	@tools/debian13.sh make $(DEBIAN13_PACKAGES)

debian13-linux: debian13-root
	@echo "debian13: building with the linux preset in the root"
	tools/debian13.sh run cmake --preset linux >/dev/null
	tools/debian13.sh run cmake --build --preset linux

bench: deps windows
	cmake --build --preset windows --target bench_programs
	tools/wine-session.sh tools/bench.sh build/windows

# On Debian 12, then on Debian 13 in its root, each against its own Qt.
bench-linux: deps linux debian13-linux
	cmake --build --preset linux --target empty_qt_program
	tools/linux-session.sh /usr/bin/python3 tools/bench_linux.py build/linux
	tools/debian13.sh run tools/linux-session.sh /usr/bin/python3 tools/bench_linux.py build/linux

# The Windows build makes the installer; cpack the zip, the Debian package and the RPM.
dist: windows linux
	cd build/windows && cpack >/dev/null
	cd build/linux && rm -f tenebrolite_*.deb tenebrolite-*.rpm && cpack >/dev/null
	@ls -l build/windows/Tenebrolite-*-x64.msi build/windows/Tenebrolite-*-win64.zip \
	  build/linux/tenebrolite_*.deb build/linux/tenebrolite-*.x86_64.rpm

# Chromium renders help.html; only this target installs it.
screenshots: deps windows
	@tools/deps.sh chromium imagemagick
	cmake --build --preset windows --target screenshot_driver
	tools/wine-session.sh tools/screenshots.sh build/windows docs

clean:
	rm -rf build
