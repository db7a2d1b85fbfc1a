#!/usr/bin/env bash
# Builds the Debian package qmx7300_<version>_<arch>.deb in the project's folder: a
# Release build in build-package/ without tests or benchmarks, installed under /usr, with
# Debian's hardening flags and the manual pages. Needs dpkg-dev (dpkg-shlibdeps,
# dpkg-buildflags) and help2man besides what scripts/install-deps.sh installs.
#   scripts/package.sh && sudo apt-get install ./qmx7300_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DBUILD_TESTING=OFF -DQMX_BUILD_BENCHMARKS=OFF -DQMX_REQUIRE_MAN_PAGES=ON \
  "-DCMAKE_CXX_FLAGS=$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
  "-DCMAKE_EXE_LINKER_FLAGS=$(dpkg-buildflags --get LDFLAGS)" >/dev/null
cmake --build build-package --parallel "$(nproc)"
(cd build-package && cpack -G DEB >/dev/null)
mv build-package/qmx7300_*.deb .
ls qmx7300_*.deb
