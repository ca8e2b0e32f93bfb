#!/usr/bin/env bash
# Runs the built program's command line on good and bad files and checks its output, its
# exit codes and WL.txt.
# Usage: tests/exchange/cli_test.sh PROGRAM
set -u
program="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
failures=0

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# expect STATUS COMMAND...: runs the program, keeping its output in out and err.
expect() {
    local want="$1"
    shift
    "$program" "$@" >out 2>err
    local got=$?
    [ "$got" -eq "$want" ] || fail "vocamint $* ended with $got, not $want: $(cat err)"
}

expect 0 --help
grep -q -- '--import FILE' out || fail "--help does not show --import"
expect 0 --version
grep -qx 'vocamint [0-9.]*' out || fail "--version printed '$(cat out)'"
[ ! -s err ] || fail "--version wrote to stderr"

# Usage errors: status 2, a message on stderr, nothing on stdout.
for args in "--bogus" "--import" "--format csv" "--import a.csv --export b.csv" \
    "--import a.csv --on-duplicate maybe" "--export b.csv --format doc" \
    "--on-duplicate skip" "--export list" "one two" "/no/such/folder"; do
    # shellcheck disable=SC2086
    expect 2 $args
    [ -s err ] || fail "vocamint $args gave no message"
    [ ! -s out ] || fail "vocamint $args wrote to stdout"
done

printf '1 apple /ap/ n. 苹果\r\n2 book /bk/ n. 书\r\n' >WL.txt
cp WL.txt before.txt

# A file that cannot be read, an empty one and one without any word change nothing.
printf '' >empty.csv
printf 'word,meaning\n' >header.csv
printf '"open,1\n' >broken.csv
for file in missing.csv empty.csv header.csv broken.csv; do
    expect 1 --import "$file"
    [ -s err ] || fail "importing $file gave no message"
    cmp -s WL.txt before.txt || fail "importing $file changed WL.txt"
done
grep -q 'line 1: unclosed quote' err || fail "no line number for the broken file: $(cat err)"

# A good file with a duplicate and a bad line: skipped by default.
printf 'word,meaning\ncat,猫\nbook,预订\n"bad\n' >good.csv
expect 0 --import good.csv
grep -q '1 new, 1 already in the list (skipped), 1 lines unreadable' out ||
    fail "summary: $(cat out)"
grep -q 'line 4: unclosed quote' err || fail "problems: $(cat err)"
printf '1 apple /ap/ n. 苹果\r\n2 book /bk/ n. 书\r\n3 cat \\e \\e 猫\r\n' >want.txt
cmp -s WL.txt want.txt || fail "after import: $(cat WL.txt)"
grep -q '^1 word added, 0 replaced; the list now has 3 words\.$' out || fail "counts: $(cat out)"
# Saved as the window saves: the replaced list kept in backups/, the file's mode kept.
[ -n "$(ls backups 2>/dev/null)" ] || fail "an import kept no backup"
chmod 640 WL.txt

expect 0 --import=good.csv --on-duplicate=replace --format csv
printf '1 apple /ap/ n. 苹果\r\n2 book \\e \\e 预订\r\n3 cat \\e \\e 猫\r\n' >want.txt
cmp -s WL.txt want.txt || fail "after replace: $(cat WL.txt)"
[ "$(stat -c %a WL.txt)" = 640 ] || fail "an import changed the list's mode to $(stat -c %a WL.txt)"
chmod 644 WL.txt

# Export in each format, then import into an empty list: the same words come back.
for format in csv tsv kvtml; do
    expect 0 --export "out.$format"
    grep -q "3 words written" out || fail "export $format: $(cat out)"
    mkdir "$format" && cd "$format" || exit 1
    expect 0 --import "../out.$format" --on-duplicate add
    cmp -s WL.txt ../want.txt || fail "$format round trip: $(cat WL.txt)"
    cd ..
done
expect 0 --export list.data --format tsv
head -n 1 list.data | grep -qx '#separator:tab' || fail "--format tsv not used"

