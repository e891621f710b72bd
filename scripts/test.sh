#!/usr/bin/env bash
# Every test: installs what is needed, then builds and runs the suite in the normal
# build, again under AddressSanitizer + UndefinedBehaviorSanitizer, and runs each fuzz
# target for a few seconds.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
export QT_QPA_PLATFORM=offscreen

echo "== browser test packages"
(cd tests/browser && npm ci --no-audit --no-fund --loglevel=error)

echo "== normal build"
bash scripts/build.sh build
ctest --test-dir build --output-on-failure -j2 -LE reliability

echo "== reliability: failing file operations, kill -9, two programs at once"
ctest --test-dir build --output-on-failure -L reliability

echo "== packaging: a build outside the source tree, a staged install, the Debian package"
bash tests/packaging/package_test.sh . build

echo "== sanitizer build (address, undefined)"
bash scripts/build.sh build-asan -DCMAKE_BUILD_TYPE=Debug -DQW_SANITIZE=ON -DQW_BUILD_GUI=OFF \
  -DQW_BENCH=OFF
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j2

echo "== fuzz targets"
QW_TARGETS="fuzz_chapter_parser fuzz_settings_reader fuzz_compiled_document fuzz_lzx_roundtrip fuzz_chm_indexes" bash scripts/build.sh build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DQW_FUZZ=ON -DQW_BUILD_GUI=OFF -DQW_TESTS=OFF \
  -DQW_BENCH=OFF
for target in build-fuzz/fuzz/fuzz_*; do
  [ -x "$target" ] || continue
  corpus=$(mktemp -d)
  # Seeds: the sample's chapters for the parser and the page fixes, its project file for
  # the settings reader.
  case "$(basename "$target")" in
    fuzz_chapter_parser) cp examples/sample/*.htm "$corpus"/ ;;
    fuzz_settings_reader) cp examples/sample/sample.qwr "$corpus"/ ;;
    fuzz_compiled_document) cp examples/sample/*.htm "$corpus"/ ;;
    fuzz_lzx_roundtrip) cp examples/sample/*.htm examples/sample/images/* "$corpus"/ ;;
    fuzz_chm_indexes) cp examples/sample/*.htm "$corpus"/
      printf '%s' '<UL><LI><OBJECT type="text/sitemap"><param name="Name" value="K&amp;R">' \
        '<param name="Local" value="a.htm#x"></OBJECT><UL><LI><OBJECT type="text/sitemap">' \
        '<param name="Name" value="sub"><param name="See Also" value="K"></OBJECT></UL></UL>' \
        >"$corpus/index.hhk" ;;
  esac
  echo "-- $(basename "$target")"
  "$target" -max_total_time=5 -max_len=65536 -rss_limit_mb=2048 "$corpus" 2>&1 | tail -n 2
  rm -rf "$corpus"
done
echo "all tests passed"
