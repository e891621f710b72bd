#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the sample need.
# Safe to run again: packages already present are skipped.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  clang libclang-rt-14-dev llvm
  libgtest-dev libgmock-dev googletest
  qt6-base-dev qt6-base-dev-tools libqt6svg6 qt6-qpa-plugins libgl-dev
  libx11-dev libxtst-dev x11-xkb-utils
  fp-utils libchm-bin libchm-dev p7zip-full xchm kchmviewer xdotool xvfb xauth imagemagick
  tesseract-ocr tesseract-ocr-eng  # reads the keywords xchm shows back from a screenshot
  chromium fonts-dejavu-core python3 python3-chm strace
  valgrind  # its HTML manual is the real-manual project of the link check tests
  dpkg-dev lintian desktop-file-utils appstream shared-mime-info
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

# Node.js runs the browser tests; the machine may already have it from elsewhere.
command -v node >/dev/null 2>&1 || missing+=(nodejs)
command -v npm >/dev/null 2>&1 || missing+=(npm)

if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo_cmd apt-get update -qq
  $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
