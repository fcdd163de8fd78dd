# The project's front door: thin targets over CMake and CTest.
#   make            build the tool (build/lorvink)
#   make run        build it and dump the sample map
#   make test       build and run every test suite
#   make windows    cross-build the 32-bit Windows console program
#   make bench      time the tool against dd and a Python script
#   make install    install (PREFIX=/usr/local, DESTDIR honoured)
#   make package    .deb, .tar.gz and the Windows .zip

PREFIX ?= /usr/local
BUILD ?= build
BUILD_WINDOWS ?= build-windows
BUILD_SANITIZE ?= build-sanitize
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
GENERATOR := $(if $(shell command -v ninja 2>/dev/null),-G Ninja,)
CMAKE_FLAGS ?=

.PHONY: all build configure run test test-sanitize sanitize fuzz lint windows bench install package clean deps

all: build

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=Release -DCMAKE_EXPORT_COMPILE_COMMANDS=ON $(CMAKE_FLAGS)

configure: $(BUILD)/CMakeCache.txt

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: configure
	@cmake --build $(BUILD) -j $(JOBS) --target run

FUZZ_SECONDS ?= 60

# The normal suites (Linux and, under wine, Windows), then the sanitizer build
# with its bounded fuzz runs, then the analysers.
test: deps build
	@rm -f $(BUILD)/windows-suite-skipped.txt
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)
	@if [ -f $(BUILD)/windows-suite-skipped.txt ]; then \
	  echo "NOTE: the Windows suite was skipped: $$(cat $(BUILD)/windows-suite-skipped.txt)"; fi
	$(MAKE) --no-print-directory test-sanitize
	$(MAKE) --no-print-directory lint

$(BUILD_SANITIZE)/CMakeCache.txt:
	CXX=clang++ cmake -S . -B $(BUILD_SANITIZE) $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DLORVINK_SANITIZE=address,undefined -DLORVINK_FUZZ=ON -DLORVINK_WINDOWS=OFF

sanitize: $(BUILD_SANITIZE)/CMakeCache.txt
	cmake --build $(BUILD_SANITIZE) -j $(JOBS)

test-sanitize: sanitize
	ctest --test-dir $(BUILD_SANITIZE) --output-on-failure -j $(JOBS)

lint: configure
	bash tools/lint.sh $(BUILD)

# Each fuzz target for FUZZ_SECONDS (make test gives each a few seconds).
fuzz: sanitize
	LORVINK_FUZZ_SECONDS=$(FUZZ_SECONDS) ctest --test-dir $(BUILD_SANITIZE) --output-on-failure -L fuzz -j $(JOBS)

deps:
	@bash tools/install-deps.sh

windows:
	cmake -S . -B $(BUILD_WINDOWS) $(GENERATOR) -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake
	cmake --build $(BUILD_WINDOWS) -j $(JOBS)

bench: build
	cmake --build $(BUILD) --target bench

install: build
	DESTDIR=$(DESTDIR) cmake --install $(BUILD) --prefix $(PREFIX) --strip

# A .deb and a .tar.gz of the Linux build, a .zip of the Windows one.
package: build windows
	cd $(BUILD) && cpack
	cd $(BUILD_WINDOWS) && cpack
	@ls -1 $(BUILD)/lorvink*.deb $(BUILD)/lorvink-*.tar.gz $(BUILD_WINDOWS)/lorvink-*.zip

clean:
	rm -rf $(BUILD) $(BUILD_WINDOWS) $(BUILD_SANITIZE)
