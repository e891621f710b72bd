#!/bin/bash
# Opens the sample, compiled by the built-in compiler, in xchm and kchmviewer under Xvfb:
# each viewer must stay up and show a window captioned with the document's title, which
# it reads from the document's system file.
# Usage: viewers.sh QUIREW_CLI SOURCE_DIR
set -euo pipefail

cli=$1
source_dir=$2
for tool in Xvfb xdotool xchm kchmviewer; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is not installed"
        exit 77
    fi
done

work=$(mktemp -d)
xvfb=
viewer=
cleanup() {
    [ -z "$viewer" ] || kill "$viewer" 2>/dev/null || true
    [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

mkdir "$work/data"
for entry in "$source_dir"/data/*; do
    [ "$(basename "$entry")" = quirew.cfg ] || ln -s "$entry" "$work/data/"
done
# With chmcmd installed an empty setting would choose it.
printf '[ENVIRONMENT_PROPERTIES]\r\nHHWorkShopPath=built-in\r\n' >"$work/data/quirew.cfg"
export QUIREW_DATA_DIR="$work/data"
cp -r "$source_dir/examples/sample" "$work/sample"
"$cli" build "$work/sample/sample.qwr" >/dev/null || fail "build failed"
grep -q -E '^Note: [0-9]+ files, [0-9]+ pages' "$work/sample/sample_log.txt" || fail "the built-in compiler did not run"
chm="$work/sample/sample.chm"

Xvfb -displayfd 3 -screen 0 1280x900x24 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start"
export DISPLAY=":$(cat "$work/display")"
export XDG_RUNTIME_DIR="$work"

# open_in NAME COMMAND...: the viewer shows the document's window and stays up.
open_in() {
    local name=$1
    shift
    "$@" "$chm" >"$work/$name.log" 2>&1 &
    viewer=$!
    local window=""
    for _ in $(seq 60); do
        window=$(xdotool search --onlyvisible --name "Tidewater Notes Help" 2>/dev/null | head -n 1 || true)
        [ -n "$window" ] && break
        kill -0 "$viewer" 2>/dev/null || fail "$name ended: $(tail -n 3 "$work/$name.log")"
        sleep 0.5
    done
    [ -n "$window" ] || fail "$name shows no window with the document's title"
    sleep 2
    kill -0 "$viewer" 2>/dev/null || fail "$name ended after opening the document"
    echo "$name: $(xdotool getwindowname "$window")"
    kill "$viewer"
    wait "$viewer" 2>/dev/null || true
    viewer=
}
open_in xchm xchm
QT_QPA_PLATFORM=xcb open_in kchmviewer kchmviewer
echo "PASS"
