#!/usr/bin/env bash
# Builds the Debian package of the tool: build/package/package/tarveon-config_<version>_<arch>.deb.
# Install it with: sudo apt-get install ./build/package/package/tarveon-config_*.deb
# Its own build directory (preset "package": release build, no tests, benchmarks or developer
# tools) builds only what the package ships and leaves build/default alone.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
./scripts/install-deps.sh
cmake --preset package >/dev/null
cmake --build --preset package
rm -f build/package/package/*.deb
(cd build/package && cpack -G DEB --config CPackConfig.cmake >/dev/null)
deb=$(ls build/package/package/*.deb)
echo "$deb"
dpkg-deb --info "$deb" | sed -n '/Package:/,/Description:/p'
