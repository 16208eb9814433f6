# The README's commands. `make test` installs what is missing, configures,
# builds and runs the whole test suite headless.
BUILD_DIR ?= build
JOBS      ?= 2
# CI treats every compiler warning as an error.
WERROR    ?= $(if $(CI),ON,OFF)
CMAKE_ARGS ?=

.PHONY: deps configure build test bench clean

deps:
	bash scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	      -DNVTARNIX_WERROR=$(WERROR) $(CMAKE_ARGS)

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target benchmarks
	bash bench/run.sh $(BUILD_DIR)

clean:
	rm -rf $(BUILD_DIR)
