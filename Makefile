# The README's commands. `make test` installs what is missing, configures,
# builds and runs the whole test suite headless.
BUILD_DIR ?= build
JOBS      ?= 2
# CI treats every compiler warning as an error.
WERROR    ?= $(if $(CI),ON,OFF)
CMAKE_ARGS ?=

.PHONY: deps configure build test bench clean demo

deps:
	bash scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	      -DNVTARNIX_WERROR=$(WERROR) $(CMAKE_ARGS)

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# `make demo` runs the demo host. Without a display it runs the scripted tour
# under a virtual X server instead and prints the paths of its screenshots.
TOUR_DIR ?= $(BUILD_DIR)/demo-tour

demo: configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target tarnix-demo
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	  $(BUILD_DIR)/bin/tarnix-demo; \
	else \
	  rm -rf $(TOUR_DIR); \
	  xvfb-run -a -s "-screen 0 1280x1024x24" $(BUILD_DIR)/bin/tarnix-demo --tour $(TOUR_DIR); \
	fi

bench: configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target benchmarks
	bash bench/run.sh $(BUILD_DIR)

clean:
	rm -rf $(BUILD_DIR)
