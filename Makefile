# Quick start: `make run [FILE=...]` and `make test`. Both install what is missing first.
BUILD ?= build
CMAKE_FLAGS ?=
FILE ?=
PREFIX ?= /usr/local

.PHONY: all setup configure build test run bench asan fuzz install clean

all: build

setup:
	@bash scripts/setup.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)

configure: setup $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD)

test: build
	cd $(BUILD) && ctest --output-on-failure --timeout 300

# With no display the editor says so in one line; make adds nothing to it.
run: build
	@status=0; $(BUILD)/qshe $(FILE) || status=$$?; \
	if [ $$status -ne 0 ] && [ -z "$$DISPLAY$$WAYLAND_DISPLAY$$QT_QPA_PLATFORM" ]; then exit 0; fi; exit $$status

# The programs, support files, desktop entry, file types, icons and manual
# page under PREFIX (sudo for a system prefix; PREFIX=~/.local for yourself).
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

bench: build
	@for b in $(BUILD)/bench/bench_*; do echo "== $$b"; $$b; done

# Core tests under AddressSanitizer and UndefinedBehaviorSanitizer.
asan: setup
	cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQSHE_SANITIZE=ON -DQSHE_WITH_QT=OFF $(CMAKE_FLAGS)
	cmake --build build-asan
	cd build-asan && ctest --output-on-failure --timeout 600

# Coverage-guided fuzzing with clang's libFuzzer: every target (or those in
# FUZZ_TARGETS) for FUZZ_SECONDS each, from its kept corpus in fuzz/corpus/.
# Stops at the first report, with the input that caused it in fuzz/crashes/.
# FUZZ_KEEP=1 merges what reached new code back into the kept corpora.
FUZZ_SECONDS ?= 60
FUZZ_TARGETS ?=
FUZZ_KEEP ?=
fuzz:
	@bash scripts/setup.sh fuzz
	CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQSHE_FUZZ=ON
	cmake --build build-fuzz --target fuzz_targets
	FUZZ_SECONDS=$(FUZZ_SECONDS) FUZZ_KEEP=$(FUZZ_KEEP) bash scripts/fuzz.sh $(FUZZ_TARGETS)

clean:
	rm -rf $(BUILD) build-asan build-fuzz
