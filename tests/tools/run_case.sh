#!/bin/bash
# Runs one row of bad_input_cases.txt: builds a fresh work folder, runs the tool there and checks
# its exit status, that standard error is one line matching the row's pattern (or empty for "-"),
# that standard output holds a line matching the row's OUTPUT pattern (with a leading '!': holds none),
# and that no file of the folder was created, removed or changed.
# Usage: run_case.sh TABLE NAME; the tools come from $DEMO, $VIEWER, $MAKE, $GRID, a sample database from $SAMPLE.
set -u
table=$1 name=$2

row=$(grep -v '^#' "$table" | awk -F' [|] ' -v n="$name" '$1 == n' | head -n 1)
[ -n "$row" ] || { echo "no case named $name"; exit 1; }
row=${row% |}
IFS=$'\x1f' read -r _ want_status want_message want_output setup command input <<<"$(sed 's/ | /\x1f/g' <<<"$row")"
input=${input//$'\x1f'/ | }

work=$(mktemp -d "${TMPDIR:-/tmp}/rowlark_tools_case.XXXXXX")
logs=$(mktemp -d "${TMPDIR:-/tmp}/rowlark_tools_logs.XXXXXX")
trap 'chmod -R u+w "$work" 2>/dev/null; rm -rf "$work" "$logs"' EXIT
chmod 755 "$work"
cd "$work" || exit 1

# Setup helpers: each makes one file of the work folder.
sample() { cp "$SAMPLE" "$1"; chmod 644 "$1"; }
empty_goods() { "$MAKE" "$1" 0 >/dev/null; }
text_file() { printf 'not a database, only words\n' >"$1"; }
truncated() { head -c 3000 "$SAMPLE" >"$1"; }
corrupt() { sample "$1"; printf 'garbage%.0s' $(seq 1 600) | dd of="$1" bs=1 seek=100 conv=notrunc status=none; }
foreign() { "$MAKE" "$1" 3 --table other >/dev/null; }
sql() { sqlite3 "$1" "$2"; }
read_only() { sample "$1"; chmod 444 "$1"; }

# Runs the tool; as root, as nobody, so that a read-only file really is one.
as_user() {
    if [ "$(id -u)" = 0 ]; then setpriv --reuid=65534 --regid=65534 --clear-groups -- "$@"; else "$@"; fi
}
# Starts a tool in the background with the stopping signals at their defaults (a shell's
# background job would ignore SIGINT), sends SIG once WAIT_FOR (a shell test) holds, answers its status.
interrupt() {
    local sig=$1 wait_for=$2; shift 2
    env --default-signal=INT,TERM,HUP "$@" &
    # A minute as a last guard only: a loaded machine is slow, and the signal goes as soon as it holds.
    local pid=$! deadline=$((SECONDS + ${ROWLARK_TEST_WAIT:-60}))
    until eval "$wait_for"; do
        [ $SECONDS -lt $deadline ] || { echo "interrupt: the tool never got there" >&2; kill -KILL $pid; return 99; }
        sleep 0.05
    done
    kill -"$sig" $pid
    # The shell's own "Hangup" notice about its job is no message of the tool's.
    { wait $pid; } 2>/dev/null
}
# The viewer waiting for commands on a pipe kept open, interrupted once it shows its first page.
interrupt_viewer() {
    local sig=$1; shift
    mkfifo "$logs/commands"
    exec 3<>"$logs/commands"
    interrupt "$sig" 'grep -q "^id " "$logs/viewer.out" 2>/dev/null' "$VIEWER" "$@" <&3 >"$logs/viewer.out"
}
# The viewer waiting for commands on a pipe kept open, with its own signal SIG arriving right after
# its first check for one and before its wait (the test hook of tools/session/stop_signals.h).
signal_viewer_after_its_check() {
    local sig=$1; shift
    mkfifo "$logs/commands"
    exec 3<>"$logs/commands"
    ROWLARK_TEST_SIGNAL_AFTER_CHECK=$sig env --default-signal=INT,TERM,HUP "$VIEWER" "$@" <&3
}

eval "$setup" || { echo "setup failed: $setup"; exit 1; }
before=$(find . -printf '%p %y %m\n' | sort; find . -type f -exec sha256sum {} + | sort)

if [ -n "$input" ]; then
    eval "$input" | (eval "$command") >"$logs/out" 2>"$logs/err"
    status=${PIPESTATUS[1]}
else
    (eval "$command") </dev/null >"$logs/out" 2>"$logs/err"
    status=$?
fi

after=$(find . -printf '%p %y %m\n' | sort; find . -type f -exec sha256sum {} + | sort)
failed=0
if [ "$status" != "$want_status" ]; then echo "exit status $status, expected $want_status"; failed=1; fi
lines=$(wc -l <"$logs/err")
if [ "$want_message" = "-" ]; then
    [ -s "$logs/err" ] && { echo "expected no message"; failed=1; }
elif [ "$lines" != 1 ] || ! grep -qE -- "$want_message" "$logs/err"; then
    echo "expected one line matching: $want_message"; failed=1
fi
case "$want_output" in
    -) ;;
    !*) if grep -qE -- "${want_output#!}" "$logs/out"; then echo "output holds: ${want_output#!}"; failed=1; fi ;;
    *) if ! grep -qE -- "$want_output" "$logs/out"; then echo "output lacks: $want_output"; failed=1; fi ;;
esac
# With SECRET set (a password's marker), it is on neither output.
if [ -n "${SECRET:-}" ] && grep -qF -- "$SECRET" "$logs/out" "$logs/err"; then echo "printed the secret $SECRET"; failed=1; fi
if [ "$before" != "$after" ]; then
    echo "the work folder changed:"; diff <(echo "$before") <(echo "$after"); failed=1
fi
if [ $failed != 0 ]; then
    echo "--- command: $command"; echo "--- stderr:"; head -c 3000 "$logs/err"; echo "--- stdout (tail):"; tail -n 5 "$logs/out"
fi
exit $failed
