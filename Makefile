# The two commands of the README: `make run` and `make test`. With CI=true
# (the CI sets it) `make test` also builds and runs the tests with the
# sanitizers, runs each fuzz target for a minute and runs the Windows build's
# tests under Wine, and a compiler warning fails each of the four builds.
BUILD ?= build
ASAN_BUILD ?= $(BUILD)-asan
FUZZ_BUILD ?= $(BUILD)-fuzz
WINDOWS_BUILD ?= $(BUILD)-windows
PACKAGE_BUILD ?= $(BUILD)-package
WINDOWS_PACKAGE_BUILD ?= $(BUILD)-windows-package
FUZZ_SECONDS ?= 60
JOBS ?= $(shell nproc)
# Passed every time, so that a build folder configured by a CI run goes back
# to warnings only on the next plain run.
WERROR ?= $(if $(filter true,$(CI)),ON,OFF)
# The CI builds each tree once from nothing: sources compiled in batches (one
# compiler run reads the headers for several files) and line tables rather
# than full debug information take about half the time. Stack traces keep
# their files and lines.
UNITY ?= $(if $(filter true,$(CI)),ON,OFF)
DEBUG_INFO ?= $(if $(filter true,$(CI)),-g1,-g)
SPEED = -DCMAKE_UNITY_BUILD=$(UNITY) -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 $(DEBUG_INFO) -DNDEBUG"

.PHONY: setup configure build run test test-sanitize test-windows fuzz-ci bench dashboard package package-windows format format-check clean

setup:
	@scripts/setup.sh

configure: setup
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(SPEED) -DQUORVIL_WERROR=$(WERROR) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@scripts/run.sh $(BUILD) $(ARGS)

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
ifeq ($(CI),true)
	@$(MAKE) --no-print-directory format-check test-sanitize fuzz-ci test-windows
endif

# Every test but the window ones, and the monkey over the window, built
# with AddressSanitizer and UndefinedBehaviorSanitizer; any report fails the
# test that caused it.
test-sanitize: setup
	@cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(SPEED) -DQUORVIL_SANITIZE=ON \
	  -DQUORVIL_GUI_TESTS=OFF -DQUORVIL_MONKEY_STEPS=2500 -DQUORVIL_BENCH=OFF -DQUORVIL_WERROR=$(WERROR) >/dev/null
	@cmake --build $(ASAN_BUILD) -j $(JOBS)
	@cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j $(JOBS)

# Everything cross-built for Windows with MinGW-w64 and run under Wine: the
# Qt-free libraries, quorvil-cli.exe and their suites, and, against a static
# Qt built from Debian's source (scripts/windows-qt.sh, once per machine,
# kept in ~/.cache/quorvil), the editor and its window tests. The CI never
# spends the 40 minutes of that Qt build: without the cache it says so and
# leaves the editor out. One test compares the Windows tool's outputs with
# the Linux tool's (hence the Linux build); the installer is tried there
# too (tests/scripts/windows_installer.py).
WINDOWS_QT = $(if $(filter true,$(CI)),prefix,build)
test-windows: build
	@scripts/setup.sh --windows
	@scripts/windows-configure.sh $(WINDOWS_BUILD) $(WINDOWS_QT) -DCMAKE_UNITY_BUILD=$(UNITY) \
	  -DQUORVIL_NATIVE_CLI=$(abspath $(BUILD))/cli/quorvil-cli -DQUORVIL_WERROR=$(WERROR)
	@cmake --build $(WINDOWS_BUILD) -j $(JOBS)
	@# No second try: a program Wine could not start says so (scripts/wine-run.sh).
	@cd $(WINDOWS_BUILD) && ctest --output-on-failure -j $(JOBS)

fuzz-ci: setup
	@FUZZ_BUILD_JOBS=$(JOBS) FUZZ_JOBS=$(JOBS) QUORVIL_UNITY=$(UNITY) QUORVIL_DEBUG_INFO=$(DEBUG_INFO) QUORVIL_WERROR=$(WERROR) scripts/fuzz.sh $(FUZZ_SECONDS) $(FUZZ_BUILD)

bench: build
	@$(BUILD)/bench/quorvil_bench

# One table of load, save, conversions, exports, sort and peak memory, each
# beside its same-run baseline.
dashboard: configure
	@cmake --build $(BUILD) --target quorvil_dashboard -j $(JOBS)
	@$(BUILD)/bench/quorvil_dashboard

# A Debian package of the programs and their desktop files, built without
# the tests in its own folder: $(PACKAGE_BUILD)/quorvil_VERSION_ARCH.deb,
# then checked by lintian. Compiled with the flags Debian's own packages get
# (hardening: stack protector, fortified functions, read-only relocations).
package: PACKAGE_FLAGS = DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get
package: setup
	@scripts/setup.sh --package
	@cmake -S . -B $(PACKAGE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUORVIL_TESTS=OFF -DQUORVIL_BENCH=OFF \
	  -DQUORVIL_WERROR=$(WERROR) \
	  -DCMAKE_CXX_FLAGS="$$($(PACKAGE_FLAGS) CPPFLAGS) $$($(PACKAGE_FLAGS) CXXFLAGS | sed 's/^-g //')" \
	  -DCMAKE_EXE_LINKER_FLAGS="$$($(PACKAGE_FLAGS) LDFLAGS)" >/dev/null
	@cmake --build $(PACKAGE_BUILD) -j $(JOBS)
	@rm -f $(PACKAGE_BUILD)/quorvil_*.deb
	@cd $(PACKAGE_BUILD) && cpack -G DEB
	@scripts/lintian.sh $(PACKAGE_BUILD)/quorvil_*.deb

# The Windows installer and portable .zip of the programs, cross-built
# without the tests in their own folder:
# $(WINDOWS_PACKAGE_BUILD)/packaging/windows/Quorvil-VERSION-x64-{setup.exe,portable.zip}.
package-windows: setup
	@scripts/setup.sh --windows
	@scripts/windows-configure.sh $(WINDOWS_PACKAGE_BUILD) build -DQUORVIL_TESTS=OFF -DQUORVIL_WERROR=$(WERROR)
	@cmake --build $(WINDOWS_PACKAGE_BUILD) -j $(JOBS) --target windows-packages
	@ls $(WINDOWS_PACKAGE_BUILD)/packaging/windows/Quorvil-*-x64-*

# clang-format (the top .clang-format) over every C++ file in git;
# format-check only lists the files it would change.
format: setup
	@scripts/format.sh

format-check: setup
	@scripts/format.sh --check

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) $(WINDOWS_BUILD) $(PACKAGE_BUILD) $(WINDOWS_PACKAGE_BUILD)
