# shellcheck shell=bash
# shellcheck disable=SC2034,SC2154  # work, xvfb, viewer, seen, missing, tree and heading are shared with the sourcing script
# Helpers for the checks that read what a CHM viewer draws under Xvfb: building the
# sample with the built-in compiler, starting the X server and the viewer, reading parts
# of the screen back by OCR and finding text on it to click. Sourced by the viewer checks,
# which call start_work first.

# fail MESSAGE: ends the check with the message.
fail() { echo "FAIL: $*" >&2; exit 1; }

# start_work: a scratch folder $work; at exit the viewer and X server started later are
# stopped and the folder removed.
start_work() {
    work=$(mktemp -d)
    xvfb=
    viewer=
    trap stop_work EXIT
}
stop_work() {
    [ -z "$viewer" ] || kill "$viewer" 2>/dev/null || true
    [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || true
    rm -rf "$work"
}

# need TOOL...: exits with the skip code when a tool is not installed.
need() {
    local tool
    for tool in "$@"; do
        if ! command -v "$tool" >/dev/null; then
            echo "SKIP: $tool is not installed"
            exit 77
        fi
    done
}

# build_sample CLI SOURCE_DIR [EDIT]: copies the sample project into $work/sample, runs the
# command EDIT there when one is given, and builds it with the built-in compiler (the
# test's own settings file chooses it); sets $chm.
build_sample() {
    local cli=$1 source_dir=$2 edit=${3:-} entry
    mkdir "$work/data"
    for entry in "$source_dir"/data/*; do
        [ "$(basename "$entry")" = quirew.cfg ] || ln -s "$entry" "$work/data/"
    done
    printf '[ENVIRONMENT_PROPERTIES]\r\nHHWorkShopPath=built-in\r\n' >"$work/data/quirew.cfg"
    export QUIREW_DATA_DIR="$work/data"
    cp -r "$source_dir/examples/sample" "$work/sample"
    [ -z "$edit" ] || (cd "$work/sample" && "$edit") || fail "could not change the sample"
    "$cli" build "$work/sample/sample.qwr" >"$work/build.log" 2>&1 ||
        fail "build failed: $(tail -n 5 "$work/build.log")"
    grep -q -E '^Note: [0-9]+ files, [0-9]+ pages' "$work/sample/sample_log.txt" ||
        fail "the built-in compiler did not write the document: $(head -n 3 "$work/sample/sample_log.txt")"
    chm="$work/sample/sample.chm"
}

# start_display: an Xvfb server of its own (1280x1024) for this test; sets DISPLAY, and
# a fresh HOME so that no viewer settings saved elsewhere change what is shown.
start_display() {
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -noreset 3>"$work/display" >/dev/null 2>&1 &
    xvfb=$!
    local _
    for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
    [ -s "$work/display" ] || fail "Xvfb did not start"
    DISPLAY=":$(cat "$work/display")"
    export DISPLAY
    export XDG_RUNTIME_DIR="$work"
    mkdir -p "$work/home"
    export HOME="$work/home"
}

# start_viewer NAME TITLE COMMAND...: starts the viewer on the document and waits (at most
# 30 s) for its window captioned TITLE; moves it to the top left corner at 1000x1000.
start_viewer() {
    local name=$1 title=$2 _
    shift 2
    "$@" "$chm" >"$work/$name.log" 2>&1 &
    viewer=$!
    window=""
    for _ in $(seq 60); do
        window=$(xdotool search --onlyvisible --name "$title" 2>/dev/null | head -n 1 || true)
        [ -n "$window" ] && break
        kill -0 "$viewer" 2>/dev/null || fail "$name ended: $(tail -n 3 "$work/$name.log")"
        sleep 0.5
    done
    [ -n "$window" ] || fail "$name shows no window captioned '$title'"
    xdotool windowmove "$window" 0 0 windowsize "$window" 1000 1000
    for _ in $(seq 40); do
        xdotool getwindowgeometry "$window" | grep -q 'Geometry: 1000x1000' && break
        sleep 0.25
    done
}

# shoot: a screenshot of the whole screen into $work/screen.png.
shoot() {
    import -window root "$work/screen.png"
}

# prepare_area X Y W H: the part of the last screenshot ready for OCR in $work/area.png:
# grey, dark text on light ground, three times enlarged. A selection band (light text on
# a blue ground) is turned over first: it is a large connected patch of strongly blue
# pixels that fills most of its box, where icons make small patches and underlined blue
# links thin ones.
prepare_area() {
    local x=$1 y=$2 w=$3 h=$4 regions
    convert "$work/screen.png" -crop "${w}x${h}+${x}+${y}" +repage "$work/crop.png"
    regions=$(convert "$work/crop.png" -channel B -separate +channel \
        \( "$work/crop.png" -channel R -separate +channel \) -compose minus_src -composite \
        -threshold 39% -define connected-components:verbose=true \
        -define connected-components:area-threshold=300 -connected-components 8 null: |
        awk '/gray\(255\)/ && $4 >= 300 { split($2, g, /[x+]/)
                 if ($4 > 0.5 * g[1] * g[2]) printf " -region %s -negate -level 0,50%%", $2 }')
    # shellcheck disable=SC2086  # the region options are meant to split
    convert "$work/crop.png" $regions +region -colorspace Gray -level 0,70% -resize 300% \
        -bordercolor white -border 24 "$work/area.png"
}

# read_area X Y W H: the text OCR finds there in the last screenshot, one line per line.
read_area() {
    prepare_area "$@"
    tesseract "$work/area.png" - --psm 6 2>/dev/null | sed '/^[[:space:]]*$/d'
}

# locate X Y W H TEXT [N]: the screen point ("x y") at the middle of the words TEXT where
# OCR finds them (the Nth time from the top, the first by default) in that part of the
# last screenshot; nothing when they are not there.
locate() {
    local x=$1 y=$2 nth=${6:-1}
    prepare_area "$1" "$2" "$3" "$4"
    tesseract "$work/area.png" - --psm 6 tsv 2>/dev/null | /usr/bin/python3 -c '
import sys
want = sys.argv[1].split()
ox, oy, nth = int(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4])
lines = {}
for row in sys.stdin.read().splitlines()[1:]:
    f = row.split("\t")
    if len(f) == 12 and f[0] == "5" and f[11].strip():
        lines.setdefault((f[2], f[3], f[4]), []).append(
            (f[11].strip(".,:;()[]|"), int(f[6]), int(f[7]), int(f[8]), int(f[9])))
for words in lines.values():
    for i in range(len(words) - len(want) + 1):
        run = words[i:i + len(want)]
        if [w[0].lower() for w in run] == [w.lower() for w in want]:
            nth -= 1
            if nth > 0:
                continue
            left, right = run[0][1], run[-1][1] + run[-1][3]
            top = min(w[2] for w in run)
            bottom = max(w[2] + w[4] for w in run)
            # The area is enlarged three times and framed by 24 pixels.
            print(ox + ((left + right) // 2 - 24) // 3, oy + ((top + bottom) // 2 - 24) // 3)
            sys.exit(0)
' "$5" "$x" "$y" "$nth"
}

# wait_for SECONDS X Y W H PATTERN: takes screenshots until OCR of that area finds the
# extended regular expression PATTERN (ignoring case) or the time is up; $seen holds
# the last text read. Fails when the viewer has ended.
wait_for() {
    local limit=$1 pattern=$6 end
    end=$((SECONDS + limit))
    while :; do
        kill -0 "$viewer" 2>/dev/null || fail "the viewer ended"
        shoot
        seen=$(read_area "$2" "$3" "$4" "$5")
        echo "$seen" | grep -q -i -E -- "$pattern" && return 0
        [ "$SECONDS" -lt "$end" ] || return 1
        sleep 0.5
    done
}

# click_text SECONDS X Y W H TEXT [CLICKS [N]]: finds TEXT (the Nth time from the top) in
# that area, looking again until the time is up, and clicks it CLICKS times (once).
click_text() {
    local limit=$1 text=$6 repeat=${7:-1} nth=${8:-1} end point
    end=$((SECONDS + limit))
    while :; do
        shoot
        point=$(locate "$2" "$3" "$4" "$5" "$text" "$nth")
        [ -n "$point" ] && break
        [ "$SECONDS" -lt "$end" ] || fail "'$text' is not on the screen: $(read_area "$2" "$3" "$4" "$5" | tr '\n' '|')"
        sleep 0.5
    done
    # shellcheck disable=SC2086  # "x y"
    xdotool mousemove $point click --repeat "$repeat" --delay 120 1
}

# count_colour X Y W H COLOUR: how many pixels of that part of the last screenshot have
# the colour (within 4 %).
count_colour() {
    convert "$work/screen.png" -crop "${3}x${4}+${1}+${2}" +repage -fuzz 4% -fill black \
        +opaque "$5" -fill white -opaque "$5" -format '%[fx:int(mean*w*h+0.5)]' info:
}

# open_topic TITLE HEADING: clicks the topic in the Contents tree (the area in the array
# $tree) and waits for its page, whose heading (read in the area $heading) matches HEADING.
open_topic() {
    click_text 10 "${tree[@]}" "$1"
    wait_for 20 "${heading[@]}" "$2" || fail "'$1' opened '$seen'"
}

# in_order FILE TITLE...: each title is part of a line of FILE, every one on a later line
# than the one before (ignoring case); $missing names the first that is not.
in_order() {
    local file=$1 from=0 n title
    shift
    missing=""
    for title in "$@"; do
        n=$(tail -n +$((from + 1)) "$file" | grep -n -i -F -- "$title" | head -n 1 | cut -d: -f1)
        if [ -z "$n" ]; then
            missing=$title
            return 1
        fi
        from=$((from + n))
    done
}

# keep_screenshot NAME: keeps the upper 700 rows of the viewer's window in the last
# screenshot, reduced to 128 colours, as NAME in $QW_SCREENSHOT_DIR when that is set.
keep_screenshot() {
    [ -n "${QW_SCREENSHOT_DIR:-}" ] || return 0
    convert "$work/screen.png" -crop 1000x700+0+0 +repage -colors 128 "PNG8:$QW_SCREENSHOT_DIR/$1"
}
