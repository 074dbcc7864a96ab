# Top-level driver: installs dependencies, configures CMake and builds.
#   make run            - install, build and run the main program
#   make test           - install, build and run every test
#   make test-sanitize  - the same under AddressSanitizer and
#                         UndefinedBehaviorSanitizer (clang, build-sanitize/),
#                         then each fuzz target for FUZZ_SECONDS on its corpus
#   make bench          - install, build and run the benchmarks

BUILD ?= build
# Optimised, without debug information: a third less compile time, the same
# code. For a debugger: make BUILD_TYPE=RelWithDebInfo (or Debug).
BUILD_TYPE ?= Release
JOBS ?= $(shell nproc)

SANITIZE_BUILD ?= build-sanitize
FUZZ_SECONDS ?= 60

.PHONY: all deps configure build test run bench clean \
	deps-sanitize configure-sanitize build-sanitize test-sanitize

all: build

deps:
	scripts/install-deps

configure: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

run: build
	scripts/run-main $(BUILD)

bench: build
	$(BUILD)/bench/veltrane-bench-cpu
	$(BUILD)/bench/veltrane-bench-audio
	$(BUILD)/bench/veltrane-bench-video

deps-sanitize:
	scripts/install-deps sanitize

configure-sanitize: deps-sanitize
	cmake -S . -B $(SANITIZE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DVELTRANE_SANITIZE=ON

build-sanitize: configure-sanitize
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)

test-sanitize: build-sanitize
	@start=$$(date +%s); status=0; scripts/test-sanitize $(SANITIZE_BUILD) $(JOBS) || status=$$?; \
	  echo "test-sanitize: the tests took $$(($$(date +%s) - $$start)) s"; exit $$status
	scripts/fuzz-smoke $(SANITIZE_BUILD) $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD)
