# The two commands for a fresh machine:
#   make run    install what is missing, build, start the program
#   make test   install what is missing, build, run every test suite
#               (plain build, sanitizer build, bounded fuzzing)
#   make check  the fast loop: plain build and the unit tests only

JOBS ?= $(shell nproc)
# Warnings are errors in CI.
WERROR ?= $(if $(CI),ON,OFF)
FUZZ_SECONDS ?= 60

.PHONY: run test check format-check build setup-build setup-test test-plain test-asan fuzz bench clean

run: setup-build build
	exec build/bin/lumivant

test: setup-test format-check fuzz test-asan test-plain

setup-build:
	@scripts/setup.sh build

setup-test:
	@scripts/setup.sh test

build:
	cmake -S . -B build -DLUMIVANT_WERROR=$(WERROR) >/dev/null
	cmake --build build -j$(JOBS)

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