# Hostile files end in a message and exit 1 within seconds, never in a crash or a hang, and
# change nothing. `timeout` turns a hang into status 124.
hostile() {
    local file="$1"
    cp WL.txt hostile-before.txt
    timeout 60 "$program" --import "$file" >out 2>err
    local got=$?
    [ "$got" -eq 1 ] || fail "importing $file ended with $got, not 1: $(head -c 300 err)"
    [ -s err ] || fail "importing $file gave no message"
    cmp -s WL.txt hostile-before.txt || fail "importing $file changed WL.txt"
}
python3 -c "print('<kvtml><entries><entry><translation id=\"0\"><text>'+'<b>'*100000+'x'+'</b>'*100000+'</text></translation></entry></entries></kvtml>')" >deep.kvtml
hostile deep.kvtml
grep -q 'line 1: elements nested more than 256 deep' err || fail "deep KVTML: $(cat err)"
python3 -c "print('<kvtml><wordtypes>'+'<container>'*30000+'</container>'*30000+'</wordtypes></kvtml>')" >types.kvtml
hostile types.kvtml
mkfifo fifo.csv
hostile fifo.csv
grep -q 'not a regular file' err || fail "FIFO: $(cat err)"
hostile /dev/zero
hostile /dev/urandom

# A million unreadable lines: the first few hundred are named, the rest counted.
{
    printf 'word,meaning\nlion,狮子\n'
    python3 -c "import sys; sys.stdout.write('\"x\"y\n' * 1000000)"
} >many-bad.csv
expect 0 --import many-bad.csv
[ "$(grep -c 'text after a closing quote' err)" -eq 300 ] || fail "bad lines listed: $(wc -l <err)"
grep -q 'and 999700 more lines that could not be read' err || fail "no count of the rest"
grep -q '1000000 lines unreadable' out || fail "summary: $(cat out)"

# The list itself, and a copy of it, import as their own entries: all already there.
cp WL.txt copy-of-list.txt
expect 0 --import copy-of-list.txt
grep -q '0 new, 4 already in the list' out || fail "list into itself: $(cat out)"
expect 0 --import WL.txt
grep -q '0 new, 4 already in the list' out || fail "list into itself: $(cat out)"

# Export fails cleanly without a list or into a folder that does not exist.
expect 1 --export no/such/folder/out.csv
mkdir empty && cd empty || exit 1
expect 1 --export out.csv
[ ! -e out.csv ] || fail "an export without a list wrote a file"
cd ..

# A WL.txt that cannot be read is not replaced by an import.
if [ "$(id -u)" -ne 0 ]; then
    chmod 000 WL.txt
    expect 1 --import good.csv
    chmod 644 WL.txt
    cmp -s WL.txt want.txt || fail "an unreadable list was changed"
fi

# Under a GB18030 locale the list is GB18030 while import and export files are UTF-8: imported
# words are stored in GB18030, and exported ones come out in UTF-8 again.
if locale -a 2>/dev/null | grep -qix 'zh_CN.gb18030'; then
    mkdir gb && cd gb || exit 1
    printf '1 apple \\e n. \306\273\271\373\r\n' >WL.txt # 苹果 in GB18030
    printf 'word,meaning\ncat,猫\n' >utf8.csv
    LC_ALL=zh_CN.gb18030 expect 0 --import utf8.csv
    printf '1 apple \\e n. \306\273\271\373\r\n2 cat \\e \\e \303\250\r\n' >want.txt
    cmp -s WL.txt want.txt || fail "GB18030 import: $(od -c WL.txt | head -n 3)"
    LC_ALL=zh_CN.gb18030 expect 0 --export out.tsv
    grep -q "^apple	.*	苹果\$" out.tsv && grep -q "^cat	.*	猫\$" out.tsv ||
        fail "GB18030 export is not UTF-8: $(od -c out.tsv | head -n 5)"
    cd ..
else
    echo "cli_test: zh_CN.gb18030 is not installed; the GB18030 case is left out" >&2
