#!/usr/bin/env bash
# The main job: installs what is needed, builds, and runs the command-line program on
# the bundled sample project.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh build
./build/cli/quirew-cli check examples/sample/sample.qwr
./build/cli/quirew-cli topics examples/sample/sample.qwr
