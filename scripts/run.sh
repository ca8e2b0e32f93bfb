#!/usr/bin/env bash
# Builds Vocamint and starts it in the learner's word folder, seeded with the sample list.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh run
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DVOCAMINT_TESTS=OFF >/dev/null
cmake --build build/release --target vocamint_app -j"$(nproc)"

words="${XDG_DATA_HOME:-$HOME/.local/share}/vocamint"
mkdir -p "$words"
if [ ! -e "$words/WL.txt" ]; then
    cp examples/WL.txt "$words/WL.txt"
    # Open the sample on its first page: without settings the first page shown starts at 10.
    [ -e "$words/env.ini" ] || printf '[Setting]\r\nIndex=-9\r\nGoto=\r\n' >"$words/env.ini"
fi
cd "$words"
exec "$OLDPWD/build/release/app/vocamint"
