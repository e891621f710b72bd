#!/bin/bash
# Builds projects with quirew-cli and its built-in compiler (the default: no compiler set,
# no chmcmd on PATH) and reads the documents with independent readers only: chmlib's
# enum_chmLib and extract_chmLib, chmls and 7-Zip list and extract every file of the
# help project's list, the contents and the index byte for byte. The sample and a
# generated project of 300 topics always; the 100 x 99 benchmark project when
# QW_E2E_LARGE=1 (slow). Then the sample is also compiled with chmcmd and the two
# documents compared: the same files, the same window definition and language.
# Usage: builtin_compiler.sh QUIREW_CLI SOURCE_DIR [GEN_PROJECT]
set -euo pipefail

cli=$1
source_dir=$2
gen_project=${3:-}
for tool in enum_chmLib extract_chmLib chmls 7z; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is not installed"
        exit 77
    fi
done
python=/usr/bin/python3
"$python" -c 'from chm import chmlib' 2>/dev/null || { echo "SKIP: python3-chm is not installed"; exit 77; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

mkdir "$work/data"
for entry in "$source_dir"/data/*; do
    [ "$(basename "$entry")" = quirew.cfg ] || ln -s "$entry" "$work/data/"
done
export QUIREW_DATA_DIR="$work/data"

# A PATH without chmcmd: the built-in compiler needs no outside program.
mkdir "$work/bin"
for tool in sh bash cat; do ln -s "$(command -v $tool)" "$work/bin/"; done

# check_document DIR NAME: builds DIR/NAME.qwr and checks what every reader sees.
check_document() {
    local dir=$1 name=$2
    local chm="$dir/$name.chm"
    PATH="$work/bin" "$cli" build "$dir/$name.qwr" --no-clean-up >"$work/out.txt" 2>"$work/err.txt" ||
        fail "$name: build failed: $(cat "$work/err.txt")"
    [ -s "$chm" ] || fail "$name: no document"
    grep -q "^Writing CHM $name.chm" "$dir/${name}_log.txt" || fail "$name: log not written"

    sed -n '/^\[FILES\]/,/^\[/p' "$dir/$name.hhp" | tr -d '\r' | grep -v '^\[' | grep . \
        >"$work/listed.txt"
    printf '%s\n' "${name}_toc.hhc" "${name}_indx.hhk" >>"$work/listed.txt"

    # Listing: chmlib, chmls and 7-Zip each name every file (names compared in lower case).
    lower_sorted() { tr '[:upper:]' '[:lower:]' | sort -u; }
    sed 's|^|/|' "$work/listed.txt" | lower_sorted >"$work/want.txt"
    enum_chmLib "$chm" | awk '{ print $NF }' | lower_sorted >"$work/enum.txt"
    chmls -p -n list "$chm" 2>/dev/null | lower_sorted >"$work/chmls.txt"
    7z l -slt "$chm" | sed -n 's|^Path = |/|p' | lower_sorted >"$work/7z.txt"
    local reader missing
    for reader in enum chmls 7z; do
        missing=$(comm -23 "$work/want.txt" "$work/$reader.txt")
        [ -z "$missing" ] || fail "$name: $reader does not list $(head -n 3 <<<"$missing")"
    done

    # Extraction: each reader gives every file byte for byte.
    rm -rf "$work/x" "$work/z" "$work/c"
    extract_chmLib "$chm" "$work/x" >/dev/null
    7z x -y -o"$work/z" "$chm" >/dev/null || fail "$name: 7z reported errors"
    chmls extractall "$chm" "$work/c" >/dev/null 2>&1 || fail "$name: chmls could not extract"
    while read -r file; do
        cmp -s "$dir/$file" "$work/x/$file" || fail "$name: extract_chmLib: $file differs"
        cmp -s "$dir/$file" "$work/z/$file" || fail "$name: 7z: $file differs"
        cmp -s "$dir/$file" "$work/c/$file" || fail "$name: chmls: $file differs"
    done <"$work/listed.txt"
    echo "$name: $(wc -l <"$work/listed.txt") files read back by every reader"
}

# --- the sample ------------------------------------------------------------------------
cp -r "$source_dir/examples/sample" "$work/sample"
check_document "$work/sample" sample

# --- 300 topics in four chapters -------------------------------------------------------
"$python" "$source_dir/tests/e2e/make_project.py" "$work/de" de "0x407 German (Germany)" 4 75 german
check_document "$work/de" de

# --- the benchmark project, on request ---------------------------------------------------
if [ "${QW_E2E_LARGE:-0}" = 1 ] && [ -n "$gen_project" ]; then
    "$gen_project" "$work/large" >/dev/null
    check_document "$work/large" synthetic
fi

# --- the same sample compiled by chmcmd: same files, window and language ----------------
if command -v chmcmd >/dev/null; then
    cp -r "$source_dir/examples/sample" "$work/other"
    mkdir "$work/data2"
    for entry in "$source_dir"/data/*; do
        [ "$(basename "$entry")" = quirew.cfg ] || ln -s "$entry" "$work/data2/"
    done
    printf '[ENVIRONMENT_PROPERTIES]\r\nHHWorkShopPath=chmcmd\r\n' >"$work/data2/quirew.cfg"
    QUIREW_DATA_DIR="$work/data2" "$cli" build "$work/other/sample.qwr" >/dev/null ||
        fail "chmcmd build failed"
    "$python" - "$work/sample/sample.chm" "$work/other/sample.chm" <<'PY' || exit 1
import struct, sys
from chm import chmlib

def files(path):
    f = chmlib.chm_open(path.encode())
    names = {}
    def take(f, ui, ctx):
        names[ui.path.decode()] = ui.length
        return chmlib.CHM_ENUMERATOR_CONTINUE
    chmlib.chm_enumerate(f, chmlib.CHM_ENUMERATE_ALL, take, None)
    def read(name):
        r, ui = chmlib.chm_resolve_object(f, name.encode())
        if r != chmlib.CHM_RESOLVE_SUCCESS:
            return None
        return chmlib.chm_retrieve_object(f, ui, 0, ui.length)[1]
    return names, read

ours, read_ours = files(sys.argv[1])
theirs, read_theirs = files(sys.argv[2])
def fail(text):
    print("FAIL: " + text, file=sys.stderr); sys.exit(1)

def plain(names):  # the document's own files, its system files and its link indexes
    return {n.lower() for n in names if n.startswith("/") and not n.endswith("/")
            and (n.startswith("/$WW") or not n.startswith(("/$", "/_#_")))}
if plain(ours) != plain(theirs):
    fail(f"file sets differ: ours only {sorted(plain(ours) - plain(theirs))}, "
         f"chmcmd only {sorted(plain(theirs) - plain(ours))}")

def system(read):
    data = read("/#SYSTEM")
    entries, at = {}, 4
    while at + 4 <= len(data):
        code, size = struct.unpack_from("<HH", data, at)
        entries[code] = data[at + 4:at + 4 + size]
        at += 4 + size
    return entries
so, st = system(read_ours), system(read_theirs)
if so[4][:4] != st[4][:4]:
    fail(f"language differs: {so[4][:4].hex()} against {st[4][:4].hex()}")
if so[4][12:16] != st[4][12:16]:
    fail(f"keyword links flag: {so[4][12:16].hex()} against {st[4][12:16].hex()}")
for code in (0, 1, 2, 5, 7):  # contents, index, default topic, default window, binary index
    if so.get(code) != st.get(code):
        fail(f"#SYSTEM entry {code}: {so.get(code)} against {st.get(code)}")

def window(read):
    data, strings = read("/#WINDOWS"), read("/#STRINGS")
    count, size = struct.unpack_from("<II", data, 0)
    w = data[8:8 + size]
    text = lambda off: strings[struct.unpack_from("<I", w, off)[0]:].split(b"\0")[0]
    number = lambda off: struct.unpack_from("<I", w, off)[0]
    return (count, [text(o) for o in (0x08, 0x14, 0x60, 0x64, 0x68, 0x6C, 0x9C, 0xA0, 0xA4, 0xA8)],
            [number(o) for o in (0x10, 0x20, 0x24, 0x28, 0x2C, 0x4C, 0x70)])
if window(read_ours) != window(read_theirs):
    fail(f"window differs: {window(read_ours)} against {window(read_theirs)}")

# The keyword index: where its layout does not depend on the compiler's choices, the
# bytes are chmcmd's. chmcmd records no language and a tree depth one short, and keeps
# only the first page of an index item that names several: ours keeps them all.
def listing(read):
    btree = read("/$WWKeywordLinks/BTree")
    entries, block = [], 0
    while True:
        data = btree[0x4C + block * 2048:0x4C + (block + 1) * 2048]
        count, nxt = struct.unpack_from("<H", data, 2)[0], struct.unpack_from("<i", data, 8)[0]
        at = 12
        for _ in range(count):
            end = at
            while data[end:end + 2] != b"\0\0":
                end += 2
            name = data[at:end].decode("utf-16-le")
            see, depth, char, zero, pairs = struct.unpack_from("<HHIII", data, end + 2)
            topics = struct.unpack_from(f"<{pairs}I", data, end + 18)
            entries.append((name, see, depth, char, topics))
            at = end + 18 + 4 * pairs + 8
        if nxt == -1:
            return btree, entries
        block = nxt

def page(read, topic):
    topics, urltbl, urlstr = read("/#TOPICS"), read("/#URLTBL"), read("/#URLSTR")
    at = struct.unpack_from("<I", urltbl, struct.unpack_from("<I", topics, topic * 16 + 8)[0] + 8)[0]
    return urlstr[at + 8:].split(b"\0")[0].lower()

bo, eo = listing(read_ours)
bt, et = listing(read_theirs)
for part in ((0, 0x2A), (0x2C, 0x34), (0x38, 0x4C)):
    if bo[part[0]:part[1]] != bt[part[0]:part[1]]:
        fail(f"keyword index header bytes {part}: {bo[:0x4C].hex()} against {bt[:0x4C].hex()}")
for name in ("Data", "Property"):
    if read_ours("/$WWKeywordLinks/" + name) != read_theirs("/$WWKeywordLinks/" + name):
        fail(f"keyword index {name} differs from chmcmd's")
if [e[:4] for e in eo] != [e[:4] for e in et]:
    fail(f"keyword entries differ: {[e[:4] for e in eo]} against {[e[:4] for e in et]}")
for o, t in zip(eo, et):
    ours_pages = {page(read_ours, n) for n in o[4]}
    if not {page(read_theirs, n) for n in t[4]} <= ours_pages:
        fail(f"keyword {o[0]!r} lacks pages chmcmd's index has")
print("same files, window, language and keyword index layout as chmcmd's document")
PY
fi
echo "PASS"
