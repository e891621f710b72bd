#!/bin/bash
# Builds two generated projects with quirew-cli and the real chmcmd and reads the
# documents back with independent readers: a Cyrillic one of 320 topics (language 0x419,
# some German titles) and a German one of 120 (0x407), both with a background image on
# every page, keywords shared by many topics, full-text search on and no default page.
# Checks that chmlib enumerates and extracts every listed file byte for byte, that the
# full-text search finds words that stand only in page bodies, that the index has one
# entry per keyword in the Name-then-Locals form, that contents and index decode in the
# declared code page to the table's titles, and that the browser document opens on the
# first topic.
# Usage: compiled_document.sh QUIREW_CLI SOURCE_DIR
set -euo pipefail

cli=$1
source_dir=$2
for tool in chmcmd enum_chmLib extract_chmLib; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is not installed"
        exit 77
    fi
done
# python3-chm lives in the system's Python.
python=""
for candidate in /usr/bin/python3 python3; do
    if "$candidate" -c 'import chm.chm' 2>/dev/null; then
        python=$candidate
        break
    fi
done
[ -n "$python" ] || { echo "SKIP: python3-chm is not installed"; exit 77; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

mkdir "$work/data"
for entry in "$source_dir"/data/*; do
    [ "$(basename "$entry")" = quirew.cfg ] || ln -s "$entry" "$work/data/"
done
export QUIREW_DATA_DIR="$work/data"
# This test is about chmcmd: the setting names it instead of the built-in compiler.
printf '[ENVIRONMENT_PROPERTIES]\r\nHHWorkShopPath=chmcmd\r\n' >"$work/data/quirew.cfg"

# check_project DIR NAME CODEPAGE: everything after the build.
check_project() {
    local dir=$1 name=$2 codepage=$3
    local chm="$dir/$name.chm"
    "$cli" build "$dir/$name.qwr" --no-clean-up >"$work/out.txt" 2>"$work/err.txt" ||
        fail "$name: build failed: $(cat "$work/err.txt")"
    [ -s "$chm" ] || fail "$name: no document"
    "$cli" topics "$dir/$name.qwr" >"$work/table.tsv"

    # Every file of [FILES] is enumerated and extracted unchanged.
    sed -n '/^\[FILES\]/,/^\[/p' "$dir/$name.hhp" | tr -d '\r' | grep -v '^\[' | grep . \
        >"$work/listed.txt"
    grep -qx "images/bg.gif" "$work/listed.txt" || fail "$name: background image not listed"
    local count
    count=$(wc -l <"$work/listed.txt")
    [ "$count" -gt 100 ] || fail "$name: only $count files listed"
    enum_chmLib "$chm" | awk '{ print $NF }' >"$work/enumerated.txt"
    missing=$(sed 's|^|/|' "$work/listed.txt" | grep -vxF -f "$work/enumerated.txt" || true)
    [ -z "$missing" ] || fail "$name: not enumerated: $(head -n 3 <<<"$missing")"
    # Keywords beyond ASCII: no binary index, whose keywords chmcmd reads as UTF-8; the
    # viewers then read the text index in the code page.
    if grep -q '/\$WWKeywordLinks/BTree' "$work/enumerated.txt"; then
        fail "$name: chmcmd wrote a binary index of keywords beyond ASCII"
    fi
    rm -rf "$work/x"
    extract_chmLib "$chm" "$work/x" >/dev/null
    while read -r file; do
        cmp -s "$dir/$file" "$work/x/$file" || fail "$name: $file differs after extraction"
    done <"$work/listed.txt"

    # The checks that read the document's files in Python.
    "$python" - "$chm" "$work/x" "$work/table.tsv" "$codepage" "$name" "$first_topic" <<'PY' || exit 1
import html, re, sys
from chm import chm
path, extracted, table, codepage, name, first_topic = sys.argv[1:7]
def fail(text):
    print(f"FAIL: {name}: {text}", file=sys.stderr); sys.exit(1)

rows = [line.rstrip("\n").split("\t") for line in open(table, encoding="utf-8")][1:]
topics = [r for r in rows if r[0] != " >"]
titles = [r[1].split("#")[0] for r in rows]

# Full-text search: words that stand only in the bodies, whole words.
doc = chm.CHMFile()
doc.LoadCHM(path)
if not doc.IsSearchable():
    fail("the document has no full-text index")
# No default page was set: the document opens on the first topic.
if doc.home != b"/" + first_topic.encode():
    fail(f"the document opens on {doc.home}, not on {first_topic}")
for r in topics[::37]:
    page = r[2]
    word = "bodyword" + page[:-4]
    _, hits = doc.Search(word.encode(), 1)
    if [page.encode()] != [url.lstrip(b"/") for url in hits.values()]:
        fail(f"search for {word} gave {hits}")

def decoded(file):
    data = open(f"{extracted}/{file}", "rb").read()
    try:
        data.decode("utf-8")
        if any(b > 127 for b in data):
            fail(f"{file} is written in UTF-8, not in code page {codepage}")
    except UnicodeDecodeError:
        pass
    return html.unescape(data.decode(f"cp{codepage}"))

# Contents: the titles of the table in order, decoded in the code page.
toc = decoded(f"{name}_toc.hhc")
names = re.findall(r'<param name="Name" value="([^"]*)">', toc)
if names != titles:
    fail(f"contents titles differ: {names[:3]} ... against {titles[:3]} ...")

# Index: each entry is the keyword's Name followed only by Locals; each keyword once.
hhk = decoded(f"{name}_indx.hhk")
entries = re.findall(r"<OBJECT type=\"text/sitemap\">(.*?)</OBJECT>", hhk, re.S)
keywords = []
for entry in entries:
    params = re.findall(r'<param name="(\w+)" value="([^"]*)">', entry)
    if not params or params[0][0] != "Name" or any(p[0] != "Local" for p in params[1:]):
        fail(f"index entry not in Name-then-Locals form: {params[:3]}")
    keywords.append(params[0][1])
expected = {k.strip() for r in topics for k in r[6].split(",") if k.strip()}
if sorted(keywords) != sorted(expected):
    fail(f"index keywords {sorted(keywords)} against {sorted(expected)}")
topics_of = {}
for r in topics:
    for k in r[6].split(","):
        topics_of.setdefault(k.strip(), set()).add(r[2])
for entry in entries:
    params = re.findall(r'<param name="(\w+)" value="([^"]*)">', entry)
    if {p[1] for p in params[1:]} != topics_of[params[0][1]]:
        fail(f"index entry {params[0][1]} lists other topics")

# A page holds its title in the code page, and its body tag is bare.
page = decoded(topics[1][2])
if f"<title>{titles[2]}</title>" not in page or "<body>" not in page:
    fail("page title or bare body tag missing")
PY
}

first_topic=a0.htm
"$python" "$source_dir/tests/e2e/make_project.py" "$work/cyr" cyr "0x419 Russian" 4 80 cyrillic
check_project "$work/cyr" cyr 1251
grep -q "cyr_toc.hhc: 64 characters that code page 1251 cannot hold were written as character references (xchm" \
    "$work/err.txt" || fail "no warning for the German titles in the Cyrillic document"

"$python" "$source_dir/tests/e2e/make_project.py" "$work/de" de "0x407 German (Germany)" 3 40 german
check_project "$work/de" de 1252
[ ! -s "$work/err.txt" ] || fail "German document gave warnings: $(cat "$work/err.txt")"

# The browser document opens on the first topic too.
index=$("$cli" tree "$work/de/de.qwr") || fail "tree failed"
grep -q 'name="frmtopic" src="a0.htm"' "$index" || fail "browser document's first page"

echo "PASS"