fi

# A window with the list open holds it: an import is refused and changes nothing, and goes
# through once the window has ended.
mkdir held && cd held || exit 1
# The lock lives in the user's runtime folder, never in the (perhaps synchronised) list folder.
mkdir -m 700 ../run && export XDG_RUNTIME_DIR="$PWD/../run"
printf '1 apple \\e n. m\r\n' >WL.txt
cp WL.txt before.txt
printf 'word,meaning\ncat,猫\n' >new.csv
QT_QPA_PLATFORM=offscreen "$program" >window.out 2>&1 &
holder=$!
held_lock() { compgen -G "$XDG_RUNTIME_DIR/vocamint/*-WL.txt.lock" >/dev/null; }
for _ in $(seq 100); do
    held_lock && break
    sleep 0.1
done
held_lock || fail "the window took no lock: $(cat window.out)"
lock=$(compgen -G "$XDG_RUNTIME_DIR/vocamint/*-WL.txt.lock")
[ ! -e .WL.txt.lock ] || fail "the lock was made in the list's folder"
expect 1 --import new.csv
grep -q 'has the word list .* open; nothing imported' err || fail "refusal said: $(cat err)"
[ ! -s out ] || fail "a refused import reported: $(cat out)"
cmp -s WL.txt before.txt || fail "an import beside an open window changed WL.txt"
kill "$holder"
wait "$holder" 2>/dev/null
expect 0 --import new.csv
grep -q '^2 cat ' WL.txt || fail "the import after the window ended: $(cat WL.txt)"
# A lock another computer took may be that computer's open copy: refused, and said so.
cp WL.txt before.txt
printf '%s\nvocamint\nfaraway\nx\n' "$$" >"$lock"
expect 1 --import new.csv
grep -q "computer 'faraway' may have the word list .* open; nothing imported" err ||
    fail "refusal for another computer said: $(cat err)"
cmp -s WL.txt before.txt || fail "an import refused for another computer changed WL.txt"
rm -f "$lock"
cd ..

# --due: the day's counts from the list, the review history beside it and [Review] in env.ini.
mkdir due && cd due || exit 1
printf '1 apple \\e n. a\r\n2 book \\e n. b\r\n3 cat \\e n. c\r\n' >WL.txt
printf '# history\n2020-01-01T00:00:00.000Z\tapple\t3\t1500\tw2m\n' >reviews.tsv
# Each row: env.ini text (printf format), expected output.
due_runs=(
    "|1 due, 2 new"
    "[Review]\r\nNewPerDay=1\r\n|1 due, 1 new"
    "[Review]\r\nNewPerDay=0\r\nReviewsPerDay=0\r\n|1 due, 0 new"
    "[Review]\r\nNewPerDay=oops\r\n|1 due, 2 new"
)
for row in "${due_runs[@]}"; do
    IFS='|' read -r ini want <<<"$row"
    printf "$ini" >env.ini # shellcheck disable=SC2059
    expect 0 --due
    [ "$(cat out)" = "$want" ] || fail "--due with '$ini' printed '$(cat out)', not '$want'"
done
cp reviews.tsv before.tsv
cp WL.txt before.txt
expect 0 --due ../due
[ "$(cat out)" = "1 due, 2 new" ] || fail "--due FOLDER printed '$(cat out)'"
cmp -s reviews.tsv before.tsv && cmp -s WL.txt before.txt || fail "--due changed a file"
printf 'garbage\n' >>reviews.tsv
expect 0 --due
grep -q 'line 3' err || fail "--due did not tell of the unreadable line: $(cat err)"
rm reviews.tsv && mkdir reviews.tsv
expect 1 --due
[ -s err ] && [ ! -s out ] || fail "--due on an unreadable history: '$(cat out)' '$(cat err)'"
expect 2 --due --export x.csv
cd .. || exit 1

