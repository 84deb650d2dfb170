BUILD_DIR ?= build
RELEASE_DIR ?= build-release
JOBS ?= $(shell nproc)
# Warnings stop the build only in `make test` (and so in CI); a plain build reports them.
WARNINGS_AS_ERRORS ?= OFF
# The compiler cache and its temporary files live in the work tree, so that building and testing
# leave the caller's home and runtime folder as they were; the caller's own settings win.
export CCACHE_DIR ?= $(CURDIR)/.cache/ccache
export CCACHE_TEMPDIR ?= $(CCACHE_DIR)/tmp

.PHONY: all deps configure build release test bench run clean format

all: build

deps:
	@bash scripts/install-deps

CONFIGURE = cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVORLANE_WARNINGS_AS_ERRORS=$(WARNINGS_AS_ERRORS) >/dev/null
# The optimised build users make, kept free of warnings too: the product only (the tests and
# benchmarks already build in the other tree), so that CI stays short.
CONFIGURE_RELEASE = cmake -S . -B $(RELEASE_DIR) -DCMAKE_BUILD_TYPE=Release \
  -DVORLANE_WARNINGS_AS_ERRORS=$(WARNINGS_AS_ERRORS) -DBUILD_TESTING=OFF -DVORLANE_BENCH=OFF >/dev/null
PHASE = bash scripts/timed-phase

configure: deps
	@$(CONFIGURE)

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

release: deps
	@$(CONFIGURE_RELEASE)
	@cmake --build $(RELEASE_DIR) -j $(JOBS)

# Each step says how long it took; ctest's closing summary stays the last lines.
test: WARNINGS_AS_ERRORS = ON
test:
	@$(PHASE) install 'bash scripts/install-deps'
	@$(PHASE) format 'bash scripts/check-format'
	@$(PHASE) 'build (RelWithDebInfo)' '$(CONFIGURE) && cmake --build $(BUILD_DIR) -j $(JOBS)'
	@$(PHASE) 'build (Release)' '$(CONFIGURE_RELEASE) && cmake --build $(RELEASE_DIR) -j $(JOBS)'
	@$(PHASE) --before-summary tests 'cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)'

# Vorlane in the foreground, its log on this terminal (not the journal); Ctrl+C ends it.
run: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS) --target vorlane vorlane_hour_clip_files
	@env -u JOURNAL_STREAM $(BUILD_DIR)/app/vorlane

# The library benchmarks, then the program against a bare window and two desktop pets (about
# sixteen minutes; VORLANE_BENCH_IDLE=60 shortens each idle window).
bench: build
	@$(BUILD_DIR)/bench/vorlane_bench
	@bash bench/app_bench.sh $(BUILD_DIR)

# Formats every C++ file with the distribution's clang-format, as `make test` checks it.
format:
	@bash scripts/check-format --fix

clean:
	@rm -rf $(BUILD_DIR) $(RELEASE_DIR)
