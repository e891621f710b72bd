#!/usr/bin/env bash
# The main job: installs what is needed, builds everything, builds the sample project's
# compiled help document and its browser tree headless, then opens the sample in QuireW.
# The sample is copied to out/sample first, so the repository's copy stays clean.
# Without a display, QuireW runs under Xvfb for a few seconds and a screenshot of it is
# saved as out/quirew.png.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh build

rm -rf out/sample
mkdir -p out
cp -r examples/sample out/sample
project=out/sample/sample.qwr

./build/cli/quirew-cli check "$project"
./build/cli/quirew-cli build "$project"
./build/cli/quirew-cli tree "$project"

if [ -n "${DISPLAY:-}" ]; then
  exec ./build/app/QuireW "$project"
fi
seconds=${QW_RUN_SECONDS:-6}
xvfb-run -a -s '-screen 0 1280x800x24' bash -c '
  ./build/app/QuireW "$1" &
  app=$!
  sleep "$2"
  import -window root out/quirew.png
  kill "$app"
  wait "$app" 2>/dev/null || true
' run "$project" "$seconds"
echo "QuireW ran on $project; screenshot: out/quirew.png"
