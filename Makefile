# Quick start: `make run [FILE=...]` and `make test`. Both install what is missing first.
BUILD ?= build
CMAKE_FLAGS ?=
FILE ?=

.PHONY: all setup configure build test run bench asan clean

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

run: build
	$(BUILD)/qshe $(FILE)

bench: build
	@for b in $(BUILD)/bench/bench_*; do echo "== $$b"; $$b; done

# Core tests under AddressSanitizer and UndefinedBehaviorSanitizer.
asan: setup
	cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQSHE_SANITIZE=ON -DQSHE_WITH_QT=OFF $(CMAKE_FLAGS)
	cmake --build build-asan
	cd build-asan && ctest --output-on-failure --timeout 600

clean:
	rm -rf $(BUILD) build-asan
