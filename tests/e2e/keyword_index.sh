#!/bin/bash
# Decodes the binary keyword index of documents from the built-in compiler with a reader
# written from the format's public description (keyword_index.py), not from our code.
# Usage: keyword_index.sh QUIREW_CLI SOURCE_DIR
set -euo pipefail

cli=$1
source_dir=$2
command -v extract_chmLib >/dev/null || { echo "SKIP: extract_chmLib is not installed"; exit 77; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/data"
for entry in "$source_dir"/data/*; do
    [ "$(basename "$entry")" = quirew.cfg ] || ln -s "$entry" "$work/data/"
done
export QUIREW_DATA_DIR="$work/data"
/usr/bin/python3 "$source_dir/tests/e2e/keyword_index.py" "$cli" "$work"
