# The two commands of the README: `make demo` and `make test`.
# Both install what is missing (Debian 12, as root), configure and build.

JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 60
CMAKE_FLAGS := $(if $(CI),-DTOVRIN_WERROR=ON,)
# The GUI tests need a display; without one they run under Xvfb.
WITH_DISPLAY := $(if $(DISPLAY),,xvfb-run -a -s "-screen 0 1280x1024x24")

.PHONY: all deps build build-asan windows demo test test-default test-asan test-windows bench fuzz format clean

all: build

deps:
	scripts/install-deps.sh

build: deps
	cmake --preset default $(CMAKE_FLAGS)
	cmake --build --preset default -j $(JOBS)

build-asan: deps
	cmake --preset asan $(CMAKE_FLAGS)
	cmake --build --preset asan -j $(JOBS)

# The Windows program, cross-compiled: build-windows/tovrin.exe.
windows: deps
	cmake --preset windows $(CMAKE_FLAGS)
	cmake --build --preset windows -j $(JOBS)

demo: build
	scripts/demo.sh build/app/tovrin

test: test-default test-asan test-windows

# The Linux build's tests of the Windows program wait for that build.
test-default: build
	$(WITH_DISPLAY) ctest --preset default -j $(JOBS) -LE windows_program

# Leaks are checked everywhere but in the GUI tests, where the toolkit's
# own one-time allocations would drown them.
test-asan: build-asan
	ctest --preset asan -j $(JOBS) -LE 'gui|windows_program'
	ASAN_OPTIONS=detect_leaks=0 $(WITH_DISPLAY) ctest --preset asan -j $(JOBS) -L gui

# The Windows build's tests and the sample update, under Wine; its prefix is
# made on first use in build-windows/wine-prefix. Then its wizard as a user
# meets it, driven from the Linux build's tests through the X display.
test-windows: windows build
	$(WITH_DISPLAY) ctest --preset windows -j $(JOBS)
	$(WITH_DISPLAY) ctest --preset default -L windows_program

bench: build
	scripts/bench.sh build

fuzz: deps
	scripts/fuzz.sh $(FUZZ_SECONDS)

# The house style (.clang-format), applied to every source; a test checks it.
format: deps
	scripts/format.sh

clean:
	rm -rf build build-asan build-fuzz build-windows
