# Fretlets: two commands on a fresh Debian machine.
#   make run    installs what is needed, builds and starts the program
#   make test   installs what is needed, builds and runs every test twice:
#               once with warnings as errors, once under AddressSanitizer and
#               UndefinedBehaviorSanitizer (plus the ThreadSanitizer timer test),
#               and proves that a Release build with default options compiles

BUILD      ?= build
ASAN_BUILD ?= build-asan
RELEASE_BUILD ?= build-release
TSAN_BUILD ?= build-tsan
FUZZ_BUILD ?= build-fuzz
JOBS       ?= $(shell nproc)
CMAKE_GEN  := -G Ninja

.PHONY: all setup build run test test-normal test-asan test-tsan test-release bench fuzz soak soak-sound soak-monkey format format-check clean

all: build

setup:
	@bash scripts/setup.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: setup $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/bin/fretlets

test: setup format-check test-normal test-asan test-tsan test-release

# Warnings are errors for the tests, not for someone building the program.
test-normal: $(BUILD)/build.ninja
	cmake -S . -B $(BUILD) -DFRETLETS_WERROR=ON
	cmake --build $(BUILD) -j $(JOBS)
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

test-asan:
	cmake -S . -B $(ASAN_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DFRETLETS_WERROR=ON \
	  -DFRETLETS_SANITIZE=address,undefined -DFRETLETS_BENCH=OFF
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tools/lsan.supp:print_suppressions=0 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --output-on-failure -j $(JOBS)

# The timer service is the one place with a second thread: it gets its own
# ThreadSanitizer build of the tests that exercise it, its hand-over to the
# GUI thread through Qt's event loop included (that needs Qt Core only).
test-tsan:
	cmake -S . -B $(TSAN_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DFRETLETS_WERROR=ON \
	  -DFRETLETS_SANITIZE=thread -DFRETLETS_BENCH=OFF -DFRETLETS_GUI=OFF
	cmake --build $(TSAN_BUILD) -j $(JOBS)
	cd $(TSAN_BUILD) && TSAN_OPTIONS=halt_on_error=1 ctest --output-on-failure -j $(JOBS) -L tsan --no-tests=ignore

# A Release build with the options a user gets by default must compile; the
# programs only (its tests would repeat the normal run).
test-release:
	cmake -S . -B $(RELEASE_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DFRETLETS_BENCH=OFF
	cmake --build $(RELEASE_BUILD) -j $(JOBS) --target fretlets fretlets-cli fretlets-make-samples

bench: setup $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS) --target fretlets-bench
	$(BUILD)/bin/fretlets-bench

# Real sound through a private PulseAudio server, idle and with both cores
# busy: dropouts, stream latency and idle CPU (bench/soak.sh).
soak-sound: setup $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS) --target fretlets fretlets-cli fretlets-bench
	BUILD=$(BUILD) bench/soak.sh

# Each document reader under libFuzzer with AddressSanitizer and
# UndefinedBehaviorSanitizer, FUZZ_SECONDS per reader, starting from the
# sample documents. Clang needs more constexpr steps than its default for the
# chord type lookup table.
FUZZ_SECONDS ?= 60

fuzz: setup
	cmake -S . -B $(FUZZ_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_CXX_COMPILER=clang++ -DFRETLETS_FUZZ=ON -DFRETLETS_SANITIZE=address,undefined \
	  -DFRETLETS_GUI=OFF -DFRETLETS_BENCH=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target chord_book_fuzz score_fuzz
	mkdir -p $(FUZZ_BUILD)/corpus/chord_book $(FUZZ_BUILD)/corpus/score
	cp resources/samples/*.cbk $(FUZZ_BUILD)/corpus/chord_book/
	cp resources/samples/*.score $(FUZZ_BUILD)/corpus/score/
	$(FUZZ_BUILD)/bin/chord_book_fuzz -max_total_time=$(FUZZ_SECONDS) -max_len=4096 \
	  $(FUZZ_BUILD)/corpus/chord_book
	$(FUZZ_BUILD)/bin/score_fuzz -max_total_time=$(FUZZ_SECONDS) -max_len=4096 \
	  $(FUZZ_BUILD)/corpus/score

# Long runs that find what the tests do not (a fresh seed each run, printed
# first; --seed replays it).
MONKEY_STEPS ?= 100000

soak: soak-sound soak-monkey

soak-monkey: setup
	cmake -S . -B $(ASAN_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DFRETLETS_WERROR=ON \
	  -DFRETLETS_SANITIZE=address,undefined -DFRETLETS_BENCH=OFF
	cmake --build $(ASAN_BUILD) -j $(JOBS) --target fretlets-monkey
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tools/lsan.supp:print_suppressions=0 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  $(ASAN_BUILD)/bin/fretlets-monkey --steps $(MONKEY_STEPS)

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

format-check:
	git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(TSAN_BUILD) $(RELEASE_BUILD) $(FUZZ_BUILD)
