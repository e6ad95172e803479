#!/usr/bin/env bash
# Tests the desktop launcher: it is copied into a fake install tree beside a fake shipped
# database and starts a stand-in program that records its folder and arguments.
# Usage: launcher_test.sh LAUNCHER
set -euo pipefail

launcher_source=$1
work=$(mktemp -d)
trap 'rm -rf -- "$work"' EXIT

prefix=$work/prefix
mkdir -p "$prefix/bin" "$prefix/share/io.vantor.Scrivlet"
cp -- "$launcher_source" "$prefix/bin/vantor-scrivlet-launch"
launcher=$prefix/bin/vantor-scrivlet-launch
shipped=$prefix/share/io.vantor.Scrivlet/entries97.mdb
printf 'shipped database, version 1\n' >"$shipped"

# The stand-in program: one record per start, "cwd=FOLDER" then "arg=ARGUMENT" per argument.
stub=$work/stub-program
log=$work/starts.log
cat >"$stub" <<STUB
#!/bin/sh
{
    printf 'cwd=%s\n' "\$(pwd)"
    for a in "\$@"; do printf 'arg=%s\n' "\$a"; done
    printf 'end\n'
} >>"$log"
STUB
chmod +x "$stub"
export SCRIVLET_PROGRAM=$stub

failures=0
check() { # check DESCRIPTION EXPECTED ACTUAL
    if [ "$2" == "$3" ]; then
        printf 'ok   %s\n' "$1"
    else
        printf 'FAIL %s\n  expected: %q\n  actual:   %q\n' "$1" "$2" "$3"
        failures=$((failures + 1))
    fi
}

# Runs the launcher in folder $1 with the remaining arguments; fresh log each time.
launch() {
    local folder=$1 status=0
    shift
    : >"$log"
    (cd "$folder" && "$launcher" "$@") || status=$?
    if [ $status -ne 0 ]; then
        printf 'FAIL the launcher ended with status %s for: %q\n' "$status" "$*"
        failures=$((failures + 1))
    fi
}

# Waits, a bounded time, until the log holds $1 starts (background starts land late).
wait_for_starts() {
    local tries=0
    while [ "$(grep -c '^end$' "$log")" -lt "$1" ] && [ $tries -lt 100 ]; do
        sleep 0.05
        tries=$((tries + 1))
    done
}

home=$work/home
caller=$work/caller
mkdir -p "$home" "$caller"
export HOME=$home
unset XDG_DATA_HOME
data=$home/.local/share/io.vantor.Scrivlet

# First start: the data folder is made, the shipped database copied there, and the program
# runs in it.
launch "$caller"
check "first start seeds the database" "shipped database, version 1" "$(cat "$data/entries97.mdb")"
check "first start runs in the data folder" "$(printf 'cwd=%s\nend' "$data")" "$(cat "$log")"
check "no temporary file is left behind" "entries97.mdb" "$(ls -A "$data")"

# The user's counts change the database; an upgrade ships a new one. Neither a second start
# nor one after the upgrade replaces the user's database.
printf 'user database with counts\n' >"$data/entries97.mdb"
launch "$caller"
check "second start keeps the user's database" "user database with counts" "$(cat "$data/entries97.mdb")"
printf 'shipped database, version 2\n' >"$shipped"
launch "$caller"
check "an upgrade keeps the user's database" "user database with counts" "$(cat "$data/entries97.mdb")"

# A database the user replaced by a link is still theirs, even when the link dangles.
ln -s "$work/elsewhere.mdb" "$data/link.mdb"
mv "$data/entries97.mdb" "$work/elsewhere.mdb"
mv "$data/link.mdb" "$data/entries97.mdb"
rm "$work/elsewhere.mdb"
launch "$caller"
check "a dangling link is not replaced" "$work/elsewhere.mdb" "$(readlink "$data/entries97.mdb")"
rm "$data/entries97.mdb"

# XDG_DATA_HOME: an absolute one is used, an empty or relative one is ignored.
XDG_DATA_HOME=$work/xdg launch "$caller"
check "XDG_DATA_HOME is used" "shipped database, version 2" "$(cat "$work/xdg/io.vantor.Scrivlet/entries97.mdb")"
check "the program runs in XDG_DATA_HOME" "cwd=$work/xdg/io.vantor.Scrivlet" "$(head -n 1 "$log")"
rm -f "$data/entries97.mdb"
XDG_DATA_HOME=relative/xdg launch "$caller"
check "a relative XDG_DATA_HOME is ignored" "cwd=$data" "$(head -n 1 "$log")"
check "nothing is made under a relative XDG_DATA_HOME" "no" "$([ -e "$caller/relative" ] && echo yes || echo no)"
XDG_DATA_HOME= launch "$caller"
check "an empty XDG_DATA_HOME is ignored" "cwd=$data" "$(head -n 1 "$log")"

