# The two commands of the README. Both install what they need first.
BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
JOBS ?= $(shell nproc)
# Paths relative to the checkout, so a fresh clone reuses what ccache already built.
export CCACHE_BASEDIR := $(CURDIR)

.PHONY: deps configure build run test test-sanitize bench fuzz clean

deps:
	bash scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/velmora

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS) --timeout 300

# The same suite under AddressSanitizer, LeakSanitizer and UndefinedBehaviorSanitizer, in its own
# folder; -O1 keeps it quick while the reports still point at the right lines.
test-sanitize: deps
	cmake -S . -B $(SANITIZE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug \
	      -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" -DVELMORA_SANITIZE=ON
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	bash scripts/test-sanitize.sh $(SANITIZE_BUILD) $(JOBS)

bench: build
	cmake --build $(BUILD) -j $(JOBS) --target velmora-startup-bench
	bash bench/startup.sh $(BUILD)
	bash bench/run.sh $(BUILD)

# libFuzzer targets for every parser of server and file input, built with clang
# into build-fuzz/ (not part of CI). FUZZ_SECONDS per target, FUZZ_JOBS at a time.
fuzz:
	bash fuzz/run.sh

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) build-fuzz
