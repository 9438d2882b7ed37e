# Two commands get a newcomer going: `make test` and `make run`.
BUILD ?= build
CMAKE_FLAGS ?=

.PHONY: all deps configure build test run bench clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS) > /dev/null

build: configure
	@cmake --build $(BUILD)

test: build
	@cd $(BUILD) && ctest --output-on-failure

bench: build
	@bench/run-all $(BUILD)

clean:
	rm -rf $(BUILD)
