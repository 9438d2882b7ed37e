# Two commands get a newcomer going: `make test` and `make run`.
BUILD ?= build
CMAKE_FLAGS ?=

.PHONY: all deps configure build test run deb bench fuzz clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS) > /dev/null

build: configure
	@cmake --build $(BUILD)

test: build
	@cd $(BUILD) && ctest --output-on-failure

# Starts Lexbay on the sample course in the staged program folder.
run: build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	  echo "make run: there is no display to show the window on (DISPLAY is not set)."; \
	  echo "On a machine without a screen, run it in a virtual one:"; \
	  echo "  xvfb-run -a -s '-screen 0 1280x900x24' $(BUILD)/app/Lexbay"; \
	  exit 1; \
	fi
	@$(BUILD)/app/Lexbay

# The Debian package, $(BUILD)/lexbay_<version>_amd64.deb; install it with
#   sudo apt install ./$(BUILD)/lexbay_*.deb
deb: build
	@cd $(BUILD) && cpack --config CPackConfig.cmake

bench: build
	@bench/run-all $(BUILD)

# Fuzzes each course-data reader for FUZZ_SECONDS (default 30) seconds.
fuzz: deps
	@scripts/fuzz $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD)
