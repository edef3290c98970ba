# make test  — install dependencies, check the formatting, build with sanitizers, run every test
# make format — format every source file as .clang-format says
# make test-threads — build with ThreadSanitizer, run the library tests
# make bench — optimised build, run the benchmarks
# make run   — build and start the application (without a display: preview the example as text)
# make install [PREFIX=/usr/local] — install the application, the previewer and the thumbnailer

JOBS ?= $(shell nproc)
TEST_DIR := build/test
TSAN_DIR := build/tsan
BENCH_DIR := build/bench
RUN_DIR := build/release
PREFIX ?= /usr/local
# A compiler cache, when the machine has one, makes rebuilds of other checkouts quick.
LAUNCHER := $(if $(shell command -v ccache),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
SAMPLE := $(RUN_DIR)/sample.numbera

.PHONY: deps format format-check test test-threads bench release run install clean

deps:
	@scripts/install-deps

# Every C++ source and header of ours; .clang-format at the root decides their layout.
SOURCES = $(shell find Code preview tests bench -name '*.cpp' -o -name '*.h' -o -name '*.hpp')

format: deps
	@clang-format -i $(SOURCES)

format-check: deps
	@clang-format --dry-run -Werror $(SOURCES) || \
	  { echo "make: sources differ from .clang-format; 'make format' lays them out"; exit 1; }

test: deps format-check
	@cmake -S . -B $(TEST_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug $(LAUNCHER) \
	  -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" -DNUMBERA_SANITIZE=ON >/dev/null
	@cmake --build $(TEST_DIR) -j $(JOBS)
	@ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --test-dir $(TEST_DIR) -j $(JOBS) --output-on-failure

# On kernels that randomise more address bits than ThreadSanitizer expects, it stops with
# "unexpected memory mapping"; the tests run without address randomisation where allowed.
NO_ASLR = $(shell setarch $$(uname -m) -R true 2>/dev/null && echo setarch $$(uname -m) -R)
TSAN_OPTIONS := halt_on_error=1:second_deadlock_stack=1:suppressions=$(CURDIR)/tests/tsan.supp

test-threads: deps
	@cmake -S . -B $(TSAN_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug $(LAUNCHER) \
	  -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" -DNUMBERA_SANITIZE=thread >/dev/null
	@cmake --build $(TSAN_DIR) -j $(JOBS)
	@TSAN_OPTIONS=$(TSAN_OPTIONS) $(NO_ASLR) ctest --test-dir $(TSAN_DIR) -j $(JOBS) --output-on-failure

bench: deps
	@cmake -S . -B $(BENCH_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release $(LAUNCHER) \
	  -DNUMBERA_BUILD_TESTS=OFF -DNUMBERA_BUILD_BENCH=ON >/dev/null
	@cmake --build $(BENCH_DIR) -j $(JOBS)
	@for b in $(BENCH_DIR)/bench/*_bench; do echo "== $$b"; $$b; done

release: deps
	@cmake -S . -B $(RUN_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release $(LAUNCHER) -DNUMBERA_BUILD_TESTS=OFF \
	  -DCMAKE_INSTALL_PREFIX=$(PREFIX) >/dev/null
	@cmake --build $(RUN_DIR) -j $(JOBS)

# The application needs a display; without one the example document is shown as text.
EXAMPLE := Resources/General Examples.numbera
run: release
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	  echo "make run: no display (DISPLAY and WAYLAND_DISPLAY are unset), so the example document is shown as text:"; \
	  if [ -f "$(EXAMPLE)" ]; then \
	    $(RUN_DIR)/preview/numbera-preview --format text "$(EXAMPLE)"; \
	  else \
	    $(RUN_DIR)/preview/numbera-sample $(SAMPLE) && \
	    $(RUN_DIR)/preview/numbera-preview --format text $(SAMPLE); \
	  fi; \
	else \
	  $(RUN_DIR)/Code/NumberaApp/numbera; \
	fi

install: release
	@cmake --install $(RUN_DIR) --prefix $(PREFIX)

clean:
	rm -rf build
