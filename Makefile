BUILD_DIR ?= build
RELEASE_DIR ?= build-release
JOBS ?= $(shell nproc)
# Warnings stop the build only in `make test` (and so in CI); a plain build reports them.
WARNINGS_AS_ERRORS ?= OFF

.PHONY: all deps configure build release test bench run clean

all: build

deps:
	@bash scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DVORLANE_WARNINGS_AS_ERRORS=$(WARNINGS_AS_ERRORS) >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

# The optimised build users make, kept free of warnings too: the product only (the tests and
# benchmarks already build above), so that CI stays short.
release: deps
	@cmake -S . -B $(RELEASE_DIR) -DCMAKE_BUILD_TYPE=Release \
	  -DVORLANE_WARNINGS_AS_ERRORS=$(WARNINGS_AS_ERRORS) -DBUILD_TESTING=OFF -DVORLANE_BENCH=OFF >/dev/null
	@cmake --build $(RELEASE_DIR) -j $(JOBS)

test: WARNINGS_AS_ERRORS = ON
test: build release
	@cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

# Vorlane in the foreground, its log on this terminal (not the journal); Ctrl+C ends it.
run: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS) --target vorlane vorlane_hour_clip_files
	@env -u JOURNAL_STREAM $(BUILD_DIR)/app/vorlane

# The library benchmarks, then the program against a bare window and two desktop pets (about
# sixteen minutes; VORLANE_BENCH_IDLE=60 shortens each idle window).
bench: build
	@$(BUILD_DIR)/bench/vorlane_bench
	@bash bench/app_bench.sh $(BUILD_DIR)

clean:
	@rm -rf $(BUILD_DIR) $(RELEASE_DIR)
