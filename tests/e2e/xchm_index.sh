#!/bin/bash
# xchm reads the binary keyword index before any index file. A document built by the
# built-in compiler with no index file inside, whose keywords come only from the pages'
# keyword objects, must show those keywords on xchm's Index tab (read back by OCR), and
# double-clicking one must open its page. Run under Xvfb.
# Usage: xchm_index.sh QUIREW_CLI SOURCE_DIR  (QW_SCREENSHOT_DIR: keep the screenshot there)
set -euo pipefail

cli=$1
source_dir=$2
# shellcheck source=tests/e2e/viewer_lib.sh
. "$(dirname "$0")/viewer_lib.sh"
need Xvfb xdotool xchm import convert tesseract enum_chmLib

start_work

mkdir "$work/data" "$work/bin" "$work/zoo"
for entry in "$source_dir"/data/*; do
    [ "$(basename "$entry")" = quirew.cfg ] || ln -s "$entry" "$work/data/"
done
for tool in sh bash cat; do ln -s "$(command -v $tool)" "$work/bin/"; done
export QUIREW_DATA_DIR="$work/data"

# Three topics; one keyword each, and a second one on the wombat's page. The help project
# names no index file, so the document holds none: only the binary index lists keywords.
/usr/bin/python3 - "$work/zoo" <<'PY'
import sys
folder = sys.argv[1]
sep = "-" * 50
lines = ["<html>", "<head>", "<title>_Title_</title>", "</head>", "<body>", ""]
for title, name, keywords in [("Quokka page", "quokka.htm", "Quokka"),
                              ("Wombat page", "wombat.htm", "Wombat, Burrows"),
                              ("Numbat page", "numbat.htm", "Numbat")]:
    lines += [f"{sep}<br>", f"Title='{title}' <br>KeyWords='{keywords}' <!-- FileName='{name}'"
              " - Icon='10' - BgImage='' - BgColour='$FFFFFF' - Related=''--> ", f"<br>{sep}",
              f"<h1>{title}</h1>", "<p>text</p>"]
with open(f"{folder}/animals.htm", "w", newline="\r\n") as f:
    f.write("\n".join(lines + ["</body>", "</html>", ""]))
with open(f"{folder}/zoo.qwr", "w", newline="\r\n") as f:
    f.write("\n".join(["[CHAPTER_FILES]", "NumOfChapters=1", "ChapterTitle0=Animals",
                       "ChapterFileName0=animals.htm", "[PROJECT_PROPERTIES]",
                       "TitleBarText=Zoo Notes", ""]))
with open(f"{folder}/zoo.hhp", "w", newline="\r\n") as f:
    f.write("\n".join(["[OPTIONS]", "Compiled file=zoo.chm", "Contents file=zoo_toc.hhc",
                       "Index file=", "Default topic=", "Language=0x409 English (United States)",
                       "", "[WINDOWS]",
                       'Main="Zoo Notes","zoo_toc.hhc",,,,,,,,0x1520,220,0x83006,[0,0,800,600],,,,,,,0',
                       "", "[FILES]", ""]))
PY
PATH="$work/bin" "$cli" build "$work/zoo/zoo.qwr" >/dev/null || fail "build failed"
chm="$work/zoo/zoo.chm"
enum_chmLib "$chm" | grep -qi '\.hhk$' && fail "the document holds an index file"
enum_chmLib "$chm" | grep -q '/\$WWKeywordLinks/BTree' || fail "no binary keyword index"

start_display

start_viewer xchm "Zoo Notes" xchm
# read_area IMAGE X Y W H: the text OCR finds in that part of the screenshot.
read_area() {
    convert "$1" -crop "$4x$5+$2+$3" -resize 300% -colorspace Gray "$work/area.png"
    tesseract "$work/area.png" - 2>/dev/null | tr -s '\n' ' '
}
# The navigation pane shows one tab at a time: its right arrow turns to the Index tab.
# A loaded machine may draw late: look again for up to 20 s before giving up.
xdotool mousemove 156 106 click 1
wanted="Burrows Numbat Quokka Wombat "
listed=""
for _ in $(seq 20); do
    sleep 1
    import -window root "$work/index.png"
    listed=$(read_area "$work/index.png" 0 160 170 120)
    [ "$(echo "$listed" | grep -o -E 'Burrows|Numbat|Quokka|Wombat' | tr '\n' ' ')" = \
      "$wanted" ] && break
done
[ -z "${QW_SCREENSHOT_DIR:-}" ] || cp "$work/index.png" "$QW_SCREENSHOT_DIR/xchm-binary-keyword-index.png"
echo "Index tab: $listed"
[ "$(echo "$listed" | grep -o -E 'Burrows|Numbat|Quokka|Wombat' | tr '\n' ' ')" = \
  "$wanted" ] || fail "the Index tab lists '$listed'"

# Double-clicking "Wombat" (the fourth line) opens the wombat's page.
xdotool mousemove 32 238 click --repeat 2 1
shown=""
for _ in $(seq 20); do
    sleep 1
    import -window root "$work/page.png"
    shown=$(read_area "$work/page.png" 176 90 800 80)
    echo "$shown" | grep -q "Wombat page" && break
done
echo "page: $shown"
echo "$shown" | grep -q "Wombat page" || fail "the keyword opened '$shown'"
kill -0 "$viewer" 2>/dev/null || fail "xchm ended"
echo "PASS"
