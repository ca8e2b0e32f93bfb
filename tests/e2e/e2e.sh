#!/usr/bin/env bash
# Drives the real program under X as a learner would: page keys, the add form, message
# boxes, Enter, Escape and closing through the window manager. After each run the word file
# and the settings file are compared byte for byte with what the run must leave behind.
#
# Usage: tests/e2e/e2e.sh [PROGRAM]   (default: vocamint on the PATH)
# Environment: E2E_ARTIFACTS  folder for screenshots and logs (default ./e2e-artifacts)
#              E2E_TIMEOUT    seconds for the whole test (default 300)
# Needs Xvfb, openbox and xdotool; ImageMagick's import for screenshots. Exit 77 (skipped)
# when one is missing, except under CI.
set -euo pipefail

program="${1:-vocamint}"
program="$(command -v "$program" || true)"
if [ -z "$program" ] || [ ! -x "$program" ]; then
    echo "e2e: program not found: ${1:-vocamint}" >&2
    exit 2
fi
program="$(cd "$(dirname "$program")" && pwd)/$(basename "$program")" # runs are started elsewhere
for tool in Xvfb openbox xdotool; do
    if ! command -v "$tool" >/dev/null; then
        echo "e2e: $tool is missing" >&2
        [ -n "${CI:-}" ] && exit 1
        exit 77
    fi
done

artifacts="${E2E_ARTIFACTS:-$PWD/e2e-artifacts}"
mkdir -p "$artifacts"
artifacts="$(cd "$artifacts" && pwd)"
work="$(mktemp -d "${TMPDIR:-/tmp}/vocamint-e2e.XXXXXX")"
pids=()
prog_pid=

cleanup() {
    local rc=$? i
    set +e
    trap - EXIT TERM INT
    [ -n "$prog_pid" ] && kill "$prog_pid" 2>/dev/null
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        kill "${pids[i]}" 2>/dev/null
    done
    wait 2>/dev/null
    rm -rf "$work"
    exit "$rc"
}
trap cleanup EXIT
trap 'echo "e2e: interrupted" >&2; exit 1' TERM INT

fail() {
    echo "e2e: FAIL [${run:-setup}]: $*" >&2
    screenshot "${run:-setup}-failure"
    if [ -n "${dir:-}" ] && [ -d "$dir" ]; then
        cp -r "$dir" "$artifacts/${run:-setup}-files" 2>/dev/null || true
    fi
    [ -f "$work/${run:-}.log" ] && cp "$work/$run.log" "$artifacts/" || true
    exit 1
}

# Whole-test watchdog: a hung program or X server must not hang the suite.
(
    trap 'kill "$nap" 2>/dev/null; exit 0' TERM
    sleep "${E2E_TIMEOUT:-300}" &
    nap=$!
    wait "$nap" && echo "e2e: timed out" >&2 && kill -TERM $$ 2>/dev/null
) &
pids+=($!)

# --- A private X display with a window manager --------------------------------------

export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_CACHE_HOME="$work/cache"
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
unset XAUTHORITY WAYLAND_DISPLAY
# No desktop bus: nothing in the test may start or reach session services.
export DBUS_SESSION_BUS_ADDRESS="unix:path=$work/no-bus"

exec {displayfd}>"$work/display"
Xvfb -displayfd "$displayfd" -screen 0 1280x1024x24 -nolisten tcp >"$work/Xvfb.log" 2>&1 &
pids+=($!)
exec {displayfd}>&-
for ((i = 0; i < 100; i++)); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
[ -s "$work/display" ] || fail "Xvfb did not start: $(cat "$work/Xvfb.log")"
DISPLAY=":$(head -n 1 "$work/display")"
export DISPLAY

# Openbox closes the active window politely (WM_DELETE_WINDOW) on Alt+F4, as desktops do.
cat >"$work/rc.xml" <<'EOF'
<?xml version="1.0" encoding="UTF-8"?>
<openbox_config xmlns="http://openbox.org/3.4/rc">
  <focus><focusNew>yes</focusNew></focus>
  <keyboard>
    <keybind key="A-F4"><action name="Close"/></keybind>
  </keyboard>
</openbox_config>
EOF
openbox --config-file "$work/rc.xml" >"$work/openbox.log" 2>&1 &
pids+=($!)
for ((i = 0; i < 100; i++)); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.1
done
xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' ||
    fail "openbox did not start: $(cat "$work/openbox.log")"

# --- Helpers ------------------------------------------------------------------------

screenshot() {
    command -v import >/dev/null && [ -n "${DISPLAY:-}" ] &&
        import -window root "$artifacts/$1.png" 2>/dev/null || true
}

# Prints the id of the visible top-level window titled exactly $1, waiting up to 20 s.
find_window() {
    local id
    id="$(timeout 20 xdotool search --sync --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1)" ||
        true
    [ -n "$id" ] || fail "no window titled '$1'"
    echo "$id"
}

