# make run   builds and starts the program
# make test  builds and runs every test
BUILD ?= build
JOBS ?= $(shell nproc)

SANITIZER_ENV = ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 \
  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/sanitizer/lsan.supp \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
FUZZ_SECONDS ?= 300

.PHONY: all deps configure build run test sanitize fuzz-build fuzz bench package clean

all: build

deps:
	./scripts/install-deps

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/quarn2dif

# The whole suite, then a short run of every fuzz target from its seeds.
test: build fuzz-build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	cd $(BUILD)-fuzz && ctest --output-on-failure

# The whole suite again, built with AddressSanitizer and UndefinedBehaviorSanitizer.
sanitize: deps
	cmake -S . -B $(BUILD)-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUARN2DIF_SANITIZE=ON
	cmake --build $(BUILD)-asan -j $(JOBS)
	cd $(BUILD)-asan && $(SANITIZER_ENV) ctest --output-on-failure -j $(JOBS)

# The fuzz targets are built with clang's libFuzzer; as tests they run a few seconds each.
fuzz-build: deps
	CXX=clang++ cmake -S . -B $(BUILD)-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUARN2DIF_FUZZ=ON \
	  -DQUARN2DIF_FUZZ_SECONDS=5
	cmake --build $(BUILD)-fuzz -j $(JOBS)

# Each target for FUZZ_SECONDS; an input that breaks a check lands in tests/fuzz/regressions/.
fuzz: fuzz-build
	cmake -S . -B $(BUILD)-fuzz -DQUARN2DIF_FUZZ_SECONDS=$(FUZZ_SECONDS)
	cd $(BUILD)-fuzz && ctest --output-on-failure -j $(JOBS); \
	  code=$$?; cmake -S .. -B . -DQUARN2DIF_FUZZ_SECONDS=5 > /dev/null; exit $$code

package: build
	cd $(BUILD) && cpack -G DEB

bench: build
	./$(BUILD)/bench/export_bench

clean:
	rm -rf $(BUILD) $(BUILD)-asan $(BUILD)-fuzz