# KVTML carries progress: an imported <grade> starts the word's review history, and an export
# writes the schedule back as <grade>; a file without grades leaves no history.
mkdir graded && cd graded || exit 1
printf '1 old \\e n. o\r\n' >WL.txt
printf '<?xml version="1.0" encoding="UTF-8"?><kvtml version="2.0"><entries><entry id="0"><translation id="0"><text>cat</text></translation><translation id="1"><text>mao</text></translation></entry></entries></kvtml>\n' >plain.kvtml
expect 0 --import plain.kvtml
[ ! -e reviews.tsv ] || fail "a KVTML file without grades started a history"
printf '<?xml version="1.0" encoding="UTF-8"?><kvtml version="2.0"><entries><entry id="0"><translation id="0"><text>dog</text></translation><translation id="1"><text>gou</text><grade><currentgrade>3</currentgrade><count>4</count><errorcount>1</errorcount><date>2020-01-01T10:00:00</date></grade></translation></entry></entries></kvtml>\n' >graded.kvtml
expect 0 --import graded.kvtml
[ "$(grep -c '	dog	' reviews.tsv 2>/dev/null)" -eq 4 ] ||
    fail "the imported grade gave the history: $(cat reviews.tsv 2>&1)"
expect 0 --due
[ "$(cat out)" = "1 due, 2 new" ] || fail "--due after a graded import printed '$(cat out)'"
expect 0 --export out.kvtml
grep -q '<currentgrade>' out.kvtml && [ "$(grep -c '<grade>' out.kvtml)" -eq 1 ] ||
    fail "the export does not carry the one word's grade: $(cat out.kvtml)"
cd .. || exit 1

# Column and header choices: the learner's roles, numbers and header answer are obeyed, and bad
# ones are usage errors that change nothing.
mkdir columns && cd columns || exit 1
printf 'German,English,Part of speech\nHund,dog,n.\nKatze,cat,n.\n' >de.csv
for case in "|1 Hund \\e n. dog|2 Katze \\e n. cat" \
    "--header no|1 German \\e Part\\sof\\sspeech English|2 Hund \\e n. dog|3 Katze \\e n. cat" \
    "--columns meaning,word,-|1 dog \\e \\e Hund|2 cat \\e \\e Katze" \
    "--columns=word=2,type=3,meaning=1 --header=yes|1 dog \\e n. Hund|2 cat \\e n. Katze"; do
    IFS='|' read -r args want <<<"$case"
    printf '' >WL.txt
    # shellcheck disable=SC2086
    expect 0 --import de.csv $args
    [ "$(tr -d '\r' <WL.txt | tr '\n' '|')" = "${want#|}|" ] ||
        fail "--import de.csv $args gave: $(tr -d '\r' <WL.txt | tr '\n' '|')"
done
printf '1 old \\e \\e o\r\n' >WL.txt
cp WL.txt before.txt
for args in "--import de.csv --columns meaning,type" "--import de.csv --columns word,word" \
    "--import de.csv --columns word,colour" "--import de.csv --columns word=0" \
    "--import de.csv --header maybe" "--header yes" "--columns word" \
    "--import x.kvtml --format kvtml --columns word"; do
    # shellcheck disable=SC2086
    expect 2 $args
    [ -s err ] && [ ! -s out ] || fail "vocamint $args: no message, or output on stdout"
    cmp -s WL.txt before.txt || fail "vocamint $args changed WL.txt"
done
printf '' >WL.txt
expect 0 --import de.csv
grep -qx 'Columns: word 1 (German), type 3 (Part of speech), meaning 2 (English); the first line held column names.' out ||
    fail "the summary does not say where the columns went: $(cat out)"
printf '1 old \\e \\e o\r\n' >WL.txt
expect 2 --import de.csv --columns type
grep -qx "vocamint: --columns: no column is the word" err || fail "--columns type: $(cat err)"
expect 0 --help
grep -q -- '--columns ROLES' out && grep -q -- '--header yes|no|auto' out ||
    fail "--help does not show --columns and --header"
cd .. || exit 1

[ "$failures" -eq 0 ] || exit 1
echo "cli_test: all passed"
