#!/bin/bash
# The effects of the sample that show pictures, in kchmviewer under Xvfb: a splash screen
# covers the page with its picture and goes after its delay, a block is laid on its
# background picture, and a shortcut button shows its bitmap. The sample's pictures are
# PNG (kchmviewer gives WebKit no content type for anything but a page, and WebKit never
# takes such a file for SVG); this check puts plain pictures of known colours in their
# place so that it can count their pixels, and makes the splash stay longer, so that a
# loaded machine still sees it. Compiled by the built-in compiler.
# Usage: kchmviewer_images.sh QUIREW_CLI SOURCE_DIR
set -euo pipefail

cli=$1
source_dir=$2
# shellcheck source=tests/e2e/viewer_lib.sh
. "$(dirname "$0")/viewer_lib.sh"
need Xvfb xdotool kchmviewer import convert tesseract python3

start_work

splash='#0B3D5C'
paper='#7FBF3F'
bitmap='#BF5F1F'
png_pictures() {
    convert -size 360x160 "xc:$splash" images/fxsplash.png &&
        convert -size 16x16 "xc:$paper" images/fxwaves.png &&
        convert -size 32x32 "xc:$bitmap" images/fxrun.png &&
        sed -i -e 's/Delay="2500"/Delay="8000"/' effects.htm &&
        grep -q 'fxsplash.png" Delay="8000"' effects.htm
}
build_sample "$cli" "$source_dir" png_pictures
start_display
export QT_QPA_PLATFORM=xcb
start_viewer kchmviewer "Tidewater Notes Help" kchmviewer

tree=(22 158 256 700)
heading=(320 130 660 45)
view=(320 130 660 850)
wait_for 30 "${heading[@]}" "Welcome to Tidewater Notes" ||
    fail "the default page is not shown: '$seen'"

# wait_colour SECONDS COLOUR LEAST: screenshots until the page shows at least LEAST
# pixels of COLOUR; $found holds the last count.
wait_colour() {
    local end=$((SECONDS + $1))
    while :; do
        shoot
        found=$(count_colour "${view[@]}" "$2")
        [ "$found" -ge "$3" ] && return 0
        [ "$SECONDS" -lt "$end" ] || return 1
        sleep 0.3
    done
}

# The block's picture is tiled behind it at 80 % of the page's width.
open_topic "Field paper" "Field paper"
wait_colour 10 "$paper" 20000 || fail "the block shows $found pixels of its background picture"
echo "block background: $found pixels"

# The shortcut button shows its 32x32 bitmap.
open_topic "More windows" "More windows"
wait_colour 10 "$bitmap" 900 || fail "the shortcut button shows $found pixels of its bitmap"
echo "shortcut bitmap: $found pixels"

# The splash picture (360x160) covers the tour page and goes after eight seconds.
# The chapter's book comes first in the tree, its first topic of the same title next.
click_text 10 "${tree[@]}" "Special effects tour" 1 2
wait_colour 8 "$splash" 50000 || fail "the splash shows $found pixels of its picture"
echo "splash: $found pixels"
end=$((SECONDS + 20))
while [ "$found" -ge 100 ]; do
    [ "$SECONDS" -lt "$end" ] || fail "the splash stays ($found pixels)"
    sleep 0.5
    shoot
    found=$(count_colour "${view[@]}" "$splash")
done
wait_for 10 "${heading[@]}" "Special effects tour" || fail "after the splash the page shows '$seen'"
echo "PASS"
