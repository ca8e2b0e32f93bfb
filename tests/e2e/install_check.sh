#!/usr/bin/env bash
# Installs a build into a scratch prefix and checks what a desktop gets: the exact file list,
# a valid desktop entry and metainfo that agree with each other, the theme icons, and the
# launcher that starts the program in the learner's word folder.
#
# Usage: tests/e2e/install_check.sh BUILD_DIR
# Exit 77 (skipped) when a validator is missing, except under CI.
set -euo pipefail

build="${1:?usage: $0 BUILD_DIR}"
source="$(cd "$(dirname "$0")/../.." && pwd)"
for tool in desktop-file-validate appstreamcli; do
    if ! command -v "$tool" >/dev/null; then
        echo "install_check: $tool is missing" >&2
        [ -n "${CI:-}" ] && exit 1
        exit 77
    fi
done

work="$(mktemp -d "${TMPDIR:-/tmp}/vocamint-install.XXXXXX")"
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "install_check: FAIL: $*" >&2
    failures=$((failures + 1))
}

prefix="$work/usr"
cmake --install "$build" --prefix "$prefix" >"$work/install.log" ||
    {
        cat "$work/install.log" >&2
        exit 1
    }

app_id=io.github.vocamint.Vocamint
# The statistics window's module lies in the library folder the build chose.
libdir="$(sed -n 's/^CMAKE_INSTALL_LIBDIR:[A-Z]*=//p' "$build/CMakeCache.txt")"
expected="bin/vocamint
bin/vocamint-start
${libdir:-lib}/vocamint/vocamint-statistics.so
share/applications/$app_id.desktop
share/doc/vocamint/copyright
share/icons/hicolor/16x16/apps/vocamint.png
share/icons/hicolor/32x32/apps/vocamint.png
share/icons/hicolor/48x48/apps/vocamint.png
share/icons/hicolor/scalable/apps/vocamint.svg
share/metainfo/$app_id.metainfo.xml
share/vocamint/examples/WL.txt"
actual="$(cd "$prefix" && find . -type f -printf '%P\n' | LC_ALL=C sort)"
[ "$actual" = "$expected" ] || fail "installed files differ:
$(diff <(echo "$expected") <(echo "$actual") || true)"

for exe in bin/vocamint bin/vocamint-start; do
    [ -x "$prefix/$exe" ] || fail "$exe is not executable"
done

# --- Desktop entry and metainfo -------------------------------------------------------

desktop="$prefix/share/applications/$app_id.desktop"
desktop-file-validate "$desktop" || fail "desktop-file-validate rejects the desktop entry"
appstreamcli validate --no-net --strict "$prefix/share/metainfo/$app_id.metainfo.xml" ||
    fail "appstreamcli rejects the metainfo"
# The tree check also matches the metainfo's launchable against the desktop entry and icon.
appstreamcli validate-tree --no-net "$prefix" >"$work/tree.log" 2>&1 ||
    fail "appstreamcli validate-tree: $(cat "$work/tree.log")"

# Each screenshot the metainfo lists is a picture in docs/, as the address names it.
shots="$(sed -n 's|.*<image>\(.*\)</image>.*|\1|p' "$prefix/share/metainfo/$app_id.metainfo.xml")"
[ -n "$shots" ] || fail "the metainfo lists no screenshots"
for url in $shots; do
    case "$url" in
    https://raw.githubusercontent.com/vocamint/vocamint/main/docs/*.png)
        file="$source/docs/${url##*/docs/}"
        [ "$(od -An -tx1 -N4 "$file" 2>/dev/null | tr -d ' ')" = 89504e47 ] ||
            fail "screenshot $url is not a PNG in docs/"
        ;;
    *) fail "screenshot $url is not in the project's docs/" ;;
    esac
done

entry_value() { sed -n "s/^$1=//p" "$desktop" | head -n 1; }
exec_cmd="$(entry_value Exec)"
[ -x "$prefix/bin/${exec_cmd%% *}" ] || fail "Exec=$exec_cmd is not an installed program"
[ "$(entry_value Icon)" = vocamint ] || fail "Icon is not vocamint"
[ "$(entry_value Name)" = Vocamint ] || fail "Name is not Vocamint"

# --- Icons ------------------------------------------------------------------------------

