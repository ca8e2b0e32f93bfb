#!/usr/bin/env bash
# Two machines, one list: two Syncthing instances on this machine, each with its own home and
# ports and talking over the loopback address only, share one word folder. Vocamint adds words
# and reviews in each copy while one side has sync paused; after sync resumes and each Vocamint
# has started again, both copies hold every word and every review of both.
# Usage: tests/sync/sync_e2e.sh PROGRAM     (exit 77: skipped, Syncthing is not installed)
set -u
program="$(realpath "$1")"

skip() {
    echo "SKIP: $*"
    exit 77
}
command -v syncthing >/dev/null || skip "syncthing is not installed (scripts/deps.sh test installs it)"
command -v curl >/dev/null || skip "curl is not installed"

work="$(mktemp -d)"
pids=()
cleanup() {
    local pid
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null; done
    # VOCAMINT_SYNC_LOGS=FOLDER keeps both instances' logs there.
    if [ -n "${VOCAMINT_SYNC_LOGS:-}" ]; then
        mkdir -p "$VOCAMINT_SYNC_LOGS" && cp "$work/a/log" "$VOCAMINT_SYNC_LOGS/a.log" &&
            cp "$work/b/log" "$VOCAMINT_SYNC_LOGS/b.log"
    fi
    rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
die() {
    echo "FAIL: $*" >&2
    for side in a b; do
        echo "--- $side: folder" >&2
        ls -la "$work/$side/words" >&2
        echo "--- $side: log (last lines)" >&2
        tail -n 30 "$work/$side/log" >&2
        echo "--- $side: folder state" >&2
        api "$side" GET "/rest/db/status?folder=words" >&2
        api "$side" GET "/rest/db/file?folder=words&file=WL.txt" >&2
    done
    exit 1
}

# A port nobody listens on.
taken_ports=" $(ss -Htan | awk '{print $4}' | sed 's/.*://' | tr '\n' ' ') "
free_port() {
    local port
    while :; do
        port=$((20000 + RANDOM % 40000))
        [[ "$taken_ports" == *" $port "* ]] && continue
        taken_ports+="$port "
        echo "$port"
        return
    done
}

key="vocamint-sync-test-$$-$RANDOM"
declare -A id port gui
for side in a b; do
    mkdir -p "$work/$side/words/.stfolder"
    syncthing generate --home="$work/$side/home" --no-default-folder >/dev/null 2>&1 ||
        die "syncthing generate failed"
    id[$side]="$(syncthing serve --home="$work/$side/home" --device-id)"
    port[$side]="$(free_port)"
    gui[$side]="$(free_port)"
done
version="$(sed -n 's/.*<configuration version="\([0-9]*\)".*/\1/p' "$work/a/home/config.xml")"

# Loopback only: no discovery (local or global), no relays, no NAT traversal or STUN, no usage
# or crash reports, no upgrade checks; the other device is introduced by its id and address.
# Only a dials: two devices dialling each other at once drop one of the two connections,
# which can cut a transfer short.
declare -A dial=([a]="tcp://127.0.0.1:${port[b]}" [b]=dynamic)
for side in a b; do
    other=$([ "$side" = a ] && echo b || echo a)
    cat >"$work/$side/home/config.xml" <<EOF
<configuration version="$version">
    <folder id="words" label="words" path="$work/$side/words" type="sendreceive" rescanIntervalS="3" fsWatcherEnabled="true" fsWatcherDelayS="1" ignorePerms="false" autoNormalize="true">
        <filesystemType>basic</filesystemType>
        <device id="${id[$side]}" introducedBy=""></device>
        <device id="${id[$other]}" introducedBy=""></device>
        <markerName>.stfolder</markerName>
        <maxConflicts>-1</maxConflicts>
    </folder>
    <device id="${id[$side]}" name="$side" compression="metadata" introducer="false" skipIntroductionRemovals="false" introducedBy="">
        <address>tcp://127.0.0.1:${port[$side]}</address>
    </device>
    <device id="${id[$other]}" name="$other" compression="metadata" introducer="false" skipIntroductionRemovals="false" introducedBy="">
        <address>${dial[$side]}</address>
    </device>
    <gui enabled="true" tls="false" debugging="false">
        <address>127.0.0.1:${gui[$side]}</address>
        <apikey>$key</apikey>
    </gui>
    <options>
        <listenAddress>tcp://127.0.0.1:${port[$side]}</listenAddress>
        <globalAnnounceServer></globalAnnounceServer>
        <globalAnnounceEnabled>false</globalAnnounceEnabled>
        <localAnnounceEnabled>false</localAnnounceEnabled>
        <reconnectionIntervalS>1</reconnectionIntervalS>
        <relaysEnabled>false</relaysEnabled>
        <startBrowser>false</startBrowser>
        <natEnabled>false</natEnabled>
        <urAccepted>-1</urAccepted>
        <urSeen>3</urSeen>
        <urURL></urURL>
        <autoUpgradeIntervalH>0</autoUpgradeIntervalH>
        <releasesURL></releasesURL>
        <crashReportingEnabled>false</crashReportingEnabled>
        <crashReportingURL></crashReportingURL>
        <stunKeepaliveStartS>0</stunKeepaliveStartS>
        <stunKeepaliveMinS>0</stunKeepaliveMinS>
        <stunServer></stunServer>
        <announceLANAddresses>false</announceLANAddresses>
    </options>
</configuration>
EOF
    # STMONITORED: no monitor process in front of it, so that its id is the one to stop.
    HOME="$work/$side" STNODEFAULTFOLDER=1 STNOUPGRADE=1 STNORESTART=1 STMONITORED=yes \
        syncthing serve --home="$work/$side/home" --no-browser --no-restart --no-upgrade \
        >"$work/$side/log" 2>&1 &
    pids+=($!)
done

# api SIDE METHOD PATH: the side's REST interface, on the loopback address.
api() {
    curl -fsS -m 5 -X "$2" -H "X-API-Key: $key" "http://127.0.0.1:${gui[$1]}$3"
}
# until SECONDS WHAT COMMAND...: runs COMMAND every half second until it succeeds.
until_ok() {
    local limit=$(($(date +%s) + $1)) what="$2"
    shift 2
    until "$@" >/dev/null 2>&1; do
        [ "$(date +%s)" -lt "$limit" ] || die "timed out waiting for $what"
        sleep 0.5
    done
}
connected() { # SIDE OTHER
    api "$1" GET /rest/system/connections | tr -d ' \n' | grep -q "\"${id[$2]}\":{[^}]*\"connected\":true"
}
disconnected() { ! connected "$@"; }
same() { # FILE: the same bytes in both folders
    cmp -s "$work/a/words/$1" "$work/b/words/$1"
}
copies() { # SIDE: conflict copies in the side's folder
    find "$work/$1/words" -maxdepth 1 -name '*.sync-conflict-*' | sort
}
has_copies() { [ -n "$(copies a)" ] && [ "$(copies a | xargs -n1 basename)" = "$(copies b | xargs -n1 basename)" ]; }
settled() { same WL.txt && same reviews.tsv && [ -z "$(copies a)$(copies b)" ]; }
# Tells the side's Syncthing to look at its folder now; returns when it has.
scan() {
    api "$1" POST /rest/db/scan?folder=words >/dev/null || die "scanning on $1 failed"
}
vocamint() { # SIDE FILE: imports FILE in the side's folder
    (cd "$work/$1/words" && "$program" --import "$2")
}

until_ok 150 "both instances to answer" api a GET /rest/system/ping
until_ok 150 "both instances to answer" api b GET /rest/system/ping
until_ok 150 "the two devices to connect" connected a b

# Every socket either instance holds is on the loopback address: its sockets' inodes looked up
# in the kernel's tables (addresses in hex; 0100007F is 127.0.0.1, zeros an unconnected end).
sockets_of() {
    local pid="$1" inodes
    inodes="$(ls -l "/proc/$pid/fd" 2>/dev/null | sed -n 's/.*socket:\[\([0-9]*\)\].*/\1/p' | tr '\n' ' ')"
    cat /proc/net/tcp /proc/net/tcp6 /proc/net/udp /proc/net/udp6 2>/dev/null |
        awk -v inodes=" $inodes " 'index(inodes, " " $10 " ") { print $2, $3 }'
}
for pid in "${pids[@]}"; do
    seen="$(sockets_of "$pid")"
    [ -n "$seen" ] || fail "no sockets of syncthing ($pid) seen"
    outside="$(tr ' ' '\n' <<<"$seen" | sed 's/:.*//' |
        grep -vx '0100007F\|00000000\|0000000000000000FFFF00000100007F\|00000000000000000000000001000000\|00000000000000000000000000000000' || true)"
    [ -z "$outside" ] || fail "syncthing ($pid) uses addresses other than 127.0.0.1: $outside"
