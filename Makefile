# The two commands of a fresh machine: `make run` and `make test`. Both install
# what is missing from Debian's packages first.
BUILD_DIR ?= build
BENCH_DIR ?= build-bench
EXAMPLE ?= examples/crossing.kdt

.PHONY: all deps configure build run test test-peers bench example gui screenshots format format-check clean

all: build

deps:
	@scripts/setup-deps

configure: deps
	@cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	@cmake --build $(BUILD_DIR)

# The main job: compile the bundled example into the controller's image.
run: build
	@$(BUILD_DIR)/bin/kdt info $(EXAMPLE)
	@image=$$($(BUILD_DIR)/bin/kdt compile $(EXAMPLE) --out $(BUILD_DIR)/crossing.hex) && \
	  echo "Compiled: $$image ($$(wc -c < "$$image") bytes)"
	@echo "To edit the example in the editor: make gui"

test: build
	ctest --test-dir $(BUILD_DIR) --output-on-failure --label-exclude peers

# The cross-checks against the real peer programs: netconvert and sumo from
# Debian's sumo package, too heavy to install for every `make test`. When
# the package cannot be installed the peer tests say so and are skipped.
PEER_PACKAGES ?= sumo

test-peers: build
	@if scripts/setup-deps $(PEER_PACKAGES); then unset KDT_PEERS_UNAVAILABLE; \
	else export KDT_PEERS_UNAVAILABLE="scripts/setup-deps could not install $(PEER_PACKAGES)"; fi; \
	ctest --test-dir $(BUILD_DIR) --output-on-failure --label-regex peers

bench: deps
	@cmake -S . -B $(BENCH_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DKDT_BUILD_TESTS=OFF -DKDT_BUILD_BENCH=ON >/dev/null
	@cmake --build $(BENCH_DIR)
	@for benchmark in $(BENCH_DIR)/bin/bench_*; do echo "== $$benchmark"; $$benchmark; done

# The desktop editor on the bundled example.
gui: build
	$(BUILD_DIR)/bin/kdt-gui $(EXAMPLE)

# The code's layout as .clang-format describes it: format rewrites the files,
# format-check fails on the first one that differs (CI runs it).
FORMAT_FILES = $(shell git ls-files '*.cpp' '*.h')

format: deps
	@clang-format -i $(FORMAT_FILES)

format-check: deps
	@clang-format --dry-run -Werror $(FORMAT_FILES)

# The README's pictures of the editor, made under a virtual X display.
screenshots: build
	scripts/screenshots $(BUILD_DIR)

# Regenerates the bundled example from its generator.
example: build
	$(BUILD_DIR)/bin/kdt-make-example $(EXAMPLE)

clean:
	rm -rf $(BUILD_DIR) $(BENCH_DIR)

# ---- sanitizers and fuzzing ------------------------------------------------
SANITIZE_DIR ?= build-sanitize
FUZZ_DIR ?= build-fuzz
FUZZ_SECONDS ?= 60

.PHONY: test-sanitize fuzz fuzz-smoke

# Everything, the editor and its tests included, built with AddressSanitizer
# and UndefinedBehaviorSanitizer; any finding fails the test that met it.
# Clang, since g++ misses signed overflow in arithmetic that is then cut to a
# byte. Leaks are not looked for: Qt and the font libraries keep their caches
# to the end of the process.
test-sanitize: deps
	@cmake -S . -B $(SANITIZE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++-14 \
	  -DKDT_SANITIZE=ON -DKDT_BUILD_GUI=ON >/dev/null
	@nice cmake --build $(SANITIZE_DIR)
	UBSAN_OPTIONS=print_stacktrace=1 ASAN_OPTIONS=detect_leaks=0 ctest --test-dir $(SANITIZE_DIR) --output-on-failure \
	  --label-exclude peers

# Each libFuzzer target (clang-14, ASan, UBSan) for FUZZ_SECONDS; fuzz/run says more.
fuzz: deps
	FUZZ_DIR=$(FUZZ_DIR) fuzz/run $(FUZZ_SECONDS)

# The short run CI makes after the tests.
fuzz-smoke: deps
	FUZZ_DIR=$(FUZZ_DIR) fuzz/run 15
