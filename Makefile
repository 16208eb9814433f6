# The README's commands. `make test` installs what is missing, configures,
# builds and runs the whole test suite headless.
BUILD_DIR ?= build
JOBS      ?= 2
# CI treats every compiler warning as an error.
WERROR    ?= $(if $(CI),ON,OFF)
CMAKE_ARGS ?=

.PHONY: deps configure build test bench clean demo fuzz fuzz-fixed fuzz-configure sanitize-test pushdown-soak

deps:
	bash scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	      -DNVTARNIX_WERROR=$(WERROR) $(CMAKE_ARGS)

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

# Under CI, and wherever SANITIZE=1 is given, the sanitized suite and the fixed
# fuzz check (every target's seeds and kept findings, then FUZZ_RUNS mutations
# from a fixed random seed) follow the normal suite: about 13 minutes more on
# two cores without a compiler cache. SANITIZE= (empty) leaves them out.
SANITIZE ?= $(CI)

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)
ifneq ($(SANITIZE),)
	$(MAKE) sanitize-test
	$(MAKE) fuzz-fixed
endif

# The sanitizer build: clang with AddressSanitizer, UndefinedBehaviorSanitizer
# and libFuzzer's coverage, in a build folder of its own. `make fuzz` builds the
# fuzz targets there and runs each for FUZZ_SECONDS, an open-ended campaign that
# grows its own corpus; `make fuzz-fixed` runs the same check every time, with a
# fixed random seed and FUZZ_RUNS runs per target; `make sanitize-test` builds
# the whole suite there and runs it. `make test SANITIZE=1` runs both after the
# normal suite.
FUZZ_DIR     ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_RUNS    ?= 20000
# Leaks are reported too; Qt's own that live until exit are listed in the file.
SANITIZER_ENV = ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1:check_initialization_order=1 \
                LSAN_OPTIONS=suppressions=$(CURDIR)/fuzz/lsan.supp:print_suppressions=0 \
                UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

fuzz-configure: deps
	cmake -S . -B $(FUZZ_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug \
	      -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_CXX_FLAGS_DEBUG="-O1 -gline-tables-only" \
	      -DNVTARNIX_FUZZ=ON -DNVTARNIX_WERROR=$(WERROR) $(CMAKE_ARGS)

fuzz: fuzz-configure
	cmake --build $(FUZZ_DIR) -j $(JOBS) --target fuzzers
	$(SANITIZER_ENV) bash fuzz/run.sh $(FUZZ_DIR) $(FUZZ_SECONDS)

fuzz-fixed: fuzz-configure
	cmake --build $(FUZZ_DIR) -j $(JOBS) --target fuzzers
	$(SANITIZER_ENV) bash fuzz/run.sh --fixed $(FUZZ_DIR) $(FUZZ_RUNS)

sanitize-test: fuzz-configure
	cmake --build $(FUZZ_DIR) -j $(JOBS)
	cd $(FUZZ_DIR) && $(SANITIZER_ENV) QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS) -LE "measures-memory|x-server"

# `make demo` runs the demo host. Without a display it runs the scripted tour
# (a program of its own, tarnix-demo-tour) under a virtual X server instead and
# prints the paths of its screenshots.
TOUR_DIR ?= $(BUILD_DIR)/demo-tour

demo: configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target tarnix-demo tarnix-demo-tour
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	  $(BUILD_DIR)/bin/tarnix-demo; \
	else \
	  rm -rf $(TOUR_DIR); \
	  xvfb-run -a -s "-screen 0 1280x1024x24" $(BUILD_DIR)/bin/tarnix-demo-tour $(TOUR_DIR); \
	fi

# The differential test of rules run as SQL, at length: PUSHDOWN_PAIRS random
# rule/table pairs per dialect in each locale (SEED picks other rules). The
# test program runs on its own, once in each locale as ctest runs it, so that
# neither ctest's bound on a test nor Qt's watchdog (five minutes a test
# function) stops a run of this length.
PUSHDOWN_PAIRS ?= 100000
SEED ?= $(shell date +%s)

pushdown-soak: configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target tst_pushdown
	for locale in C.UTF-8 el_GR.UTF-8; do \
	  echo "pushdown-soak: $(PUSHDOWN_PAIRS) pairs, seed $(SEED), $$locale"; \
	  NVTARNIX_TEST_LOCALE=$$locale NVTARNIX_PUSHDOWN_SOAK=$(PUSHDOWN_PAIRS) NVTARNIX_PUSHDOWN_SEED=$(SEED) \
	    QTEST_FUNCTION_TIMEOUT=14400000 QT_QPA_PLATFORM=offscreen $(BUILD_DIR)/bin/tst_pushdown || exit 1; \
	done

bench: configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target benchmarks
	bash bench/run.sh $(BUILD_DIR)

clean:
	rm -rf $(BUILD_DIR) $(FUZZ_DIR)
