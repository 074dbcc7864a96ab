# Top-level driver: installs dependencies, configures CMake and builds.
#   make run    - install, build and run the main program
#   make test   - install, build and run every test
#   make bench  - install, build and run the benchmarks

BUILD ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc)

.PHONY: all deps configure build test run bench clean

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

clean:
	rm -rf $(BUILD)
