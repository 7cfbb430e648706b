#!/usr/bin/env bash
# The program as a user starts it.
#
#   start_test.sh options <program> <version>
#       options and bad folders, with no display: exit status, standard output
#       and standard error, run as an ordinary user (uid 65534 when root)
#   start_test.sh desktop <program> <desktop entry> <expected file>
#       under Xvfb, `gio launch` of the desktop entry on a folder starts the
#       program in that folder, and pressing Enter writes the expected file
#       there byte for byte
#
# Exits 77 (skipped) where a tool it needs is missing.
set -uo pipefail

mode=${1:?mode: options or desktop}
program=${2:?path to the program}

source "$(dirname "$0")/checks.sh"

# A copy of the program that uid 65534 can run wherever the build is.
chmod 755 "$work"
mkdir -m 755 "$work/bin"
cp "$program" "$work/bin/qorgenerator"

# row <status> <first line of stdout> <stderr> <argument>...: one start with no
# display, as an ordinary user, from an empty folder that must stay empty.
row() {
    local status=$1 out=$2 err=$3
    shift 3
    local as=()
    [[ $(id -u) -ne 0 ]] || as=(setpriv --reuid=65534 --regid=65534 --clear-groups)
    (cd "$work/cwd" && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "${as[@]}" \
        "$work/bin/qorgenerator" "$@" >"$work/out" 2>"$work/err")
    local got=$? label="qorgenerator $*"
    ((got == status)) || fail "$label: exit status $got, expected $status"
    [[ $(head -n 1 "$work/out") == "$out" ]] || fail "$label: standard output $(head -n 1 "$work/out")"
    [[ $(cat "$work/err") == "$err" ]] || fail "$label: standard error $(cat "$work/err")"
    local written
    written=$(find "$work/cwd" "$work/folder" -mindepth 1)
    [[ -z $written ]] || fail "$label: wrote $written"
}

options() {
    local version=${1:?version}
    mkdir -m 755 "$work/folder" "$work/cwd"
    mkdir -m 000 "$work/closed"
    touch "$work/file"
    ln -s loop "$work/loop"
    local odd=$'\xff\xfe folder'

    # One row a start: exit status, first line of standard output, standard
    # error, then the arguments.
    row 0 "qorgenerator $version" "" --version
    row 0 "qorgenerator $version" "" -v
    row 0 "Usage: qorgenerator [options] [FOLDER]" "" --help
    row 0 "Usage: qorgenerator [options] [FOLDER]" "" -h
    # An option that prints wins; the folder is not even looked at.
    row 0 "qorgenerator $version" "" --version "$work/missing"
    row 2 "" "qorgenerator: $work/missing: No such file or directory" "$work/missing"
    row 2 "" "qorgenerator: $work/file: Not a directory" "$work/file"
    row 2 "" "qorgenerator: $work/closed: Permission denied" "$work/closed"
    row 2 "" "qorgenerator: $work/loop: Too many levels of symbolic links" "$work/loop"
    row 2 "" "qorgenerator: : No such file or directory" ""
    # Bytes that are no UTF-8 come back as they were given.
    row 2 "" "qorgenerator: $odd: No such file or directory" "$odd"
    row 2 "" "qorgenerator: -folder: No such file or directory" -- -folder
    row 2 "" "qorgenerator: Unknown option 'bogus'. See --help." --bogus
    row 2 "" "qorgenerator: Unknown option 'platform'. See --help." --platform offscreen
    row 2 "" "qorgenerator: one FOLDER at most. See --help." "$work/folder" "$work/folder"
    grep -q -- '--version' <(cd "$work/cwd" && "$work/bin/qorgenerator" --help) || fail "--help does not list --version"
}

desktop() {
    local entry expected
    entry=$(realpath "${1:?desktop entry}") expected=$(realpath "${2:?expected file}")
    need xvfb-run
    need xdotool
    need gio
    local folder="$work/missions/Ambush ü.Island"
    mkdir -p "$folder"
    # Started from elsewhere; the program finds itself on PATH as the entry's
    # Exec line asks.
    cd "$work" || exit 1
    PATH="$work/bin:$PATH" QOR_ENTRY=$entry QOR_FOLDER=$folder QOR_EXPECTED=$expected \
        xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
        set -uo pipefail
        unset QT_QPA_PLATFORM WAYLAND_DISPLAY
        gio launch "$QOR_ENTRY" "$QOR_FOLDER" || { echo "FAIL: gio launch"; exit 1; }
        win=$(timeout 60 xdotool search --sync --onlyvisible --name "^description\.ext generator" | head -n 1)
        [[ -n $win ]] || { echo "FAIL: no window"; exit 1; }
        pid=$(xdotool getwindowpid "$win")
        status=0
        cwd=$(readlink "/proc/$pid/cwd")
        [[ $cwd == "$QOR_FOLDER" ]] || { echo "FAIL: working folder $cwd"; status=1; }
        # Without a window manager nothing gives the window the keyboard; the
        # button has the focus inside it, so Enter presses it.
        xdotool windowfocus --sync "$win" key Return
        for _ in $(seq 600); do
            [[ -f $QOR_FOLDER/description.ext ]] && break
            sleep 0.1
        done
        cmp "$QOR_FOLDER/description.ext" "$QOR_EXPECTED" || { echo "FAIL: description.ext differs"; status=1; }
        kill "$pid"
        exit $status' || fail "desktop entry launch"
    [[ ! -e $work/description.ext ]] || fail "written into the folder gio was started from"
}

case $mode in
options) options "${3:-}" ;;
desktop) desktop "${3:-}" "${4:-}" ;;
*)
    echo "unknown mode $mode"
    exit 2
    ;;
esac

finish "$mode"
