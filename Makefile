# The two commands for a fresh machine:
#   make run    install what is missing, build, start the program
#   make test   install what is missing, build, run every test suite
#               (plain build, sanitizer build, bounded fuzzing, install
#               and Debian package)
#   make check  the fast loop: plain build and the unit tests only
#   make windows  cross-build the Windows programs and the zip (build/win64)
#   make install  install the programs and their desktop files (PREFIX, DESTDIR)
#   make uninstall  remove what make install installed
#   make package  the Debian package build/lumivant_VERSION_ARCH.deb

JOBS ?= $(shell nproc)
# Warnings are errors in CI.
WERROR ?= $(if $(CI),ON,OFF)
FUZZ_SECONDS ?= 60
PREFIX ?= /usr/local

.PHONY: run test check format-check build setup-build setup-test setup-windows setup-package windows test-windows \
	test-plain test-asan test-install fuzz bench clean programs install uninstall package

run: setup-build build
	exec build/bin/lumivant

test: setup-test format-check fuzz test-asan test-plain test-install test-windows

setup-build:
	@scripts/setup.sh build

setup-test:
	@scripts/setup.sh test

setup-windows:
	@scripts/setup.sh windows

setup-package:
	@scripts/setup.sh package

# SDL2, FreeType and GoogleTest built for Windows from Debian's sources, once,
# into a cache outside the checkout; then the project, then the zip.
WIN64 = build/win64
# Build-time tools and tests run under wine, in a prefix of the build's own.
windows test-windows: export WINEPREFIX = $(CURDIR)/$(WIN64)/wineprefix
windows test-windows: export WINEDEBUG = -all
windows: setup-windows
	deps=$$(scripts/win64-deps.sh | tail -n 1) && \
	cmake -S . -B $(WIN64) -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64.cmake \
	  -DLUMIVANT_WIN64_DEPS=$$deps -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMIVANT_WERROR=$(WERROR) >/dev/null && \
	cmake --build $(WIN64) -j$(JOBS) && \
	wineserver -w && \
	scripts/package-win64.sh $(WIN64) $$deps $$(scripts/project-version.sh)

# The Windows test programs under wine, one wine server for the whole run;
# then the Windows program beside the Linux one on a private X server.
test-windows: windows build
	tests/windows/check_package.sh $(WIN64) $$(scripts/project-version.sh)
	scripts/wine-ctest.sh $(WIN64) -j$(JOBS)
	tests/gdi/differential/compare_with_wine.sh build/bin/drawing_cases $(WIN64)/bin/drawing_cases.exe
	WINEPREFIX=$(CURDIR)/$(WIN64)/e2e-prefix tests/e2e/lumivant_wine.sh build/bin/lumivant $(WIN64)/bin/lumivant.exe \
	  $(WIN64)/tests/windows/winelvtest.drv

build:
	cmake -S . -B build -DLUMIVANT_WERROR=$(WERROR) >/dev/null
	cmake --build build -j$(JOBS)

# The two installed programs alone, for installing and packing.
programs: setup-build
	cmake -S . -B build -DLUMIVANT_WERROR=$(WERROR) >/dev/null
	cmake --build build -j$(JOBS) --target lumivant bitmaplist

install: programs
	DESTDIR="$(if $(DESTDIR),$(abspath $(DESTDIR)))" scripts/install.sh build $(PREFIX) build/installed

uninstall:
	scripts/uninstall.sh build/installed

package: setup-package programs
	cd build && cpack

# An install into a scratch root, checked file by file and removed again;
# then the package installed on this machine with apt-get and removed again.
test-install: programs package
	tests/install/check_install.sh build
	tests/install/check_package.sh build

check: setup-test build
	cd build && ctest --output-on-failure -j$(JOBS) -LE e2e

# Every C++ file as .clang-format lays it out; `clang-format -i FILE` mends one.
format-check:
	clang-format --dry-run --Werror $$(git ls-files '*.cpp' '*.h' '*.inc')

test-plain: build
	cd build && ctest --output-on-failure -j$(JOBS)

test-asan:
	cmake -S . -B build/asan -DLUMIVANT_SANITIZE=ON -DLUMIVANT_WERROR=$(WERROR) >/dev/null
	cmake --build build/asan -j$(JOBS)
	cd build/asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 ctest --output-on-failure -j$(JOBS)

fuzz:
	cmake -S . -B build/fuzz -DLUMIVANT_FUZZ=ON -DCMAKE_C_COMPILER=clang \
	  -DCMAKE_CXX_COMPILER=clang++ -DLUMIVANT_WERROR=$(WERROR) >/dev/null
	cmake --build build/fuzz -j$(JOBS)
	scripts/fuzz.sh build/fuzz/bin $(FUZZ_SECONDS)

bench: build
	build/bin/gdi_bench
	build/bin/controls_bench
	build/bin/button_bench
	build/bin/codec_bench
	bash bench/app_bench.sh build

clean:
	rm -rf build