# File arguments: made absolute against the caller's folder, one path as the program reads
# its command line (joined by single spaces, double quotes removed).
mkdir -p "$caller/My Files" "$caller/sub"
touch "$caller/My Files/prog.rpl" "$caller/a.rpl" "$caller/sub/b.rpl"
file_args() { grep '^arg=' "$log" | sed 's/^arg=//'; }
launch "$caller" a.rpl
check "a relative file is made absolute" "$caller/a.rpl" "$(file_args)"
launch "$caller" "My Files/prog.rpl"
check "a path with a space stays one file" "$caller/My Files/prog.rpl" "$(file_args)"
launch "$caller" My Files/prog.rpl
check "an unquoted path with a space is one file" "$caller/My Files/prog.rpl" "$(file_args)"
launch "$caller" '"My' 'Files/prog.rpl"'
check "double quotes are removed" "$caller/My Files/prog.rpl" "$(file_args)"
launch "$caller" "\"$caller/a.rpl\""
check "a quoted absolute path stays absolute" "$caller/a.rpl" "$(file_args)"
launch "$caller/sub" ../a.rpl
check "a path with .. is resolved from the caller's folder" "$caller/sub/../a.rpl" "$(file_args)"
launch "$caller" "$caller/sub/b.rpl"
check "an absolute file is passed as it is" "$caller/sub/b.rpl" "$(file_args)"
launch "$caller" new.rpl
check "a file that does not exist yet is made absolute too" "$caller/new.rpl" "$(file_args)"
launch "$caller" '""'
check "an argument of quotes alone names no file" "" "$(file_args)"
launch "$caller" --help extra
check "--help with more is a path" "$caller/--help extra" "$(file_args)"

# A selection of existing files from the file manager: one start for each, in the data folder.
launch "$caller" a.rpl "My Files/prog.rpl" "$caller/sub/b.rpl"
wait_for_starts 3
check "a selection opens one window per file" \
    "$(printf '%s\n' "$caller/My Files/prog.rpl" "$caller/a.rpl" "$caller/sub/b.rpl")" \
    "$(file_args | sort)"
check "every window runs in the data folder" "cwd=$data" "$(grep '^cwd=' "$log" | sort -u)"

# --help and --version go to the program unchanged, and need no data folder.
rm -rf "$data"
launch "$caller" --version
check "--version is passed on" "$(printf 'cwd=%s\narg=--version\nend' "$caller")" "$(cat "$log")"
launch "$caller" --help
check "--help is passed on" "arg=--help" "$(file_args | sed 's/^/arg=/')"
check "--help makes no data folder" "no" "$([ -e "$data" ] && echo yes || echo no)"

# --screenshot PNG leads, and the picture is named from the caller's folder.
launch "$caller" --screenshot shot.png a.rpl
check "--screenshot keeps its place" \
    "$(printf '%s\n' --screenshot "$caller/shot.png" "$caller/a.rpl")" "$(file_args)"

# Started through a link (as from /usr/local/bin), it still finds the shipped database.
rm -rf "$data"
mkdir -p "$work/links"
ln -s "$launcher" "$work/links/vantor-scrivlet-launch"
: >"$log"
(cd "$caller" && "$work/links/vantor-scrivlet-launch")
check "a linked launcher finds the shipped database" "shipped database, version 2" "$(cat "$data/entries97.mdb")"

# No shipped database: the program still starts, the user is told, nothing is made up.
rm -rf "$data"
mv "$shipped" "$work/shipped.away"
message=$(launch "$caller" 2>&1 >/dev/null)
check "a missing shipped database is reported" \
    "vantor-scrivlet-launch: the shipped entry database $prefix/bin/../share/io.vantor.Scrivlet/entries97.mdb is missing" \
    "$message"
check "the program starts without a shipped database" "cwd=$data" "$(head -n 1 "$log")"
check "no database is made up" "no" "$([ -e "$data/entries97.mdb" ] && echo yes || echo no)"
mv "$work/shipped.away" "$shipped"

# A data folder that cannot be made: a message and no start.
touch "$work/blocked"
: >"$log"
status=0
message=$( (cd "$caller" && XDG_DATA_HOME=$work/blocked "$launcher") 2>&1) || status=$?
check "an unusable data folder fails" "1" "$status"
check "an unusable data folder is named" "yes" \
    "$(grep -q "cannot create the data folder $work/blocked/io.vantor.Scrivlet" <<<"$message" && echo yes || echo no)"
check "the program is not started without its folder" "" "$(cat "$log")"

if [ $failures -ne 0 ]; then
    echo "$failures launcher checks failed"
    exit 1
fi
echo "all launcher checks passed"
