# The two commands of a fresh machine: `make run` and `make test`. Both install
# what is missing from Debian's packages first.
BUILD_DIR ?= build
BENCH_DIR ?= build-bench
EXAMPLE ?= examples/crossing.kdt

.PHONY: all deps configure build run test bench example gui clean

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

test: build
	ctest --test-dir $(BUILD_DIR) --output-on-failure

bench: deps
	@cmake -S . -B $(BENCH_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DKDT_BUILD_TESTS=OFF -DKDT_BUILD_BENCH=ON >/dev/null
	@cmake --build $(BENCH_DIR)
	@for benchmark in $(BENCH_DIR)/bin/bench_*; do echo "== $$benchmark"; $$benchmark; done

# The desktop editor on the bundled example.
gui: build
	$(BUILD_DIR)/bin/kdt-gui $(EXAMPLE)

# Regenerates the bundled example from its generator.
example: build
	$(BUILD_DIR)/bin/kdt-make-example $(EXAMPLE)

clean:
	rm -rf $(BUILD_DIR) $(BENCH_DIR)
