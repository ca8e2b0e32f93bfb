#!/usr/bin/env bash
# Builds the Debian package of Vocamint and prints the path of the .deb.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh test >&2
# No -Werror here: a newer compiler's new warning must not stop a release build.
cmake -S . -B build/package -G Ninja -DCMAKE_BUILD_TYPE=Release -DVOCAMINT_TESTS=OFF \
    -DVOCAMINT_WERROR=OFF >&2
cmake --build build/package -j"$(nproc)" >&2
(cd build/package && cpack -G DEB >&2)
deb="$(ls -t build/package/vocamint_*.deb | head -n 1)"
echo "$PWD/$deb"