done

printf 'word,meaning\napple,苹果\nbook,书\n' >"$work/start.csv"
printf 'word,meaning\ncat,猫\ndog,狗\n' >"$work/a.csv"
printf 'word,meaning\negg,蛋\nfig,无花果\n' >"$work/b.csv"
printf 'word,meaning\napple,苹果\n' >"$work/again.csv"
vocamint a "$work/start.csv" >/dev/null || die "the first import failed"
# History lines stamped minutes ago, and one from a clock ten minutes ahead.
stamp() { date -u -d "$1" +%Y-%m-%dT%H:%M:%S.000Z; }
printf '# review history\n%s\tapple\t3\t2100\tw2m\n' "$(stamp '-30 min')" >"$work/a/words/reviews.tsv"
scan a
until_ok 150 "the list to reach the other machine" settled

# Each machine studies while the two cannot hear each other.
api a POST "/rest/system/pause?device=${id[b]}" || die "pausing failed"
until_ok 90 "the devices to part" disconnected b a
vocamint a "$work/a.csv" >/dev/null || die "the import on a failed"
printf '%s\tcat\t3\t1800\tw2m\n%s\tdog\t1\t4000\tw2m\n' "$(stamp '-20 min')" "$(stamp '-19 min')" \
    >>"$work/a/words/reviews.tsv"
