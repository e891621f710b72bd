#!/bin/bash
# Builds projects with quirew-cli and its built-in compiler (the default: no compiler set,
# no chmcmd on PATH) and reads the documents with independent readers only: chmlib's
# enum_chmLib and extract_chmLib, chmls and 7-Zip list and extract every file of the
# help project's list, the contents and the index byte for byte. The sample and a
# generated German project of 300 topics and a Cyrillic one of 320 always, each also
# searched with python3-chm's full-text search; the 100 x 99 benchmark project (searched
# too) when QW_E2E_LARGE=1 (about a minute; ctest sets it when the generator is built).
# Then the sample is also compiled with chmcmd and the two documents compared: the same
# files, the same window definition and language.
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

# check_search DIR NAME CODEPAGE KIND: python3-chm's full-text search (chmlib reading the
# index, a search written apart from ours) finds words of the pages' texts and titles in
# the document DIR/NAME.chm, and finds no word the pages do not hold. KIND "sample" takes
# the words from the extracted pages; "german"/"cyrillic" knows make_project.py's words.
check_search() {
    "$python" - "$1/$2.chm" "$work/x" "$3" "$4" "$2" <<'PY' || exit 1
import html, re, struct, sys
from chm import chm, chmlib
path, extracted, codepage, kind, name = sys.argv[1:6]
cp = f"cp{codepage}"
def fail(text):
    print(f"FAIL: {name}: search: {text}", file=sys.stderr); sys.exit(1)

doc = chm.CHMFile()
doc.LoadCHM(path.encode())
if not doc.IsSearchable():
    fail("the document has no full-text index")
r, ui = chmlib.chm_resolve_object(doc.file, b"/#SYSTEM")
system = chmlib.chm_retrieve_object(doc.file, ui, 0, ui.length)[1]
at = 4
while at + 4 <= len(system):
    code, size = struct.unpack_from("<HH", system, at)
    if code == 4 and struct.unpack_from("<I", system, at + 12)[0] != 1:
        fail("#SYSTEM does not say that the document can be searched")
    at += 4 + size
r, ui = chmlib.chm_resolve_object(doc.file, b"/$FIftiMain")
header = chmlib.chm_retrieve_object(doc.file, ui, 0, 0x82)[1]
leaves, depth = struct.unpack_from("<I", header, 0x10)[0], struct.unpack_from("<H", header, 0x18)[0]
if struct.unpack_from("<I", header, 0x7A)[0] != int(codepage):
    fail("the index names another code page")

def pages(word, titles=0):
    found = doc.Search(word.encode(cp), 1, titles)[1]
    return {url.lstrip(b"/").decode(cp) for url in found.values()}

topics = []
if kind == "sample":
    import glob, os
    for file in sorted(glob.glob(f"{extracted}/**/*.htm", recursive=True)):
        page = os.path.relpath(file, extracted)
        text = open(file, "rb").read().decode(cp)
        title = re.search(r"<title>(.*?)</title>", text, re.S | re.I)
        words = re.findall(r"[a-z]{4,}", html.unescape(title.group(1)).lower()) if title else []
        if words and page not in pages(words[-1], 1):
            fail(f"title word {words[-1]} does not find {page}")
        body = re.findall(r"<p>([A-Za-z ,.]+)</p>", text)
        words = re.findall(r"[a-z]{4,}", body[0].lower()) if body else []
        if words and page not in pages(words[-1]):
            fail(f"text word {words[-1]} does not find {page}")
        topics.append(page)
    if len(topics) < 10:
        fail(f"only {len(topics)} pages")
elif kind == "large":
    # The benchmark project: each title "Topic C_T" finds its page alone.
    for c in range(0, 100, 7):
        for t in range(0, 99, 11):
            found = pages(f"{c}_{t}", 1)
            if len(found) != 1 or not next(iter(found)).endswith(f"c{c}_{t}.htm"):
                fail(f"title word {c}_{t} finds {sorted(found)[:3]}")
            topics.append(f"c{c}_{t}.htm")
    if leaves < 2:
        fail(f"the index of the benchmark project has {leaves} leaves")
else:
    chapters = {"german": 4, "cyrillic": 4}[kind]
    per = {"german": 75, "cyrillic": 80}[kind]
    for c in range(chapters):
        for t in range(per):
            topics.append(f"{chr(97 + c)}{t}.htm")
    for page in topics:
        word = "bodyword" + page[:-4]
        if pages(word) != {page}:
            fail(f"{word} finds {pages(word)}")
        if pages(word, 1):
            fail(f"{word} stands in no title but is found in one")
    if depth < 2 or leaves < 2:
        fail(f"the index of {len(topics)} pages has {leaves} leaves and {depth} levels")
    if kind == "german":
        if pages("zürich", 1) != set(topics) or pages("bärenhöhle") != set(topics):
            fail("German words of titles or texts are not found on every page")
    else:
        want = {p for p in topics if int(p[1:-4]) % 10 != 3}
        if pages("москва", 1) != want:
            fail(f"Cyrillic title word finds {len(pages('москва', 1))} pages, not {len(want)}")
        if pages("зимний") != set(topics) or pages("дворец") != set(topics):
            fail("Cyrillic text words are not found on every page")
        # "Größe" cannot be written in code page 1251: no part of it becomes a word.
        if pages("gr") or pages("e"):
            fail("pieces of a word the code page cannot hold were indexed")
for absent in ("bodywordz999", "quirewrightnowhere", "zzzz"):
    if pages(absent):
        fail(f"{absent}, a word of no page, is found")
print(f"{name}: search finds the words of {len(topics)} pages ({leaves} leaves, {depth} levels)")
PY
}

# --- the sample ------------------------------------------------------------------------
cp -r "$source_dir/examples/sample" "$work/sample"
check_document "$work/sample" sample
check_search "$work/sample" sample 1252 sample

# --- 300 topics in four chapters -------------------------------------------------------
"$python" "$source_dir/tests/e2e/make_project.py" "$work/de" de "0x407 German (Germany)" 4 75 german
check_document "$work/de" de
check_search "$work/de" de 1252 german

# --- 320 Cyrillic topics, some with German titles ---------------------------------------
"$python" "$source_dir/tests/e2e/make_project.py" "$work/cyr" cyr "0x419 Russian" 4 80 cyrillic
check_document "$work/cyr" cyr
check_search "$work/cyr" cyr 1251 cyrillic

# --- the benchmark project, on request ---------------------------------------------------
if [ "${QW_E2E_LARGE:-0}" = 1 ] && [ -n "$gen_project" ]; then
    "$gen_project" "$work/large" >/dev/null
    check_document "$work/large" synthetic
    check_search "$work/large" synthetic 1252 large
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

# The document's own files, its system files, its link indexes and its search index.
# Left out: the container's own entries, and $OBJINST, the word breaker's character table
# that chmcmd copies in and no reader here uses.
def plain(names):
    return {n.lower() for n in names if n.startswith("/") and not n.endswith("/")
            and (n.startswith(("/$WW", "/$FIftiMain")) or not n.startswith(("/$", "/_#_")))}
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
