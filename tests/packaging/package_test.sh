#!/bin/bash
# Builds, installs and packages the programs as a user would, away from the source tree:
# a build made in a folder outside the source tree finds its support files; a data
# folder without them stops a build with a clear error and no pages; a staged install
# (DESTDIR) builds the sample completely; the desktop files, the software-centre
# description and the Debian package pass their validators; the package installs, its
# programs run, and it is removed cleanly (the last part only as root).
# Usage: package_test.sh SOURCE_DIR BUILD_DIR   (BUILD_DIR: a full build with the GUI)
set -euo pipefail

source_dir=$(cd "$1" && pwd)
build_dir=$(cd "$2" && pwd)
work=$(mktemp -d /tmp/qw-package-XXXXXX)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
step() { echo "-- $*"; }

# The sample copied to a fresh folder, with the list of its own files beside it.
copy_sample() {
    cp -r "$source_dir/examples/sample" "$1"
    (cd "$1" && find . -type f | sort) >"$1.before"
}

# The pages a build added hold no raw effect marker, and their script and style sheet are
# there.
check_pages() {
    local project=$1 pages
    [ -f "$project/quirew.js" ] && [ -f "$project/quirew.css" ] ||
        fail "$project: the support files were not copied"
    pages=$(cd "$project" && find . -name '*.htm' | sort | comm -13 "$project.before" -)
    [ -n "$pages" ] || fail "$project: no page was written"
    if (cd "$project" && grep -l -e "\[SW '" -e "\[\*" $pages); then
        fail "$project: these pages still hold a raw effect marker"
    fi
}

step "a build in a folder outside the source tree"
# QW_OOT_DIR keeps that build between runs (it must lie outside the source tree).
oot=${QW_OOT_DIR:-$work/oot}
cmake -S "$source_dir" -B "$oot" -G Ninja -DQW_BUILD_GUI=OFF -DQW_TESTS=OFF -DQW_BENCH=OFF >/dev/null
ninja -C "$oot" -j2 quirew-cli >/dev/null
copy_sample "$work/s1"
(cd "$work" && env -u QUIREW_DATA_DIR XDG_CONFIG_HOME="$work/config" \
    "$oot/cli/quirew-cli" build --no-compile "$work/s1/sample.qwr" >/dev/null) ||
    fail "the out-of-tree build failed"
check_pages "$work/s1"
[ -f "$work/s1/intro.htm" ] || fail "a chapter went missing"

step "a data folder without the support files"
mkdir "$work/empty"
copy_sample "$work/s2"
pages_before=$(cd "$work/s2" && find . -name '*.htm' -o -name '*.js' -o -name '*.css' | sort |
    xargs md5sum)
if out=$(QUIREW_DATA_DIR="$work/empty" XDG_CONFIG_HOME="$work/config" \
    "$oot/cli/quirew-cli" build --no-compile "$work/s2/sample.qwr" 2>&1); then
    fail "the build succeeded without its support files"
fi
echo "$out" | grep -q "Support file not found: $work/empty/xFiles/" ||
    fail "unclear error without support files: $out"
pages_after=$(cd "$work/s2" && find . -name '*.htm' -o -name '*.js' -o -name '*.css' | sort |
    xargs md5sum)
[ "$pages_after" = "$pages_before" ] || fail "pages were written without support files"

step "a staged install (DESTDIR)"
DESTDIR="$work/stage" cmake --install "$build_dir" --prefix /usr >/dev/null
for f in usr/bin/QuireW usr/bin/quirew-cli usr/bin/qwrtools usr/share/quirew/xFiles/quirew.js \
    usr/share/quirew/quirew.chm usr/share/quirew/help/index.htm \
    usr/share/quirew/help/cmp_create_htmlhelp_options.htm \
    usr/share/applications/quirew-popup-editor.desktop \
    usr/share/quirew/TScripts/JSTree.hts usr/share/applications/quirew.desktop \
    usr/share/mime/packages/quirew.xml usr/share/man/man1/quirew-cli.1.gz \
    usr/share/icons/hicolor/48x48/apps/quirew.png \
    usr/share/icons/hicolor/48x48/mimetypes/application-x-quirew-project.png; do
    [ -e "$work/stage/$f" ] || fail "the install lacks $f"
done
[ ! -e "$work/stage/usr/share/quirew/quirew.cfg" ] || fail "a configuration file was installed"
copy_sample "$work/s3"
(cd "$work" && env -u QUIREW_DATA_DIR XDG_CONFIG_HOME="$work/config" \
    "$work/stage/usr/bin/quirew-cli" build --no-compile "$work/s3/sample.qwr" >/dev/null) ||
    fail "the installed build failed"
check_pages "$work/s3"
(cd "$work" && env -u QUIREW_DATA_DIR XDG_CONFIG_HOME="$work/config" \
    "$work/stage/usr/bin/quirew-cli" tree "$work/s3/sample.qwr" >/dev/null) ||
    fail "the installed tree failed"
[ -f "$work/s3/index.htm" ] && ls "$work/s3/treehtml/"*.gif >/dev/null ||
    fail "the browser document is incomplete"

step "validators"
desktop-file-validate "$source_dir/packaging/"*.desktop
appstreamcli validate --no-net "$source_dir/packaging/"*.metainfo.xml >/dev/null
(cd "$build_dir" && cpack -G DEB >/dev/null)
deb=$(ls "$build_dir"/quirewright_*.deb)
lintian --fail-on error,warning "$deb" 2>&1 | grep -v "root privileges" || true
lintian --fail-on error,warning "$deb" >/dev/null 2>&1 || fail "lintian finds faults in $deb"
dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6 || fail "the package does not depend on Qt"

if [ "$(id -u)" -ne 0 ] || [ -e /usr/bin/QuireW ]; then
    echo "-- the package install is left out (not root, or the programs are installed already)"
    echo "package test passed"
    exit 0
fi
step "the package installed, used and removed"
export DEBIAN_FRONTEND=noninteractive
apt-get install -y -qq --no-install-recommends "$deb" >/dev/null
trap 'apt-get remove -y -qq quirewright >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
copy_sample "$work/s4"
(cd "$work" && env -u QUIREW_DATA_DIR XDG_CONFIG_HOME="$work/config" \
    /usr/bin/quirew-cli build --no-compile "$work/s4/sample.qwr" >/dev/null) ||
    fail "the installed program could not build the sample"
check_pages "$work/s4"
set +e
(cd "$work" && QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$work/config" \
    timeout 5 /usr/bin/QuireW "$work/s4/sample.qwr" >/dev/null 2>&1)
status=$?
set -e
[ "$status" -eq 124 ] || fail "QuireW ended with status $status instead of running"
apt-get remove -y -qq quirewright >/dev/null
[ ! -e /usr/bin/QuireW ] && [ ! -e /usr/share/quirew ] || fail "the package left files behind"
echo "package test passed"
