# The two commands of the README: `make test` and `make demo`.
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: deps configure build test demo asan lint clean

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# Every test that needs no display, under AddressSanitizer and UBSan: the
# Qt widget layers are off, but the grid model and the board's logic are in
# (their text measured in the real font through Qt Gui on the offscreen
# platform, when Qt Gui is installed).
asan: deps
	@cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DCOCINA_SANITIZE=ON -DCOCINA_WITH_QT=OFF -DCOCINA_BENCH=OFF > /dev/null
	@cmake --build build-asan -j $(JOBS)
	@cd build-asan && ctest --output-on-failure -j $(JOBS)

# Every include runs the right way between the layers, and every C++ file is
# in the project's format.
lint: deps
	@scripts/check-layers
	@git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror
	@echo "lint: every C++ file is formatted"

demo: build
	@scripts/demo

clean:
	rm -rf $(BUILD) build-asan
