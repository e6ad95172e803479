#!/usr/bin/env bash
# Checks what a user gets:
#  1. the dev build installed into a temporary prefix: every file in place, the desktop entry,
#     the AppStream metainfo and the MIME package valid, and the installed launcher starting the
#     installed program in a fresh user's data folder seeded with the shipped database;
#  2. the Debian package built from a release build with CPack, installed with apt-get (again
#     over an existing install), and the installed program's --version.
# Run as root after the dev build (scripts/test.sh does); safe to run again.
set -euo pipefail
cd "$(dirname "$0")/.."

id=io.vantor.Scrivlet
work=$(mktemp -d)
trap 'rm -rf -- "$work"' EXIT
export QT_QPA_PLATFORM=offscreen

step() { printf '\n== %s\n' "$*"; }
fail() {
    printf 'package check: %s\n' "$*" >&2
    exit 1
}

# The files of an install under $1 (a prefix); icons only once the drawing is in the tree.
check_installed_files() {
    local root=$1 f
    local files=(
        bin/vantor-scrivlet bin/vantor-scrivlet-launch
        "share/applications/$id.desktop" "share/metainfo/$id.metainfo.xml"
        "share/mime/packages/$id.xml" "share/$id/entries97.mdb"
        share/doc/vantor-scrivlet/copyright
    )
    if [ -e common/icons/scrivlet.svg ]; then
        files+=("share/icons/hicolor/scalable/apps/$id.svg")
        for size in 16 32 48 64 128 256; do
            files+=("share/icons/hicolor/${size}x$size/apps/$id.png")
        done
    fi
    for f in "${files[@]}"; do
        [ -s "$root/$f" ] || fail "not installed: $root/$f"
    done
    [ -x "$root/bin/vantor-scrivlet-launch" ] || fail "the launcher is not executable"
    echo "all ${#files[@]} files installed"
}

# Starts the launcher $1 as a new user with home $2 and checks the seeded database.
check_first_start() {
    local launcher=$1 home=$2 shipped=$3
    (cd "$work" && env -u XDG_DATA_HOME HOME="$home" "$launcher" --screenshot "$home.png") \
        2>"$home.log" || { cat "$home.log"; fail "$launcher did not start the program"; }
    [ -s "$home.png" ] || fail "$launcher made no screenshot"
    local seeded=$home/.local/share/$id/entries97.mdb
    [ -f "$seeded" ] || fail "$launcher did not seed $seeded"
    local shipped_rows seeded_rows
    shipped_rows=$(sqlite3 -readonly "$shipped" 'SELECT count(*) FROM entries')
    seeded_rows=$(sqlite3 -readonly "$seeded" 'SELECT count(*) FROM entries')
    [ "$shipped_rows" -gt 0 ] && [ "$seeded_rows" = "$shipped_rows" ] ||
        fail "the seeded database holds $seeded_rows entries, the shipped one $shipped_rows"
    echo "first start seeded $seeded with $seeded_rows entries"
}

step "install into a temporary prefix"
prefix=$work/prefix
cmake --install build/dev --prefix "$prefix" >/dev/null
check_installed_files "$prefix"
desktop-file-validate "$prefix/share/applications/$id.desktop"
echo "desktop entry valid"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml"
# The tree check also finds the desktop entry the metainfo launches.
appstreamcli validate-tree --no-net "$prefix"
# update-mime-database reports a broken package only in its output; the type must reach the
# database it writes.
update-mime-database "$prefix/share/mime" >"$work/mime.log" 2>&1 || { cat "$work/mime.log"; fail "update-mime-database failed"; }
grep -qx 'text/x-rpl' "$prefix/share/mime/types" || { cat "$work/mime.log"; fail "the MIME package defines no text/x-rpl"; }
grep -q ':text/x-rpl:\*\.rpl' "$prefix/share/mime/globs2" || fail "the MIME package does not claim *.rpl"
echo "MIME package valid"
check_first_start "$prefix/bin/vantor-scrivlet-launch" "$work/home-prefix" "$prefix/share/$id/entries97.mdb"

step "Debian package from a release build"
cmake --preset release >/dev/null
cmake --build --preset release
rm -f build/release/vantor-scrivlet_*.deb
(cd build/release && cpack -G DEB >/dev/null)
debs=(build/release/vantor-scrivlet_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "cpack made no single package: ${debs[*]}"
deb=${debs[0]}
version=$(dpkg-deb --field "$deb" Version)
echo "$deb: version $version, depends on: $(dpkg-deb --field "$deb" Depends)"

step "install the package with apt-get"
[ "$(id -u)" -eq 0 ] || fail "installing the package needs root"
export DEBIAN_FRONTEND=noninteractive
# --reinstall: a second run puts the new build over the one installed by the first.
apt-get install -y -q --reinstall "./$deb" >"$work/apt.log" 2>&1 ||
    { cat "$work/apt.log"; fail "apt-get could not install $deb"; }
dpkg-query -W -f='${Status} ${Version}\n' vantor-scrivlet
check_installed_files /usr
desktop-file-validate "/usr/share/applications/$id.desktop"
appstreamcli validate --no-net "/usr/share/metainfo/$id.metainfo.xml"
reported=$(env -u QT_QPA_PLATFORM -u DISPLAY -u WAYLAND_DISPLAY vantor-scrivlet --version)
[ "$reported" = "Vantor Scrivlet $version" ] ||
    fail "the installed program reports '$reported', the package is $version"
echo "installed program: $reported"
check_first_start /usr/bin/vantor-scrivlet-launch "$work/home-package" "/usr/share/$id/entries97.mdb"
echo "package check passed"