window_gone() {
    local i
    for ((i = 0; i < 100; i++)); do
        xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1 || return 0
        sleep 0.1
    done
    fail "window '$1' did not close"
}

# Makes window $1 the active one, so that the keys that follow reach it.
activate() {
    local i
    xdotool windowactivate --sync "$1" >/dev/null 2>&1 || true
    for ((i = 0; i < 50; i++)); do
        [ "$(xdotool getactivewindow 2>/dev/null)" = "$1" ] && return 0
        sleep 0.1
    done
    fail "window $1 did not become active"
}

keys() { xdotool key --clearmodifiers --delay 80 "$@"; }
type_text() { xdotool type --clearmodifiers --delay 40 -- "$1"; }

# Starts the program in folder $dir (or the command given, in /) and waits for its window;
# sets $win.
start_program() {
    if [ "$#" -eq 0 ]; then
        (cd "$dir" && exec env QT_QPA_PLATFORM=xcb "$program") >"$work/$run.log" 2>&1 &
    else
        (cd / && exec env QT_QPA_PLATFORM=xcb "$@") >"$work/$run.log" 2>&1 &
    fi
    prog_pid=$!
    win="$(find_window Vocamint)"
    activate "$win"
    sleep 0.3 # let the window give the first button its focus
}

# Waits for the program to end by itself and checks that it ended cleanly.
wait_exit() {
    local i rc=0
    for ((i = 0; i < 150; i++)); do
        kill -0 "$prog_pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$prog_pid" 2>/dev/null && fail "the program did not end"
    wait "$prog_pid" || rc=$?
    prog_pid=
    [ "$rc" -eq 0 ] || fail "the program ended with status $rc: $(tail -n 20 "$work/$run.log")"
}

# Shows a message box titled $1, dismisses it with Enter and waits until it is gone.
answer_box() {
    local box
    box="$(find_window "$1")"
    screenshot "$run-box"
    activate "$box"
    keys Return
    window_gone "$1"
    activate "$win"
}

