#!/bin/bash
# Runs quirew-cli with the real chmcmd on copies of the sample project that a hostile or
# careless author prepared: links planted where the compiled document and its log go, a
# chapter named index.htm, an unreadable effects definitions file, a full standard
# output, and another program holding the project's lock. Every run must end with a
# non-zero status and a one-line reason, and change no chapter and nothing outside.
# Usage: hostile_project.sh QUIREW_CLI SOURCE_DIR
set -euo pipefail

cli=$1
source_dir=$2
for tool in chmcmd flock; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is not installed"
        exit 77
    fi
done

work=$(mktemp -d)
holder=
cleanup() {
    [ -z "$holder" ] || kill "$holder" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

data_like_shipped() { # DIR: a data folder of our own beside the shipped files
    mkdir -p "$1"
    for entry in "$source_dir"/data/*; do
        [ "$(basename "$entry")" = quirew.cfg ] || ln -s "$entry" "$1/"
    done
    # The setting names chmcmd instead of the built-in compiler.
    printf '[ENVIRONMENT_PROPERTIES]\r\nHHWorkShopPath=chmcmd\r\n' >"$1/quirew.cfg"
}
data_like_shipped "$work/data"
export QUIREW_DATA_DIR="$work/data"

outside="$work/outside"
mkdir "$outside"
printf 'not the project%ss\n' "'" >"$outside/secret.txt"

fresh() { # a new copy of the sample in $proj
    proj="$work/proj$1"
    cp -r "$source_dir/examples/sample" "$proj"
    qwr="$proj/sample.qwr"
}
fingerprint() { # the chapters and everything outside
    (cd "$proj" && md5sum intro.htm using.htm reference/commands.htm appendix.htm effects.htm)
    md5sum "$outside"/*
}
expect_refused() { # NAME EXPECTED-TEXT COMMAND...: non-zero, one-line reason, nothing changed
    local name=$1 text=$2
    shift 2
    local before
    before=$(fingerprint)
    if "$@" >"$work/out.txt" 2>"$work/err.txt"; then
        fail "$name: succeeded"
    fi
    tail -n 1 "$work/err.txt" | grep -q '^quirew-cli: ..' || fail "$name: no one-line reason at the end"
    grep -qF "$text" "$work/err.txt" || fail "$name: reason lacks '$text': $(cat "$work/err.txt")"
    [ "$(fingerprint)" = "$before" ] || fail "$name: a chapter or a file outside changed"
}

# --- planted links where the compiler writes -------------------------------------------
fresh 1
ln -s "$outside/secret.txt" "$proj/sample.chm"
expect_refused "document link" "sample.chm' cannot be written: it is a link" "$cli" build "$qwr"
fresh 2
ln -s "$outside/secret.txt" "$proj/sample_log.txt"
expect_refused "log link" "sample_log.txt' cannot be written: it is a link" "$cli" build "$qwr"
fresh 3
ln "$proj/intro.htm" "$proj/sample.chm"
expect_refused "document hard link" "sample.chm' cannot be written" "$cli" build "$qwr"

# --- a chapter named like the browser document's frame set -----------------------------
fresh 4
sep=--------------------------------------------------
printf '<html><body>\r\n%s\r\nTitle='"'"'Home'"'"' <!-- FileName='"'"'home.htm'"'"' -->\r\n%s\r\n<p>home</p>\r\n</body></html>\r\n' \
    "$sep" "$sep" >"$proj/index.htm"
sed -i 's/^NumOfChapters=5/NumOfChapters=6\r\nChapterTitle5=Home\r\nChapterFileName5=index.htm/' "$qwr"
before=$(md5sum "$proj/index.htm")
expect_refused "chapter index.htm" "index.htm' cannot be written: it is a chapter" \
    "$cli" tree "$qwr"
[ "$(md5sum "$proj/index.htm")" = "$before" ] || fail "the index.htm chapter changed"

# --- an effects definitions file that cannot be read -----------------------------------
fresh 5
data_like_shipped "$work/data5"
rm "$work/data5/xFiles"
mkdir -p "$work/data5/xFiles/Effects.sfx"
ln -s "$source_dir/data/xFiles/quirew.css" "$source_dir/data/xFiles/quirew.js" "$work/data5/xFiles/"
QUIREW_DATA_DIR="$work/data5" expect_refused "unreadable effects" "Unable to read" \
    "$cli" build "$qwr" --no-compile
[ ! -e "$proj/welcome.htm" ] || fail "pages were written without their effects"

# --- a result that cannot be written ---------------------------------------------------
fresh 6
if "$cli" build "$qwr" --no-compile >/dev/full 2>"$work/err.txt"; then
    fail "a build whose output could not be written succeeded"
fi
grep -q "unable to write to standard output" "$work/err.txt" || fail "no reason for the lost output"

# --- another program holds the project ---------------------------------------------------
fresh 7
# The holder becomes the sleeping process itself, so ending it lets the lock go.
(
    exec 9>"$qwr.lock"
    flock 9
    exec sleep 30
) &
holder=$!
for _ in $(seq 50); do
    flock -n "$qwr.lock" true || break
    sleep 0.1
done
expect_refused "busy build" "Project is busy" "$cli" build "$qwr"
expect_refused "busy tree" "Project is busy" "$cli" tree "$qwr"
[ ! -e "$proj/welcome.htm" ] && [ ! -e "$proj/index.htm" ] || fail "a busy project was written"
kill "$holder"
wait "$holder" 2>/dev/null || true
holder=
"$cli" build "$qwr" >/dev/null || fail "the build failed once the project was free"
"$cli" tree "$qwr" >/dev/null || fail "the tree failed once the project was free"
"$cli" tree "$qwr" >/dev/null || fail "a second tree could not replace the first"

echo "PASS"
