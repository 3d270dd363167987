# Thin wrapper over CMake. `make demo` and `make test` install what is missing, configure, build
# and run; the CMake build directories can also be used directly.
BUILD_DIR ?= build
TEST_DIR ?= build-asan
BENCH_DIR ?= build-bench
FUZZ_DIR ?= build-fuzz
CMAKE_GEN := -G Ninja

.PHONY: demo test bench fuzz deps clean

demo:
	scripts/install-deps.sh
	cmake -S . -B $(BUILD_DIR) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF
	cmake --build $(BUILD_DIR)
	$(BUILD_DIR)/tools/ekcommon/ekcommon demo

test:
	scripts/install-deps.sh
	cmake -S . -B $(TEST_DIR) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug \
	  -DEKCOMMON_SANITIZE=address,undefined -DEKCOMMON_WERROR=ON
	cmake --build $(TEST_DIR)
	cd $(TEST_DIR) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --output-on-failure -j2

bench:
	scripts/install-deps.sh --bench
	cmake -S . -B $(BENCH_DIR) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
	  -DEKCOMMON_BUILD_BENCH=ON
	cmake --build $(BENCH_DIR)
	for b in $(BENCH_DIR)/bench/bench_*; do $$b; done

fuzz:
	scripts/install-deps.sh --fuzz
	CXX=clang++ cmake -S . -B $(FUZZ_DIR) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DBUILD_TESTING=OFF -DEKCOMMON_BUILD_FUZZ=ON -DEKCOMMON_SANITIZE=address,undefined
	cmake --build $(FUZZ_DIR)

clean:
	rm -rf $(BUILD_DIR) $(TEST_DIR) $(BENCH_DIR) $(FUZZ_DIR)
