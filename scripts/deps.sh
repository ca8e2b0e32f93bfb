#!/usr/bin/env bash
# Installs the Debian packages a step needs, only those still missing.
# Usage: scripts/deps.sh run|test
set -euo pipefail

build=(build-essential cmake ninja-build pkg-config qt6-base-dev qt6-speech-dev qt6-declarative-dev qt6-charts-dev libgl-dev fonts-arphic-uming fonts-sil-gentiumplus locales)
test=(libgtest-dev libbenchmark-dev clang-14 libclang-rt-14-dev
      xvfb xauth xdotool openbox x11-utils imagemagick desktop-file-utils appstream dpkg-dev
      qt6-speech-flite-plugin syncthing curl)

case "${1:-}" in
    run) wanted=("${build[@]}") ;;
    test) wanted=("${build[@]}" "${test[@]}") ;;
    *) echo "usage: $0 run|test" >&2; exit 2 ;;
esac

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

missing=()
for p in "${wanted[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Word lists written on Chinese systems use GB18030; the codec tests need that locale, and a
# Latin-1 one for text a code set cannot hold.
if [ "$1" = test ]; then
    for wanted in zh_CN:GB18030:zh_CN.gb18030 en_US:ISO-8859-1:en_US.iso88591; do
        IFS=: read -r input charmap name <<<"$wanted"
        if ! locale -a 2>/dev/null | grep -qix "$name"; then
            as_root localedef -i "$input" -f "$charmap" "$input.$charmap" ||
                echo "warning: could not generate $input.$charmap" >&2
        fi
    done
fi
