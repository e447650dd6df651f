# The README's commands. Each installs what a fresh Debian 12 machine is missing first.
SHELL := /bin/bash
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)
PACKAGES := cmake ninja-build g++ libgtest-dev qt6-base-dev libgl-dev time \
  fonts-dejavu-extra fonts-droid-fallback

.PHONY: deps run test bench tidy clean

deps:
	@missing=$$(for p in $(PACKAGES); do dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q 'ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing:" $$missing; \
	  $(SUDO) apt-get update && DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y --no-install-recommends $$missing; \
	fi

run: deps
	cmake --preset release
	cmake --build --preset release --target Veltrane
	build/release/bin/Veltrane

test: deps
	cmake --preset dev
	cmake --build --preset dev
	ctest --preset dev

bench: deps
	cmake --preset release
	cmake --build --preset release
	bench/run_bench.sh build/release/bin/veltrane-join

# clang-tidy over the project's own sources (generated Qt code is left out).
tidy: deps
	cmake --preset dev
	cmake --build --preset dev
	clang-tidy -p build/dev --quiet $$(git ls-files '*.cpp')

# The Debian package, built from the release preset into build/release/.
.PHONY: package
package: PACKAGES += dpkg-dev file lintian desktop-file-utils appstream
package: deps
	cmake --preset release
	cmake --build --preset release --target package

# veltrane-join.exe and the engine tests for Windows, cross-built with mingw-w64 into
# build/windows/; `ctest --preset windows` then runs the tests under wine.
.PHONY: windows
windows: PACKAGES += g++-mingw-w64-x86-64-posix googletest wine wine64
windows: deps
	cmake --preset windows
	cmake --build --preset windows

clean:
	rm -rf build bench-data