# The word list every run starts from: 25 entries in the canonical form.
sample_words() {
    local words=(apple book water house light paper river stone cloud green
        bread chair dream earth field glass heart index juice knife lemon
        money night ocean piano)
    local i
    for ((i = 0; i < ${#words[@]}; i++)); do
        printf '%d %s /%s/ n. %s-meaning\r\n' $((i + 1)) "${words[i]}" "${words[i]:0:3}" "${words[i]}"
    done
}

# A fresh folder for run $1 holding the sample list and, when given, the settings text $2.
prepare() {
    run="$1"
    dir="$work/$run"
    mkdir -p "$dir"
    sample_words >"$dir/WL.txt"
    touch -d @946684800 "$dir/WL.txt" # an old date shows whether the file was rewritten
    if [ "$#" -ge 2 ]; then
        printf '%b' "$2" >"$dir/env.ini"
        touch -d @946684800 "$dir/env.ini"
    fi
}

# Compares file $1 of the run's folder with the bytes on standard input.
expect_file() {
    cat >"$work/expected"
    cmp -s "$work/expected" "$dir/$1" && return 0
    echo "--- expected $1" >&2
    od -c "$work/expected" | tail -n 8 >&2
    echo "--- actual $1" >&2
    od -c "$dir/$1" 2>&1 | tail -n 8 >&2
    fail "$1 differs"
}

expect_unwritten() {
    [ "$(stat -c %Y "$dir/$1")" = 946684800 ] || fail "$1 was rewritten"
}

# The folder holds exactly the files named, nothing left over from saving. The backups
# folder that a save of the word list keeps beside it is checked on its own.
expect_files() {
    local actual
    actual="$(cd "$dir" && ls -A | grep -vx backups | tr '\n' ' ')"
    [ "$actual" = "$* " ] || fail "files in the folder: '$actual', expected '$* '"
}

sample_words >"$work/sample"
settings() { printf '[Setting]\r\nIndex=%s\r\nGoto=%s\r\n' "$1" "${2:-}"; }

# --- Page keys, left by Enter on the focused Exit button ----------------------------
# Each row: run name, settings before (empty: no file), keys, Index after.
page_runs=(
    "next|[Setting]\r\nIndex=-9\r\nGoto=3\r\n|Right Right Right|11"
    "prev|[Window]\r\nX=5\r\n[Setting]\r\nIndex=11\r\nGoto=\r\n|Left Left Left|-9"
    "first|[Setting]\r\nIndex=11\r\nGoto=\r\n|Home|-9"
    "last|[Setting]\r\nIndex=-9\r\nGoto=\r\n|End End|11"
    "fresh||Left Left Left|-30"
)
for row in "${page_runs[@]}"; do
    IFS='|' read -r name before page_keys index <<<"$row"
    if [ -n "$before" ]; then
        prepare "$name" "$before"
    else
        prepare "$name"
    fi
    start_program
    # shellcheck disable=SC2086 # the keys are separate words
    keys $page_keys
    screenshot "$run"
    keys Return
    wait_exit
    expect_file WL.txt <"$work/sample"
    expect_unwritten WL.txt
    if [ -n "$before" ]; then
        expect_file env.ini < <(printf '%b' "$before" | sed "s/^Index=.*\r\$/Index=$index\r/")
    else
        expect_file env.ini < <(settings "$index")
    fi
    expect_files WL.txt env.ini
    echo "e2e: ok $run"
done

# --- Enter in an edit leaves without adding the word typed ---------------------------
prepare enter-in-edit "[Setting]\r\nIndex=-9\r\nGoto=\r\n"
start_program
keys alt+o
type_text zebra
keys Tab
type_text animal
keys alt+t
type_text n.
screenshot "$run"
keys Return
wait_exit
expect_file WL.txt <"$work/sample"
expect_unwritten WL.txt
expect_file env.ini < <(settings -9)
echo "e2e: ok $run"

# --- Add: a missing meaning is refused, the word is added from the focused Add button,
# a second Enter is refused as a duplicate, and the window manager's close saves. ------
prepare add "[Setting]\r\nIndex=-9\r\nGoto=\r\n"
start_program
keys alt+t
type_text n.
keys alt+o
type_text "  zebra "
keys alt+a
answer_box Error # the meaning is missing; the box puts the focus into the Mean edit
type_text animal
keys Tab Return # Tab reaches the Add button; Enter presses it
screenshot "$run"
keys Return # the Add button still has the focus: the same word again
answer_box Info
keys alt+F4
wait_exit
# The new word has no spell; an empty field is written as \e.
expect_file WL.txt < <(cat "$work/sample" && printf '26 zebra \\e n. animal\r\n')
expect_file env.ini < <(settings 11)
expect_files WL.txt env.ini
echo "e2e: ok $run"

# --- Escape leaves without writing anything, even after an addition ------------------
prepare escape
start_program
keys End alt+o
type_text yak
keys Tab
type_text ox
keys alt+t
type_text n.
keys alt+a alt+a # the second press finds the word just added
answer_box Info
screenshot "$run"
keys Escape
wait_exit
expect_file WL.txt <"$work/sample"
expect_unwritten WL.txt
expect_files WL.txt
echo "e2e: ok $run"

# --- What that Escape left is kept in backups/; the next start tells of it once ---------
run=escape-kept
kept="$(ls "$dir/backups")"
[[ "$kept" == discarded-* ]] && [ "$(wc -l <<<"$kept")" -eq 1 ] || fail "kept: $kept"
grep -q '^26 yak ' "$dir/backups/$kept/added.txt" || fail "yak was not kept"
# The box comes as the window shows, so it is answered before the window is looked for.
(cd "$dir" && exec env QT_QPA_PLATFORM=xcb "$program") >"$work/$run.log" 2>&1 &
prog_pid=$!
box="$(find_window Info)"
screenshot "$run-box"
activate "$box"
keys space
window_gone Info
win="$(find_window Vocamint)"
activate "$win"
keys Escape
wait_exit
[ -e "$dir/backups/$kept/told" ] || fail "the start did not note that it told"
start_program
sleep 1
! xdotool search --onlyvisible --name '^Info$' >/dev/null 2>&1 || fail "told a second time"
keys Escape
wait_exit
expect_file WL.txt <"$work/sample"
expect_unwritten WL.txt
expect_files WL.txt
echo "e2e: ok $run"

# --- F2 edits the focused row, Delete removes another; the rest are numbered down --------
prepare edit-delete "[Setting]\r\nIndex=-9\r\nGoto=\r\n"
start_program
keys Tab Tab Tab Tab Tab Tab Tab Tab # from Exit past the page buttons and Hide boxes to row 2
keys F2
find_window "Edit Entry" >/dev/null
keys alt+w
type_text booklet
keys alt+s
type_text /bk/
keys Return
window_gone "Edit Entry"
keys Tab Tab Delete # row 4: house
screenshot "$run"
keys Return # Enter on a check box is Exit
wait_exit
expect_file WL.txt < <(sample_words | awk 'BEGIN { ORS = "" }
    NR == 2 { print "2 booklet /bk/ n. book-meaning\r\n"; next }
    NR == 4 { next }
    NR > 4 { sub(/^[0-9]+/, NR - 1) }
    { print $0 "\n" }' RS='\n')
expect_file env.ini < <(settings -9)
echo "e2e: ok $run"

# --- Helpers for the runs below ---------------------------------------------------------
# Types word $1 with meaning $2 into the add form of the active window and adds it.
add_word() {
    keys alt+o
    type_text "$1"
    keys Tab
    type_text "$2"
    keys alt+t
    type_text n.
    keys alt+a
}

# --- A signal saves what "&Exit" saves, then ends the program ----------------------------
for signal in TERM HUP INT; do
    prepare "signal-$signal" "[Setting]\r\nIndex=-9\r\nGoto=\r\n"
    start_program
    add_word zebra animal
    kill -s "$signal" "$prog_pid"
    wait_exit
    expect_file WL.txt < <(cat "$work/sample" && printf '26 zebra \\e n. animal\r\n')
    expect_file env.ini < <(settings 11)
    echo "e2e: ok $run"
done

# --- Two copies in one folder each add a word; both words survive -----------------------
# Like start_program, for a second copy in the same folder: answers the box that says
# another copy has the list open, then finds the window that is not $1.
start_second() {
    local i id box
    (cd "$dir" && exec env QT_QPA_PLATFORM=xcb "$program") >"$work/$run-2.log" 2>&1 &
    prog_pid=$!
    box="$(find_window Info)"
    screenshot "$run-box"
    activate "$box"
    keys space # presses OK; should the first window have the keys, it only gets a blank
    window_gone Info
    kill -0 "$prog_pid" 2>/dev/null || fail "the second copy ended: $(cat "$work/$run-2.log")"
    win=
    for ((i = 0; i < 200; i++)); do
        [ -n "$win" ] && break
        for id in $(xdotool search --onlyvisible --name '^Vocamint$' 2>/dev/null); do
            [ "$id" != "$1" ] && win="$id"
        done
        sleep 0.1
    done
    [ -n "$win" ] || fail "no second window"
    activate "$win"
    sleep 0.3
}

prepare two-copies "[Setting]\r\nIndex=-9\r\nGoto=\r\n"
start_program
first_win="$win" first_pid="$prog_pid"
add_word zebra animal
start_second "$first_win"
add_word yak ox
second_win="$win" second_pid="$prog_pid"
win="$first_win" prog_pid="$first_pid"
activate "$win"
keys alt+F4
wait_exit
win="$second_win" prog_pid="$second_pid"
activate "$win"
keys alt+F4
# The list was changed by the first copy: the box tells what was merged, then the copy ends.
box="$(find_window Info)"
activate "$box"
keys Return
wait_exit
expect_file WL.txt < <(cat "$work/sample" &&
    printf '26 zebra \\e n. animal\r\n27 yak \\e n. ox\r\n')
[ "$(ls "$dir/backups" | wc -l)" -eq 2 ] || fail "backups: $(ls "$dir/backups")"
expect_files WL.txt env.ini
echo "e2e: ok $run"

# --- One review: Ctrl+R, Space shows the answer, 3 grades it Good, Escape closes the review,
# Exit leaves; the history beside the list holds the one grade, and the list is untouched. ---
prepare review "[Setting]\r\nIndex=-9\r\nGoto=\r\n"
start_program
keys ctrl+r
review_win="$(find_window Review)"
activate "$review_win"
keys space 3
screenshot "$run"
keys Escape
window_gone Review
activate "$win"
keys alt+f x
wait_exit
expect_file WL.txt <"$work/sample"
expect_unwritten WL.txt
expect_file env.ini < <(settings -9)
expect_files WL.txt env.ini reviews.tsv
grep -v '^#' "$dir/reviews.tsv" >"$work/review-lines"
[ "$(wc -l <"$work/review-lines")" -eq 1 ] &&
    grep -qP '^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z\tapple\t3\t\d+\tw2m$' "$work/review-lines" ||
    fail "reviews.tsv: $(cat "$dir/reviews.tsv")"
echo "e2e: ok $run"

# --- The desktop entry, when the program is installed with one ------------------------
# Its command starts the program in the learner's word folder, seeded with the sample list
# and settings that open it on its first page.
bindir="$(dirname "$program")"
entry="$bindir/../share/applications/io.github.vocamint.Vocamint.desktop"
if [ -f "$entry" ]; then
    run=desktop-entry
    dir="$work/data/vocamint"
    read -r -a command <<<"$(sed -n 's/^Exec=//p' "$entry" | head -n 1)"
    [ "${#command[@]}" -gt 0 ] || fail "the desktop entry has no Exec line"
    start_program env PATH="$bindir:$PATH" XDG_DATA_HOME="$work/data" "${command[@]}"
    screenshot "$run"
    keys Return
    wait_exit
    expect_file WL.txt <"$bindir/../share/vocamint/examples/WL.txt"
    expect_file env.ini < <(settings -9) # the seeded settings open the sample on page 1
    expect_files WL.txt env.ini
    echo "e2e: ok $run"
fi

echo "e2e: all runs passed ($program)"
