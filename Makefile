BUILD_DIR ?= build
JOBS ?= $(shell nproc)

.PHONY: all deps configure build test bench run clean

all: build

deps:
	@bash scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

test: build
	@cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

# Vorlane in the foreground, its log on this terminal (not the journal); Ctrl+C ends it.
run: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS) --target vorlane vorlane_hour_clip_files
	@env -u JOURNAL_STREAM $(BUILD_DIR)/app/vorlane

# The library benchmarks, then the program against a bare window (about four minutes).
bench: build
	@$(BUILD_DIR)/bench/vorlane_bench
	@bash bench/app_bench.sh $(BUILD_DIR)

clean:
	@rm -rf $(BUILD_DIR)
