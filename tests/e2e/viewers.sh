#!/bin/bash
# Opens the sample, compiled by the built-in compiler, in xchm and kchmviewer under Xvfb:
# each viewer must stay up and show a window captioned with the document's title, which
# it reads from the document's system file. xchm's search tab is then driven with xdotool:
# it lists pages for a word of their text, none for a word of no page, and opens what it
# found. QW_KEEP_SHOT=FILE keeps a screenshot of the found page.
# Usage: viewers.sh QUIREW_CLI SOURCE_DIR
set -euo pipefail

cli=$1
source_dir=$2
# shellcheck source=tests/e2e/viewer_lib.sh
. "$(dirname "$0")/viewer_lib.sh"
need Xvfb xdotool xchm kchmviewer import identify compare

start_work

build_sample "$cli" "$source_dir"
start_display

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
# darkest NAME X Y W H: the darkest grey (0 black, 1 white) of a screen rectangle.
darkest() {
    import -window root -crop "$4x$5+$2+$3" +repage "$work/$1.png"
    identify -format "%[fx:minima]" "$work/$1.png"
}

# xchm's search tab, driven by mouse and keys: a word of page text lists its pages, a word
# of no page lists none, and picking the first result opens its page. The places are
# those of xchm 1.35 in a 1200 x 850 window at the screen's corner.
search_in_xchm() {
    xchm "$chm" >"$work/xchm-search.log" 2>&1 &
    viewer=$!
    local window=""
    for _ in $(seq 60); do
        window=$(xdotool search --onlyvisible --name "Tidewater Notes Help" 2>/dev/null | head -n 1 || true)
        [ -n "$window" ] && break
        sleep 0.5
    done
    [ -n "$window" ] || fail "xchm shows no window for the search"
    xdotool windowmove "$window" 0 0 windowsize "$window" 1200 850
    # A loaded machine draws late: every check looks again for up to 20 s.
    until_true() {
        local _
        for _ in $(seq 40); do
            "$@" && return 0
            sleep 0.5
        done
        return 1
    }
    sized() { xdotool getwindowgeometry "$window" | grep -q "Geometry: 1200x850"; }
    until_true sized || fail "xchm's window was not resized"
    # The arrow right of the tab names goes from Contents past Index to Search; on the
    # Search tab the results list starts empty (white), where the Contents tab lists chapters.
    xdotool mousemove 156 106 click 1 sleep 0.5 mousemove 156 106 click 1
    results_empty() { [ "$(darkest results 4 265 160 80)" = 1 ]; }
    results_listed() { [ "$(darkest results 4 265 160 80)" != 1 ]; }
    until_true results_empty || fail "xchm: results before a search"
    darkest page-before 186 95 240 20 >/dev/null
    search_for() {
        xdotool mousemove 85 141 click 1 key ctrl+a type --delay 30 "$1"
        xdotool mousemove 53 235 click 1
    }
    search_for station
    until_true results_listed || fail "xchm's search finds no page"
    # The sample's first page with "station" in its text is "Field paper".
    xdotool mousemove 40 275 click 1
    page_changed() {
        darkest page-after 186 95 240 20 >/dev/null
        local changed
        changed=$(compare -metric AE "$work/page-before.png" "$work/page-after.png" null: 2>&1 || true)
        [ "${changed%% *}" != 0 ]
    }
    until_true page_changed || fail "xchm did not open the page it found"
    import -window root -crop 1200x850+0+0 +repage "$work/xchm-search.png"
    # A word of no page empties the list again.
    search_for zebrafish
    until_true results_empty || fail "xchm lists pages for a word of none"
    kill -0 "$viewer" 2>/dev/null || fail "xchm ended during the search"
    echo "xchm: search for station lists pages and opens the first"
    [ -z "${QW_KEEP_SHOT:-}" ] || cp "$work/xchm-search.png" "$QW_KEEP_SHOT"
    kill "$viewer"
    wait "$viewer" 2>/dev/null || true
    viewer=
}

open_in xchm xchm
search_in_xchm
QT_QPA_PLATFORM=xcb open_in kchmviewer kchmviewer
echo "PASS"
