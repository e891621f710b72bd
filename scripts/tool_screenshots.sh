#!/usr/bin/env bash
# Takes the screenshots of the companion tools in docs/ under Xvfb:
#   xvfb-run -a -s "-screen 0 1024x600x24" bash scripts/tool_screenshots.sh BUILD_DIR
# Uses the build's qwrtools and keysender_target (a Qt text edit standing in for the
# author's editor) and ImageMagick's import.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
export QUIREW_DATA_DIR=$work QT_QPA_PLATFORM=xcb
printf '[SFX_Toolbar]\r\nTBLeft=560\r\nTBTop=20\r\nTargetWinTitle=chapter1.htm\r\n' >"$work/quirew.cfg"
printf '[Topic_File_List_TB]\r\nTFL_Left=560\r\nTFL_Top=60\r\nTFL_Width=240\r\n' >>"$work/quirew.cfg"
printf '[PopupTextEd]\r\nPuEdLeft=20\r\nPuEdTop=300\r\nPuEdWidth=520\r\nPuEdHeight=260\r\n' >>"$work/quirew.cfg"
printf -- '-Getting Started\r\nintro.htm\r\nsetup.htm\r\n-Reference\r\noptions.htm\r\n' >"$work/TopicLst.tfl"
printf 'MyFont="Helvetica,10,,ITALIC"\r\nintro="Read me first"\r\nnote="A short note"\r\n' >"$work/TxPopups.js"
"$build/tools/keysender_target" "chapter1.htm - Editor" "$work/typed.txt" &
sleep 1
"$build/tools/qwrtools" SFX &
"$build/tools/qwrtools" TFL "$work/TopicLst.tfl" &
"$build/tools/qwrtools" &
sleep 3
import -window root docs/qwrtools-toolbars.png
