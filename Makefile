# The two commands of the README: `make run` and `make test`.
BUILD_DIR ?= build
JOBS ?= $(shell nproc)

.PHONY: all deps configure build run test test-slow test-sanitize bench fuzz clean

all: build

deps:
	./scripts/install-deps.sh

# Ninja keeps both cores busy across targets, where make waits for each library before the
# programs that use it. A build folder keeps the generator it was first made with.
GENERATOR = $(shell [ ! -f $(BUILD_DIR)/CMakeCache.txt ] && command -v ninja >/dev/null && echo -G Ninja)
# Most tests wait on other processes and on the disk more than they compute.
TEST_JOBS ?= $(shell echo $$(( $(JOBS) * 2 )))

configure: deps
	cmake -S . -B $(BUILD_DIR) $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

# Starts Vellumar on the library in the build folder; without a display it runs under Xvfb.
run: build
	@if [ -n "$$DISPLAY" ] || [ -n "$$WAYLAND_DISPLAY" ]; then \
		./$(BUILD_DIR)/vellumar; \
	else \
		echo "No display found: running Vellumar on a virtual display (xvfb-run)."; \
		xvfb-run -a -s "-screen 0 1400x900x24" ./$(BUILD_DIR)/vellumar; \
	fi

# The tests labelled "slow" (imports killed at random moments) run with make test-slow.
test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(TEST_JOBS) -LE slow

test-slow: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -L slow

# Runs each test program whole, in one process, under AddressSanitizer and
# UndefinedBehaviorSanitizer (in a build of its own, build-sanitize/): a test that leaves something
# behind for a later one shows here, where ctest's one process per test hides it.
test-sanitize: deps
	./scripts/test-sanitize.sh

bench: build
	cmake --build $(BUILD_DIR) -j $(JOBS) --target vellumar_bench vellumar_gui_bench
	./$(BUILD_DIR)/bench/vellumar_bench
	QT_QPA_PLATFORM=offscreen ./$(BUILD_DIR)/bench/vellumar_gui_bench

# Makes the Debian package build/vellumar_<version>_amd64.deb; `sudo apt-get install ./build/vellumar_*.deb`
# installs it.
.PHONY: package
package: build
	cd $(BUILD_DIR) && cpack -G DEB

# Fuzzes the exchange-file readers for FUZZ_SECONDS in a clang build of its own (build-fuzz).
FUZZ_SECONDS ?= 60
fuzz:
	./scripts/install-deps.sh --fuzz
	./scripts/fuzz.sh $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD_DIR)
