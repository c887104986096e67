# Entry points; the build itself is CMake (CMakePresets.json).
#   make demo   build the 64-bit DLL and run the demo under Wine
#   make test   build every configuration and run every test
#   make smoke32  run the 32-bit demo under 32-bit Wine, where installed
#   make package  the ZIPs of both Windows DLLs, in build/win32/package and build/win64/package
JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 20
WIN64_PREFIX := $(CURDIR)/build/win64/wineprefix

.PHONY: all demo test test-linux test-win64 test-win32 fuzz bench bench-win64 smoke32 package format clean \
        configure-%

all: build-linux build-win64 build-win32

configure-%:
	cmake --preset $* >/dev/null

build-%: configure-%
	cmake --build --preset $* -j $(JOBS)

# The file operation demo shows its progress dialog: without an X display
# the demo runs under Xvfb.
demo: build-win64
	@if [ -n "$$DISPLAY" ]; then scripts/wine-run.sh $(WIN64_PREFIX) build/win64/bin/demo.exe; \
	else xvfb-run -a scripts/wine-run.sh $(WIN64_PREFIX) build/win64/bin/demo.exe; fi

test: test-linux test-win64 test-win32 fuzz
	@echo "All configurations built and tested."

test-linux: build-linux build-linux-release
	ctest --preset linux -j $(JOBS)

# The Wine tests share one X display and one persistent wineserver, which
# is stopped afterwards whatever the outcome.
test-win64: build-win64
	xvfb-run -a sh -c 'ctest --preset win64 -j $(JOBS); rc=$$?; \
	  WINEPREFIX=$(WIN64_PREFIX) wineserver -k 2>/dev/null; exit $$rc'

test-win32: build-win32
	ctest --preset win32

fuzz: build-fuzz
	@for f in build/fuzz/bin/*_fuzz; do \
	  name=$$(basename $$f _fuzz); \
	  echo "fuzzing $$name for $(FUZZ_SECONDS) s"; \
	  mkdir -p build/fuzz/corpus/$$name; \
	  $$f -max_total_time=$(FUZZ_SECONDS) build/fuzz/corpus/$$name fuzz/corpus/$$name \
	      >build/fuzz/$$name.log 2>&1 || { tail -n 40 build/fuzz/$$name.log; exit 1; }; \
	  tail -n 1 build/fuzz/$$name.log; \
	done

# Benchmarks run from build/linux-release, where the corpus's real prose is
# fetched once (bench/corpus/fetch-prose.sh; synthetic text without it).
bench: build-linux-release
	bench/corpus/fetch-prose.sh build/linux-release/corpus
	@cd build/linux-release && for b in bin/*_bench; do ./$$b || exit 1; done

# The file operation engine's copies against a flushing copy loop and
# CopyFileA, under Wine with an X display (FILEOP_BENCH_MIB sets the large
# file's size; 256 by default).
FILEOP_BENCH_MIB ?= 256
bench-win64: build-win64
	xvfb-run -a sh -c 'scripts/wine-run.sh $(WIN64_PREFIX) build/win64/bin/fileop_copy_bench.exe \
	  $(FILEOP_BENCH_MIB); rc=$$?; WINEPREFIX=$(WIN64_PREFIX) wineserver -k 2>/dev/null; exit $$rc'

smoke32: build-win32
	@if [ -x /usr/lib/wine/wine ]; then \
	  WINEPREFIX=$(CURDIR)/build/win32/wineprefix WINEDEBUG=-all /usr/lib/wine/wine \
	    build/win32/bin/demo.exe; \
	else \
	  echo "32-bit Wine is not installed; the 32-bit DLL is checked statically by make test."; \
	fi

# One ZIP per Windows DLL: the DLL, header, import library, .def and docs.
package: build-win32 build-win64
	cpack --config build/win32/CPackConfig.cmake
	cpack --config build/win64/CPackConfig.cmake

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h' '*.c' '*.inc')

clean:
	rm -rf build
