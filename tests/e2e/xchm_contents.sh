#!/bin/bash
# The sample, compiled by the built-in compiler, in xchm under Xvfb: the Contents tab
# lists the special pages and every chapter as a book, each book (opened by
# double-clicking it) lists its chapter's topics in order, the hidden topic stays out,
# and clicking a topic in a subfolder opens its page. Read back by OCR.
# Usage: xchm_contents.sh QUIREW_CLI SOURCE_DIR  (QW_SCREENSHOT_DIR: keep the screenshot there)
set -euo pipefail

cli=$1
source_dir=$2
# shellcheck source=tests/e2e/viewer_lib.sh
. "$(dirname "$0")/viewer_lib.sh"
need Xvfb xdotool xchm import convert tesseract python3

start_work

build_sample "$cli" "$source_dir"
start_display
start_viewer xchm "Tidewater Notes Help" xchm

# Screen areas of the 1000x1000 window: the navigation pane's tree (once widened) and
# the heading of the page shown.
tree=(2 128 370 700)
heading=(386 120 600 50)

# Before the pane is widened the page starts further left.
wait_for 30 176 120 800 50 "Welcome to Tidewater Notes" ||
    fail "the default page is not shown: '$seen'"
# Widen the navigation pane by dragging its sash, so that long titles are not cut.
xdotool mousemove 172 500 mousedown 1 mousemove 260 500 mousemove 380 500 mouseup 1

top_level=("Welcome to Tidewater Notes" "What is new in 2.4" "Introduction"
           "Using Tidewater Notes" "Command reference" "Appendix" "Special effects tour"
           "Copyright")
end=$((SECONDS + 20))
until wait_for 1 "${tree[@]}" "Copyright" && echo "$seen" >"$work/tree.txt" &&
      in_order "$work/tree.txt" "${top_level[@]}"; do
    [ "$SECONDS" -lt "$end" ] || fail "the Contents tab lacks '$missing': $(tr '\n' '|' <"$work/tree.txt")"
done

# Open the books from the last up, so that the ones above keep their place.
for book in "Special effects tour" "Appendix" "Command reference" "Using Tidewater Notes" \
            "Introduction"; do
    click_text 10 "${tree[@]}" "$book" 2
done

everything=("Welcome to Tidewater Notes" "What is new in 2.4"
            "Introduction" "Installing" "Quick tour"
            "Using Tidewater Notes" "Notebooks" "Stations and tides" "Sketching"
            "Command reference" "Recording an observation" "Tide table command" "Online station list"
            "Appendix" "Keyboard shortcuts"
            "Special effects tour" "Special effects tour" "Pop-up words" "Hidden details"
            "More windows" "Field paper" "Tide glossary"
            "Copyright")
end=$((SECONDS + 20))
until wait_for 1 "${tree[@]}" "Tide glossary" && echo "$seen" >"$work/tree.txt" &&
      in_order "$work/tree.txt" "${everything[@]}"; do
    [ "$SECONDS" -lt "$end" ] || fail "the opened books lack '$missing': $(tr '\n' '|' <"$work/tree.txt")"
done
echo "Contents: $(tr '\n' '|' <"$work/tree.txt")"
[ "$(wc -l <"$work/tree.txt")" -eq "${#everything[@]}" ] ||
    fail "the Contents tab lists $(wc -l <"$work/tree.txt") lines, not ${#everything[@]}"
! grep -q -i "translators" "$work/tree.txt" || fail "the hidden topic is listed"

# A topic of a chapter kept in a subfolder: its page's heading is "Tide table".
click_text 10 "${tree[@]}" "Tide table command"
wait_for 20 "${heading[@]}" "^[^a-z]*Tide table[^a-z]*$" || fail "the topic opened '$seen'"
echo "page: $seen"
keep_screenshot xchm-contents.png
echo "PASS"
