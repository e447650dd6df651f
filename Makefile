# The commands of the README and docs/DEVELOPING.md. Each installs what a fresh Debian 12 machine
# is missing first.
SHELL := /bin/bash
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)
PACKAGES := cmake ninja-build g++ libgtest-dev qt6-base-dev libgl-dev time libssl-dev zlib1g-dev \
  fonts-dejavu-extra fonts-droid-fallback gettext qt6-l10n-tools locales \
  qt6-translations-l10n dbus-daemon
# The locales the translation tests run under; without them the C library falls back to C.
TEST_LOCALES := en_US.UTF-8 zh_CN.UTF-8
CHECK_PACKAGES := clang-tidy clang-format

# Installs whichever of the packages given are missing.
define install
	@missing=$$(for p in $(1); do dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q 'ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing:" $$missing; \
	  $(SUDO) apt-get update && DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y --no-install-recommends $$missing; \
	fi
endef

.PHONY: deps check-deps run test bench tidy format-check package clean

deps:
	$(call install,$(PACKAGES))
	@for l in $(TEST_LOCALES); do \
	  locale -a | grep -qix "$$(echo $$l | sed 's/UTF-8/utf8/')" && continue; \
	  grep -qx "$$l UTF-8" /etc/locale.gen || echo "$$l UTF-8" | $(SUDO) tee -a /etc/locale.gen >/dev/null; \
	  generate=1; \
	done; [ -z "$$generate" ] || $(SUDO) locale-gen

check-deps:
	$(call install,$(CHECK_PACKAGES))

run: deps
	cmake --preset release
	cmake --build --preset release --target Veltrane
	build/release/bin/Veltrane

test: deps
	cmake --preset dev
	cmake --build --preset dev
	ctest --preset dev

# fincore shows what the page cache holds of the files after each run.
bench: PACKAGES += util-linux-extra
bench: deps
	cmake --preset release
	cmake --build --preset release
	cmake --build --preset release --target veltrane-window-bench
	bench/run_bench.sh build/release/bin/veltrane-join

# clang-tidy over the project's own sources; the code Qt generates under build/ is left out.
tidy: deps check-deps
	cmake --preset dev
	cmake --build --preset dev
	run-clang-tidy -p build/dev -j$$(nproc) -quiet '^$(CURDIR)/(?!build/)'

format-check: check-deps
	git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror

# The Debian package, built from the release preset into build/release/.
package: PACKAGES += dpkg-dev file lintian desktop-file-utils appstream
package: deps
	cmake --preset release
	cmake --build --preset release --target package

# Veltrane.exe, veltrane-join.exe and their tests for Windows, cross-built with mingw-w64 into
# build/windows/; `ctest --preset windows` then runs the tests under wine, the window's on a
# virtual display with a CJK font; imagemagick grabs the window's screenshot.
.PHONY: windows
windows: PACKAGES += g++-mingw-w64-x86-64-posix libz-mingw-w64-dev googletest wine wine64 \
  fonts-wine xvfb \
  fonts-wqy-microhei imagemagick xdotool
windows: deps
	cmake --preset windows
	cmake --build --preset windows

clean:
	rm -rf build bench-data
