# Entry points. Each first installs what is missing (scripts/setup-deps.sh).
#   make test   every test: native, native under ASan+UBSan, and under Wine
#   make demo   the program on the bundled sample data, under Wine
#   make dist   dist/x64/Kestra.exe, dist/x86/Kestra.exe, and per architecture a
#               portable zip and a per-user installer in dist/
#   make fuzz   the dictionary-loader fuzzer (FUZZ_SECONDS, default 600)
#   make bench  the benchmarks
#   make deb    the Debian package of kestra-table, in dist/

MAKEFLAGS += --no-print-directory
JOBS ?= $(shell nproc)
CMAKE_BUILD = cmake --build $(1) -j $(JOBS)
NATIVE_FLAGS = -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: all deps native asan x64 x86 test demo dist deb fuzz bench clean

all: native x64 x86

deps:
	@bash scripts/setup-deps.sh

native: deps
	@cmake -S . -B build/native $(NATIVE_FLAGS) >/dev/null
	@$(call CMAKE_BUILD,build/native)

asan: deps
	@cmake -S . -B build/asan -DCMAKE_BUILD_TYPE=Debug -DKESTRA_SANITIZE=ON >/dev/null
	@$(call CMAKE_BUILD,build/asan)

x64: deps
	@cmake -S . -B build/x64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake \
		-DCMAKE_BUILD_TYPE=Release >/dev/null
	@$(call CMAKE_BUILD,build/x64)

# 32-bit programs cannot run on these machines: the i686 build is compiled only.
x86: deps
	@cmake -S . -B build/x86 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
		-DCMAKE_BUILD_TYPE=Release -DKESTRA_TESTS=OFF >/dev/null
	@$(call CMAKE_BUILD,build/x86)

test: native asan x64 x86
	@bash scripts/test-all.sh

demo: x64
	@bash scripts/demo.sh

# The builds make the packages (installer/CMakeLists.txt); dist gathers them.
dist: x64 x86
	@mkdir -p dist/x64 dist/x86
	@cp build/x64/app/Kestra.exe dist/x64/Kestra.exe
	@cp build/x86/app/Kestra.exe dist/x86/Kestra.exe
	@rm -f dist/Kestra-*
	@v=$$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/x64/CMakeCache.txt) && \
	for arch in x64 x86; do \
		cp build/$$arch/installer/Kestra-$$v-$$arch.zip build/$$arch/installer/Kestra-$$v-$$arch-setup.exe dist/ || exit 1; \
	done
	@ls -l dist/x64/Kestra.exe dist/x86/Kestra.exe dist/Kestra-*

# The package alone: only what building kestra-table needs is installed
# (setup-deps.sh --package), and only the tool and its manual page are built,
# with Debian's hardening flags and without the tests, in a folder of their own.
DEB_BUILD ?= build/deb
DEB_DIST ?= dist
DEB_FLAGS = DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get
deb:
	@bash scripts/setup-deps.sh --package
	@CXXFLAGS="$$($(DEB_FLAGS) CXXFLAGS) $$($(DEB_FLAGS) CPPFLAGS)" \
		CFLAGS="$$($(DEB_FLAGS) CFLAGS) $$($(DEB_FLAGS) CPPFLAGS)" \
		LDFLAGS="$$($(DEB_FLAGS) LDFLAGS)" \
		cmake -S . -B $(DEB_BUILD) -DCMAKE_BUILD_TYPE=Release -DKESTRA_TESTS=OFF \
		-DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
	@$(call CMAKE_BUILD,$(DEB_BUILD)) --target kestra-table kestra_table_manual
	@mkdir -p $(DEB_DIST)
	@rm -f $(DEB_DIST)/kestra-table_*.deb
	@cd $(DEB_BUILD) && cpack -G DEB >/dev/null
	@cp $(DEB_BUILD)/package/kestra-table_*.deb $(DEB_DIST)/
	@ls -l $(DEB_DIST)/kestra-table_*.deb

fuzz: deps
	@bash scripts/fuzz.sh

# The suites build what they time, in folders of their own.
bench:
	@bash scripts/setup-deps.sh --bench
	@bash scripts/bench.sh

clean:
	rm -rf build out dist
