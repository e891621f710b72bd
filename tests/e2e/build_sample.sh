#!/bin/bash
# Builds a copy of the sample project with quirew-cli and the real chmcmd, then reads the
# document back with the chmlib tools: every topic page inside, the contents in table
# order with the special pages lifted out, the keywords in the index; a second build
# keeps a hand-edited [OPTIONS] section and refreshes only [FILES]; failures give a
# reason and a non-zero status and leave the author's files alone.
# Usage: build_sample.sh QUIREW_CLI SOURCE_DIR
set -euo pipefail

cli=$1
source_dir=$2
for tool in chmcmd enum_chmLib extract_chmLib chmls; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is not installed"
        exit 77
    fi
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# A data folder of our own, so the configuration file lands in the temporary folder.
mkdir "$work/data"
for entry in "$source_dir"/data/*; do
    [ "$(basename "$entry")" = quirew.cfg ] || ln -s "$entry" "$work/data/"
done
export QUIREW_DATA_DIR="$work/data"
# This test is about chmcmd: the setting names it instead of the built-in compiler.
printf '[ENVIRONMENT_PROPERTIES]\r\nHHWorkShopPath=chmcmd\r\n' >"$work/data/quirew.cfg"

proj="$work/my help \$project"
cp -r "$source_dir/examples/sample" "$proj"
qwr="$proj/sample.qwr"

# --- first build -------------------------------------------------------------------
out=$("$cli" build "$qwr") || fail "build failed"
chm=$(sed -n 1p <<<"$out")
log=$(sed -n 2p <<<"$out")
[ "$chm" = "$proj/sample.chm" ] || fail "unexpected document path: $chm"
[ "$log" = "$proj/sample_log.txt" ] || fail "unexpected log path: $log"
[ -s "$chm" ] && [ -s "$log" ] || fail "document or log missing"
grep -q "Writing CHM" "$log" || fail "log does not hold the compiler's messages"

# The chapters are unchanged, byte for byte.
(cd "$source_dir/examples/sample" && find . -type f ! -name sample.qwr) | while read -r f; do
    cmp -s "$source_dir/examples/sample/$f" "$proj/$f" || fail "author's file changed or gone: $f"
done
# The clean-up removed the pages and the intermediate files, nothing else.
[ ! -e "$proj/welcome.htm" ] && [ ! -e "$proj/sample_toc.hhc" ] && [ ! -e "$proj/sample_indx.hhk" ] &&
    [ ! -e "$proj/aboutjmp.htm" ] || fail "intermediate files left after the clean-up"
[ -e "$proj/sample.hhp" ] || fail "help project file missing"
# Opened without a help project file, the project got its options applied silently: the
# help project file is the options dialog's, with its default window flags.
grep -q '^Main=.*,0x003520,220,0x083006,' "$proj/sample.hhp" || fail "window definition"
grep -q '^ContentsOptVal=0x800227' "$qwr" || fail "project options not written"

# The topic table: marker, title, file name, key words and the chapter's folder.
"$cli" topics "$qwr" | awk -F'\t' -v dir="$proj/" 'NR > 1 {
    folder = substr($11, length(dir) + 1); sub(/[^\/]*$/, "", folder)
    print $1 "\t" $2 "\t" $3 "\t" $7 "\t" folder }' >"$work/table.tsv"

enum_chmLib "$chm" | awk '{ print $NF }' >"$work/listing.txt"
missing=$(awk -F'\t' '$1 != " >" && $3 !~ /^WEB:/ { print "/" $5 $3 }' "$work/table.tsv" |
    grep -vxF -f "$work/listing.txt" || true)
[ -z "$missing" ] || fail "pages missing from the document: $missing"
grep -qix "/aboutjmp.htm" "$work/listing.txt" || fail "About page missing from the document"

# --- contents -------------------------------------------------------------------------
extract_chmLib "$chm" "$work/extracted" >/dev/null
toc=$(find "$work/extracted" -maxdepth 1 -iname '*_toc.hhc' | head -n 1)
[ -n "$toc" ] || fail "contents file missing from the document"
sed -n 's/.*<param name="\(Name\|Local\)" value="\([^"]*\)">.*/\1=\2/p' "$toc" >"$work/toc.txt"

