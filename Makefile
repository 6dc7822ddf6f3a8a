# ZarnMon: the two commands a fresh machine needs are `make run` and `make check`.
# Both install what is missing first (scripts/setup).

BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_SHORT_SECONDS ?= 20
# The stream fuzzer runs for FUZZ_SECONDS, the others for FUZZ_SHORT_SECONDS each.
SHORT_FUZZERS := waas settings command_line
FUZZERS := feed_fuzzer $(addsuffix _fuzzer,$(SHORT_FUZZERS))
SAMPLE     ?= tests/data/sample.zbin
PREFIX     ?= /usr/local

CMAKE_GEN := -G Ninja
SOURCES = $(shell git ls-files --cached --others --exclude-standard -- '*.cpp' '*.h' 2>/dev/null || find core cli tests bench fuzz -name '*.cpp' -o -name '*.h')

.PHONY: all setup configure build run decode check test asan fuzz bench soak format format-check regen-goldens clean

all: build

setup:
	@bash scripts/setup

configure: setup
	cmake -S . -B $(BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZARNMON_WERROR=ON -DZARNMON_BENCH=ON -DZARNMON_SANITIZE=OFF \
		-DZARNMON_CORE_ONLY=OFF

build: configure
	cmake --build $(BUILD)

# The main job: the monitor, connected to its built-in simulated receiver.
# Without a display it runs in a virtual one (xvfb-run).
run: build
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then $(BUILD)/gui/app/zarnmon --simulate; \
	else xvfb-run -a $(BUILD)/gui/app/zarnmon --simulate; fi

# The headless tool on the sample recording: every message it holds as JSON.
decode: build
	$(BUILD)/cli/zarnmon-cli decode $(SAMPLE)

# Everything CI checks: formatting, the warning-free build and all tests (the
# windowed ones on Qt's offscreen platform), the Debian package and its
# checks, the Qt-free tests again under AddressSanitizer and
# UndefinedBehaviorSanitizer, and the stream fuzzer for $(FUZZ_SECONDS) seconds.
check: setup format-check build test package-check asan fuzz
	@echo "check: all passed"

# Every test but the package's, which package-check runs.
test: build
	cd $(BUILD) && ctest --output-on-failure -j2 -LE package

.PHONY: package-check install deb

# Builds the Debian package and checks it, showing its file list, its
# dependencies and what the desktop entry and metainfo validators say.
package-check: build
	cd $(BUILD) && ctest --output-on-failure -V -L package

# The programs with their desktop entry, icons, metainfo and man pages, under
# $(PREFIX); DESTDIR=/stage puts the same tree below /stage. Stripped, as the
# package's are: the debugging build's symbols stay with the build.
install: build
	cmake --install $(BUILD) --prefix $(PREFIX) --strip

# $(BUILD)/zarnmon_<version>_<arch>.deb, for dpkg -i or apt install.
deb: build
	cmake --build $(BUILD) --target package

asan: setup
	cmake -S . -B $(ASAN_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DZARNMON_WERROR=ON -DZARNMON_SANITIZE=ON \
		-DZARNMON_CORE_ONLY=ON
	cmake --build $(ASAN_BUILD)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=halt_on_error=1:detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
		ctest --output-on-failure -j2

fuzz: setup
	cmake -S . -B $(FUZZ_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
		-DZARNMON_WERROR=ON -DZARNMON_FUZZ=ON -DZARNMON_BENCH=OFF -DBUILD_TESTING=OFF -DZARNMON_CORE_ONLY=ON \
		-DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all"
	cmake --build $(FUZZ_BUILD) --target $(FUZZERS)
	bash fuzz/make_seeds.sh $(FUZZ_BUILD)/seeds
	mkdir -p $(FUZZ_BUILD)/corpus $(addprefix $(FUZZ_BUILD)/corpus-,$(SHORT_FUZZERS))
	cp -f $(FUZZ_BUILD)/seeds/feed/* $(FUZZ_BUILD)/corpus/
	$(FUZZ_BUILD)/fuzz/feed_fuzzer -max_total_time=$(FUZZ_SECONDS) -max_len=16384 -print_final_stats=1 \
		-artifact_prefix=$(FUZZ_BUILD)/ $(FUZZ_BUILD)/corpus
	set -e; for f in $(SHORT_FUZZERS); do \
		cp -f $(FUZZ_BUILD)/seeds/$$f/* $(FUZZ_BUILD)/corpus-$$f/; \
		$(FUZZ_BUILD)/fuzz/$${f}_fuzzer -max_total_time=$(FUZZ_SHORT_SECONDS) -max_len=16384 -print_final_stats=1 \
			-artifact_prefix=$(FUZZ_BUILD)/$$f- $(FUZZ_BUILD)/corpus-$$f; \
	done

bench: configure
	cmake --build $(BUILD) --target zarnmon_bench zarnmon_sim_bench zarnmon_iono_bench zarnmon_datalog_bench zarnmon_monitor_bench zarnmon_neu_bench zarnmon_views_bench zarnmon_program_bench zarnmon_replay_bench
	$(BUILD)/bench/zarnmon_bench
	$(BUILD)/bench/zarnmon_sim_bench
	$(BUILD)/bench/zarnmon_iono_bench
	$(BUILD)/bench/zarnmon_datalog_bench
	$(BUILD)/bench/zarnmon_monitor_bench
	$(BUILD)/bench/zarnmon_neu_bench
	$(BUILD)/bench/zarnmon_views_bench
	$(BUILD)/bench/zarnmon_program_bench
	$(BUILD)/bench/zarnmon_replay_bench

# Endurance, not part of check: the monitor against the simulator with every
# fault on for SOAK_MINUTES (default 10); see scripts/soak for its checks.
soak: configure
	cmake --build $(BUILD) --target zarnmon zarnmon-sim zarnmon-cli
	BUILD=$(BUILD) bash scripts/soak

format:
	clang-format -i $(SOURCES)

format-check:
	clang-format --dry-run --Werror $(SOURCES)

# Rewrites the sample recording and its golden decode; explain the change in the commit.
regen-goldens: build
	cmake --build $(BUILD) --target regen-goldens

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
