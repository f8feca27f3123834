# The two ways in: `make run` starts the app, `make test` runs every test.
# Both install what Debian 12 lacks, configure and build first.
PRESET ?= default
BUILD_DIR := build

.PHONY: run test build deps configure clean

run: build
	scripts/run

test: build
	ctest --preset $(PRESET)

build: configure
	cmake --build --preset $(PRESET)

configure: deps
	cmake --preset $(PRESET) >/dev/null

deps:
	scripts/install-deps

clean:
	rm -rf build build-asan
