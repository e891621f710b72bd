#!/bin/bash
# The sample, compiled by the built-in compiler, in kchmviewer under Xvfb. kchmviewer
# draws pages with QtWebKit and runs their scripts, so the special effects that quirew.js
# drives must work there: its Contents tab lists every chapter and topic in order (the
# hidden topic left out); a pop-up link opens its text from TxPopups.js beside it, and a
# second one replaces it; resting the mouse on a hint shows the hint; the related-topics
# button opens a menu whose links lead to their pages; an expandable section starts
# closed and opens when its link is clicked; a highlight without a colour turns yellow; a
# secondary-window link, which this viewer cannot open in a window of its own, still
# leads to its page. Read back by OCR.
# Usage: kchmviewer_effects.sh QUIREW_CLI SOURCE_DIR  (QW_SCREENSHOT_DIR: keep the screenshot there)
set -euo pipefail

cli=$1
source_dir=$2
# shellcheck source=tests/e2e/viewer_lib.sh
. "$(dirname "$0")/viewer_lib.sh"
need Xvfb xdotool kchmviewer import convert tesseract python3

start_work

build_sample "$cli" "$source_dir"
start_display
export QT_QPA_PLATFORM=xcb
start_viewer kchmviewer "Tidewater Notes Help" kchmviewer

# Screen areas of the 1000x1000 window: the Contents tree, the page's heading and the
# upper part of the page.
tree=(22 158 256 700)
heading=(320 130 660 45)
page=(320 130 660 320)

wait_for 30 "${heading[@]}" "Welcome to Tidewater Notes" ||
    fail "the default page is not shown: '$seen'"

# kchmviewer opens every book of the tree by itself.
everything=("Welcome to Tidewater Notes" "What is new in 2.4"
            "Introduction" "Installing" "Quick tour"
            "Using Tidewater Notes" "Notebooks" "Stations and tides" "Sketching"
            "Command reference" "Recording an observation" "Tide table command" "Online station list"
            "Appendix" "Keyboard shortcuts"
            "Special effects tour" "Special effects tour" "Pop-up words" "Hidden details"
            "More windows" "Field paper" "Tide glossary"
            "Copyright")
end=$((SECONDS + 20))
until wait_for 1 "${tree[@]}" "Copyright" && echo "$seen" >"$work/tree.txt" &&
      in_order "$work/tree.txt" "${everything[@]}"; do
    [ "$SECONDS" -lt "$end" ] || fail "the Contents tab lacks '$missing': $(tr '\n' '|' <"$work/tree.txt")"
done
echo "Contents: $(tr '\n' '|' <"$work/tree.txt")"
[ "$(wc -l <"$work/tree.txt")" -eq "${#everything[@]}" ] ||
    fail "the Contents tab lists $(wc -l <"$work/tree.txt") lines, not ${#everything[@]}"
! grep -q -i "translators" "$work/tree.txt" || fail "the hidden topic is listed"

# Pop-up texts: the text comes from TxPopups.js, and opening the second closes the first.
open_topic "Pop-up words" "Pop-up words"
echo "$seen" | grep -q -i "falling tide" && fail "a pop-up text shows before any click"
click_text 10 "${page[@]}" "ebb tide"
wait_for 10 "${page[@]}" "The falling tide: water" ||
    fail "the pop-up link showed no text: $(echo "$seen" | tr '\n' '|')"
echo "pop-up: $(echo "$seen" | grep -i -A1 "falling tide" | tr '\n' ' ')"
keep_screenshot kchmviewer-popup.png
click_text 10 "${page[@]}" "flood tide"
wait_for 10 "${page[@]}" "The rising tide: water" ||
    fail "the second pop-up link showed no text: $(echo "$seen" | tr '\n' '|')"
echo "$seen" | grep -q -i "falling tide" && fail "the first pop-up stays open beside the second"

# A click beside the pop-up closes it.
xdotool mousemove 650 700 click 1
end=$((SECONDS + 10))
while wait_for 1 "${page[@]}" "The rising tide"; do
    [ "$SECONDS" -lt "$end" ] || fail "a click beside the pop-up leaves it open"
done

# A hint shows while the mouse rests on its word.
point=$(locate "${page[@]}" "chart datum")
[ -n "$point" ] || fail "no 'chart datum' on the page"
# shellcheck disable=SC2086  # "x y"
xdotool mousemove $point
wait_for 10 "${page[@]}" "Chart datum is the level" ||
    fail "resting on the hint showed nothing: $(echo "$seen" | tr '\n' '|')"

# The related-topics object becomes a button with a menu of links; its item names a page
# of a subfolder with a backslash, as authors write it.
click_text 10 "${page[@]}" "Related Topics"
click_text 10 "${page[@]}" "Recording an observation"
wait_for 20 "${heading[@]}" "Recording an observation" || fail "the related topic opened '$seen'"

# An expandable section is closed until its link is clicked.
open_topic "Hidden details" "Hidden details"
wait_for 10 "${page[@]}" "Show the gauge types" || fail "no section link: $(echo "$seen" | tr '\n' '|')"
echo "$seen" | grep -q -i "Float gauges" && fail "the section is open before its link is clicked"
click_text 10 "${page[@]}" "Show the gauge types"
wait_for 10 "${page[@]}" "Float gauges, pressure gauges" ||
    fail "the section did not open: $(echo "$seen" | tr '\n' '|')"

# A highlight whose marker names no colour is given the usual yellow by the script.
open_topic "Field paper" "Field paper"
yellow=0
end=$((SECONDS + 10))
while [ "$yellow" -lt 50 ] && [ "$SECONDS" -lt "$end" ]; do
    shoot
    yellow=$(count_colour "${page[@]}" '#FFFF00')
    sleep 0.5
done
[ "$yellow" -ge 50 ] || fail "the highlight without a colour is not yellow ($yellow yellow pixels)"

# kchmviewer opens no second window; the secondary-window link then opens its page here.
open_topic "More windows" "More windows"
click_text 10 "${page[@]}" "Open the tide glossary"
wait_for 20 "${heading[@]}" "Tide glossary" || fail "the secondary-window link opened '$seen'"
kill -0 "$viewer" 2>/dev/null || fail "kchmviewer ended"
echo "PASS"
