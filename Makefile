# make test  — install dependencies, build with sanitizers, run every test
# make bench — optimised build, run the benchmarks
# make run   — build everything and say what there is to run

JOBS ?= $(shell nproc)
TEST_DIR := build/test
BENCH_DIR := build/bench
RUN_DIR := build/release

.PHONY: deps test bench run clean

deps:
	@scripts/install-deps

test: deps
	@cmake -S . -B $(TEST_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug \
	  -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" -DNUMBERA_SANITIZE=ON >/dev/null
	@cmake --build $(TEST_DIR) -j $(JOBS)
	@ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --test-dir $(TEST_DIR) -j $(JOBS) --output-on-failure

bench: deps
	@cmake -S . -B $(BENCH_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release \
	  -DNUMBERA_BUILD_TESTS=OFF -DNUMBERA_BUILD_BENCH=ON >/dev/null
	@cmake --build $(BENCH_DIR) -j $(JOBS)
	@for b in $(BENCH_DIR)/bench/*_bench; do echo "== $$b"; $$b; done

run: deps
	@cmake -S . -B $(RUN_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DNUMBERA_BUILD_TESTS=OFF >/dev/null
	@cmake --build $(RUN_DIR) -j $(JOBS)
	@echo
	@echo "Built the calculation engine's libraries in $(RUN_DIR)."
	@echo "There is no program to start yet: the engine is a library so far."
	@echo "Run 'make test' to exercise it, or 'make bench' to measure it."

clean:
	rm -rf build
