#!/usr/bin/env bash
# Builds the Debian package of the tool: build/default/package/tarveon-config_<version>_<arch>.deb.
# Install it with: sudo apt-get install ./build/default/package/tarveon-config_*.deb
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
./scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default
rm -f build/default/package/*.deb
(cd build/default && cpack -G DEB --config CPackConfig.cmake >/dev/null)
deb=$(ls build/default/package/*.deb)
echo "$deb"
dpkg-deb --info "$deb" | sed -n '/Package:/,/Description:/p'