setting() { sed -n "s/^$1=//Ip" "$qwr" | tr -d '\r' | head -n 1; }
welcome=$(setting WelcomeFileName)
whatsnew=$(setting WhatsNewPage)
copyright=$(setting CopyrightPage)
awk -F'\t' -v w="$welcome" -v n="$whatsnew" -v r="$copyright" '
    function entry(i) { title = T[i]; sub(/#.*/, "", title)
        if (substr(title, 1, 3) == "!!!") return
        link = F[i] ~ /^WEB:/ ? substr(F[i], 5) : D[i] F[i]
        out = out "Name=" title "\nLocal=" link "\n" }
    function lift(letter,   i) { for (i = 1; i <= rows; i++) if (M[i] != " >" && index(M[i], letter)) entry(i) }
    { rows++; M[rows] = $1; T[rows] = $2; F[rows] = $3; D[rows] = $5 }
    END {
        lift("w"); lift("n")
        for (i = 1; i <= rows; i++) {
            if (M[i] == " >") { t = T[i]; sub(/#.*/, "", t); out = out "Name=" t "\n"; continue }
            link = D[i] F[i]
            if (link != w && link != n && link != r) entry(i)
        }
        lift("r"); printf "%s", out
    }' "$work/table.tsv" >"$work/toc_expected.txt"
diff -u "$work/toc_expected.txt" "$work/toc.txt" || fail "contents differ from the table"
[ "$(sed -n 2p "$work/toc.txt")" = "Local=$welcome" ] || fail "welcome page is not first"
[ "$(tail -n 1 "$work/toc.txt")" = "Local=$copyright" ] || fail "copyright page is not last"

# --- index ------------------------------------------------------------------------------
chmls extractindex "$chm" "$work/index.txt" >/dev/null
keywords=$(awk -F'\t' '$1 != " >" { n = split($4, k, ","); for (i = 1; i <= n; i++) {
    gsub(/^[ \t]+|[ \t]+$/, "", k[i]); if (k[i] != "") print k[i] } }' "$work/table.tsv" | sort -u)
[ -n "$keywords" ] || fail "the sample has no keywords"
while read -r kw; do
    grep -qiF "value=\"$kw\"" "$work/index.txt" || fail "keyword missing from the index: $kw"
done <<<"$keywords"

# --- second build keeps hand edits --------------------------------------------------------
hhp="$proj/sample.hhp"
awk '{ print } /^\[OPTIONS\]/ { print "Title=Edited in the Workshop\r" }' "$hhp" >"$work/edited.hhp"
printf 'stale.htm\r\n' >>"$work/edited.hhp"
cp "$work/edited.hhp" "$hhp"
sed '/^\[FILES\]/,$d' "$hhp" >"$work/before_files.txt"
"$cli" build "$qwr" --no-clean-up >/dev/null || fail "second build failed"
sed '/^\[FILES\]/,$d' "$hhp" >"$work/after_files.txt"
cmp -s "$work/before_files.txt" "$work/after_files.txt" || fail "sections before [FILES] changed"
grep -q "^stale.htm" "$hhp" && fail "[FILES] was not refreshed"
grep -q "^welcome.htm" "$hhp" || fail "[FILES] lacks the topics"
[ -e "$proj/welcome.htm" ] || fail "--no-clean-up removed the pages"

# --- failures ------------------------------------------------------------------------------
cp "$proj/using.htm" "$work/using.before"
if PATH=/nonexistent "$cli" build "$qwr" 2>"$work/err.txt" >/dev/null; then
    fail "a build without a compiler succeeded"
fi
grep -q "HTML Help WorkShop Path not Set." "$work/err.txt" || fail "no reason given for the missing compiler"
out=$(PATH=/nonexistent "$cli" build "$qwr" --no-compile) || fail "--no-compile needs no compiler"
[ "$out" = "$proj/sample.hhp" ] || fail "--no-compile printed $out"

sed -i 's/FileName=.notebooks.htm./FileName='"'"'tour.htm'"'"'/' "$proj/using.htm"
if "$cli" build "$qwr" 2>"$work/err.txt" >/dev/null; then
    fail "a build of a project with a duplicate page name succeeded"
fi
grep -q "Duplicate FileName" "$work/err.txt" || fail "no reason given for the failed check"
[ -e "$proj/intro.htm" ] && [ -e "$proj/reference/commands.htm" ] || fail "chapter removed"

echo "PASS"