# Width, height and colour type from a PNG header: "16 16 6" for a 16 x 16 RGBA image.
png_header() {
    od -An -v -tu1 -j16 -N10 "$1" | awk '{
        print $1 * 16777216 + $2 * 65536 + $3 * 256 + $4, \
              $5 * 16777216 + $6 * 65536 + $7 * 256 + $8, $10 }'
}
for size in 16 32 48; do
    png="$prefix/share/icons/hicolor/${size}x${size}/apps/vocamint.png"
    [ "$(head -c 8 "$png" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] ||
        fail "$size: not a PNG"
    [ "$(png_header "$png")" = "$size $size 6" ] ||
        fail "$size: header '$(png_header "$png")', expected '$size $size 6' (RGBA)"
done
if command -v compare >/dev/null; then
    # The 48 pixel icon is the 16 pixel one with every pixel made a 3 x 3 block.
    icons="$prefix/share/icons/hicolor"
    convert "$icons/16x16/apps/vocamint.png" -sample 300% "$work/scaled.png"
    diff_pixels="$(compare -metric AE "$work/scaled.png" "$icons/48x48/apps/vocamint.png" \
        null: 2>&1)" || true
    [ "$diff_pixels" = 0 ] || fail "48 pixel icon differs from the 16 pixel one: $diff_pixels"
fi

# --- The launcher -----------------------------------------------------------------------
# A stand-in program records where and how it was started.

mv "$prefix/bin/vocamint" "$work/vocamint.real"
cat >"$prefix/bin/vocamint" <<'EOF'
#!/bin/sh
printf '%s\n' "$PWD" "$*" >"$LAUNCH_LOG"
EOF
chmod +x "$prefix/bin/vocamint"
sample="$prefix/share/vocamint/examples/WL.txt"
chmod a-w "$sample" # installed read-only for the learner

launch() { # HOME XDG_DATA_HOME (empty: unset) LAUNCHER ARGS...
    local home="$1" data="$2" launcher="$3"
    shift 3
    rm -f "$work/launch.log"
    env -u XDG_DATA_HOME HOME="$home" LAUNCH_LOG="$work/launch.log" \
        ${data:+XDG_DATA_HOME="$data"} "$launcher" "$@"
}
launched_in() { sed -n 1p "$work/launch.log" 2>/dev/null; }

# First start: the folder is made and seeded, and a writable copy of the sample is used.
launch "$work/h1" "$work/data1" "$prefix/bin/vocamint-start" ||
    fail "the launcher failed"
[ "$(launched_in)" = "$work/data1/vocamint" ] || fail "first start ran in '$(launched_in)'"
cmp -s "$sample" "$work/data1/vocamint/WL.txt" || fail "first start did not seed the sample list"
mode="$(stat -c '0%a' "$work/data1/vocamint/WL.txt" 2>/dev/null || echo 0)"
((mode & 0200)) || fail "the seeded list is not writable"
[ "$(cat "$work/data1/vocamint/env.ini")" = $'[Setting]\r\nIndex=-9\r\nGoto=\r' ] ||
    fail "first start did not open the sample on its first page"

# Later starts keep the learner's own list.
printf '1 mine \\e n. own\r\n' >"$work/data1/vocamint/WL.txt"
launch "$work/h1" "$work/data1" "$prefix/bin/vocamint-start" ||
    fail "the launcher failed"
[ "$(cat "$work/data1/vocamint/WL.txt")" = $'1 mine \\e n. own\r' ] ||
    fail "a later start replaced the learner's list"

# Without XDG_DATA_HOME the folder is under ~/.local/share; settings alone are no list.
mkdir -p "$work/h2/.local/share/vocamint"
printf '[Setting]\r\nIndex=11\r\n' >"$work/h2/.local/share/vocamint/env.ini"
launch "$work/h2" "" "$prefix/bin/vocamint-start" --extra ||
    fail "the launcher failed"
[ "$(launched_in)" = "$work/h2/.local/share/vocamint" ] ||
    fail "start without XDG_DATA_HOME ran in '$(launched_in)'"
cmp -s "$sample" "$work/h2/.local/share/vocamint/WL.txt" || fail "the list beside env.ini was not seeded"
[ "$(sed -n 2p "$work/launch.log")" = --extra ] || fail "arguments were not passed on"
[ "$(cat "$work/h2/.local/share/vocamint/env.ini")" = $'[Setting]\r\nIndex=11\r' ] ||
    fail "seeding the list replaced the learner's settings"

# Started through a link elsewhere, as a desktop or a user's bin folder may do.
mkdir -p "$work/links"
ln -s "$prefix/bin/vocamint-start" "$work/links/vocamint-start"
launch "$work/h3" "$work/data3" "$work/links/vocamint-start" ||
    fail "the launcher failed"
[ "$(launched_in)" = "$work/data3/vocamint" ] || fail "start through a link ran in '$(launched_in)'"
cmp -s "$sample" "$work/data3/vocamint/WL.txt" || fail "start through a link did not seed"

# A word folder that cannot be made: the launcher fails instead of running elsewhere.
touch "$work/blocked"
if launch "$work/h4" "$work/blocked" "$prefix/bin/vocamint-start" 2>/dev/null; then
    fail "the launcher succeeded without a word folder"
fi
[ ! -e "$work/launch.log" ] || fail "the program was started without a word folder"

if [ "$failures" -gt 0 ]; then
    echo "install_check: $failures check(s) failed" >&2
    exit 1
fi
echo "install_check: all checks passed"