sleep 1.1 # a later change on b: its files win, a's become the conflict copies
vocamint b "$work/b.csv" >/dev/null || die "the import on b failed"
printf '%s\tegg\t4\t1200\tm2w\n%s\tfig\t2\t3000\tw2m\n' "$(stamp '-25 min')" "$(stamp '+10 min')" \
    >>"$work/b/words/reviews.tsv"
# Each side has seen its own change before it hears of the other's.
scan a
scan b
api a POST "/rest/system/resume?device=${id[b]}" || die "resuming failed"
until_ok 150 "the conflict copies on both machines" has_copies

# Each Vocamint starts again: merges, and finds the words of the import there already.
out_a="$(vocamint a "$work/again.csv")" || die "the merge on a failed"
scan a
out_b="$(vocamint b "$work/again.csv")" || die "the merge on b failed"
scan b
printf '%s\n%s\n' "$out_a" "$out_b" | grep -qx 'Merged 2 words and 2 reviews from 2 copies made on another machine\.' ||
    fail "no merge reported: a: $out_a; b: $out_b"
until_ok 150 "both machines to settle" settled

# Whichever side merged, the line from the fast clock counts from the merge, not from the future.
grep -q "	fig	2	3000	w2m	@" "$work/a/words/reviews.tsv" || fail "the future stamp was not capped"
for side in a b; do
    for word in apple book cat dog egg fig; do
        count=$(grep -c " $word " "$work/$side/words/WL.txt")
        [ "$count" -eq 1 ] || fail "$side: $word is in WL.txt $count times"
    done
    for word in apple cat dog egg fig; do
        count=$(grep -c "	$word	" "$work/$side/words/reviews.tsv")
        [ "$count" -eq 1 ] || fail "$side: $word has $count reviews"
    done
    ls "$work/$side/words/backups" | grep -q 'sync-conflict' ||
        fail "$side: the merged copies are not in backups/"
done
[ "$(wc -l <"$work/a/words/WL.txt")" -eq 6 ] || fail "WL.txt: $(cat "$work/a/words/WL.txt")"
diff <(grep -v '^#' "$work/a/words/reviews.tsv" | sort) <(grep -v '^#' "$work/b/words/reviews.tsv" | sort) ||
    fail "the two histories differ"

if [ "$failures" -gt 0 ]; then
    die "$failures checks failed"
fi
echo "a said: $out_a"
echo "b said: $out_b"
echo "the list on both:"
cat "$work/a/words/WL.txt"
echo "the history on both:"
cat "$work/a/words/reviews.tsv"
echo "two machines: the same list and history on both"
