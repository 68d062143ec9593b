# Convenience front end over CMake. `make test` configures, builds and runs every
# test, each GoogleTest case as a CTest test of its own (`ctest -R` picks one);
# `make demo` builds the tool alone and runs a full analysis of the bundled sample.
BUILD ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_ARGS ?=

.PHONY: all build test test-sanitize test-checked fuzz bench clean

all: build

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release $(CMAKE_ARGS)

build: $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The whole test suite again under AddressSanitizer, UndefinedBehaviorSanitizer
# and the leak checker.
test-sanitize:
	$(MAKE) test BUILD=build-sanitize CMAKE_ARGS="-DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUARVEL_SANITIZE=ON -DQUARVEL_BENCH=OFF"

# The whole test suite again in a Debug build: assertions on, among them the
# fusion's comparison of every kept trace with a full trace after every merge,
# and narrow trace labels, so that the labels are laid out again often.
test-checked:
	$(MAKE) test BUILD=build-checked CMAKE_ARGS="-DCMAKE_BUILD_TYPE=Debug -DQUARVEL_BENCH=OFF"

# Builds the libFuzzer programs with clang in build-fuzz and runs each for
# FUZZ_SECONDS on a copy of its seeds; fails on any finding.
FUZZ_SECONDS ?= 60
fuzz:
	JOBS=$(JOBS) bash fuzz/run_fuzzers.sh $(FUZZ_SECONDS)

# A whole analysis of the bundled sample in $(BUILD)/demo; prints where the report
# is. Builds only the library and the tool, no test or benchmark.
.PHONY: demo
demo: $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS) --target quarvel_tool
	sh samples/run_demo.sh $(BUILD)

clean:
	rm -rf $(BUILD) build-sanitize build-checked build-fuzz
