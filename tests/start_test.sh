#!/usr/bin/env bash
# The program as a user starts it.
#
#   start_test.sh options <program> <version>
#       options and bad folders, with no display: exit status, standard output
#       and standard error, run as an ordinary user (uid 65534 when root)
#   start_test.sh desktop <program> <desktop entry> <expected file>
#       on a display of its own (Xvfb), `gio launch` of the desktop entry on a
#       folder, and the program started on a folder from elsewhere, each work
#       in that folder, and pressing Enter writes the expected file there byte
#       for byte
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

# still_runs <stderr: has|lacks> <text> <prefix command>... -- <argument>...:
# a start on Qt's offscreen platform, as an ordinary user, from a folder that
# holds a folder named "-style=bogus"; the program must still run after 3 s
# and its standard error must have or lack the text.
still_runs() {
    local want=$1 text=$2 prefix=()
    shift 2
    while [[ $1 != -- ]]; do
        prefix+=("$1")
        shift
    done
    shift
    local as=()
    [[ $(id -u) -ne 0 ]] || as=(setpriv --reuid=65534 --regid=65534 --clear-groups)
    (cd "$work/dash" && env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=offscreen "${as[@]}" \
        timeout 3 "${prefix[@]}" "$work/bin/qorgenerator" "$@" 2>"$work/dash.err")
    local got=$? label="${prefix[*]:+${prefix[*]} }qorgenerator $*"
    ((got == 124)) || fail "$label: ended with status $got"
    if grep -qF -- "$text" "$work/dash.err"; then
        [[ $want == has ]] || fail "$label: standard error has $text"
    else
        [[ $want == lacks ]] || fail "$label: standard error lacks $text"
    fi
}

options() {
    local version=${1:?version}
    mkdir -m 755 "$work/folder" "$work/cwd"
    mkdir -m 000 "$work/closed"
    touch "$work/file"
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
    # Bytes that are not UTF-8 and control characters reach the terminal
    # visibly, never as themselves.
    row 2 "" "qorgenerator: "$'\xef\xbf\xbd\xef\xbf\xbd'" folder: No such file or directory" "$odd"
    row 2 "" "qorgenerator: \\u001B]0;x\\u0007: No such file or directory" $'\e]0;x\a'
    row 2 "" "qorgenerator: -folder: No such file or directory" -- -folder
    # Qt's own options (a session manager's restart, a style) and their values
    # are left to Qt and are no folder.
    row 2 "" "qorgenerator: $work/missing: No such file or directory" -session 1a2b_3c "$work/missing"
    row 2 "" "qorgenerator: $work/missing: No such file or directory" -style Fusion --reverse "$work/missing"
    row 2 "" "qorgenerator: Unknown option '--bogus'. See --help." --bogus
    row 2 "" "qorgenerator: one FOLDER at most. See --help." "$work/folder" "$work/folder"
    # Starting from the start values still takes and checks the folder.
    row 2 "" "qorgenerator: $work/missing: No such file or directory" --start-values "$work/missing"
    row 2 "" "qorgenerator: $work/missing: No such file or directory" -n "$work/missing"
    grep -q -- '--start-values' <(cd "$work/cwd" && "$work/bin/qorgenerator" --help) ||
        fail "--help does not list --start-values"
    grep -q -- '--version' <(cd "$work/cwd" && "$work/bin/qorgenerator" --help) || fail "--help does not list --version"

    # Qt gets its own options, and nothing after "--": there "-style=bogus"
    # is the folder, and Qt never hears of the style.
    mkdir -m 777 "$work/dash"
    mkdir -m 777 "$work/dash/-style=bogus"
    local bogus="invalid style override 'bogus'"
    still_runs has "$bogus" -- -style=bogus
    still_runs lacks "$bogus" -- -- -style=bogus
    # Under a file-size limit of 0 bytes, Qt's warning to a file fails
    # instead of ending the program.
    still_runs lacks "$bogus" prlimit --fsize=0 -- -style=bogus
}

# On the test's own display: runs a command that starts the program, finds
# its window, checks that it works in the folder, presses Enter and compares
# the file written there.
#   press <folder> <expected file> <command>...
press() {
    local folder=$1 expected=$2 win pid cwd
    shift 2
    "$@" || { fail "$*"; return; }
    win=$(timeout 60 xdotool search --sync --onlyvisible --name "^description\.ext generator" | head -n 1)
    [[ -n $win ]] || { fail "$*: no window"; return; }
    pid=$(xdotool getwindowpid "$win")
    cwd=$(readlink "/proc/$pid/cwd")
    [[ $cwd == "$folder" ]] || fail "$*: working folder $cwd"
    # Without a window manager nothing gives the window the keyboard; the
    # button has the focus inside it, so Enter presses it. A key that comes
    # before Qt has taken the focus in is lost, so it is pressed until the
    # file is there; a second press writes the same bytes again.
    for _ in $(seq 300); do
        xdotool windowfocus --sync "$win" key Return
        sleep 0.2
        [[ -f $folder/description.ext ]] && break
    done
    cmp "$folder/description.ext" "$expected" || fail "$*: description.ext differs"
    # Gone before the next start, so that its window is not found again.
    kill "$pid"
    wait "$pid" 2>/dev/null
    for _ in $(seq 300); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
}

desktop() {
    local entry expected
    entry=$(realpath "${1:?desktop entry}") expected=$(realpath "${2:?expected file}")
    need Xvfb
    need xdotool
    need gio
    # Xvfb picks a free display itself and names it once it is ready; xvfb-run
    # -a guesses one, and two test runs at once may guess the same.
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
    local xvfb=$!
    trap 'kill '"$xvfb"'; rm -rf "$work"' EXIT
    for _ in $(seq 300); do
        [[ -s $work/display ]] && break
        sleep 0.1
    done
    [[ -s $work/display ]] || { cat "$work/xvfb.log"; fail "Xvfb did not start"; return; }
    export DISPLAY=:$(cat "$work/display")
    unset QT_QPA_PLATFORM WAYLAND_DISPLAY XAUTHORITY
    # Under AddressSanitizer: libxkbcommon-x11, which reads the keymap for
    # Qt's xcb platform, strndup()s a buffer with no NUL after the length it
    # passes. C allows that; ASan's strict_string_checks reports it.
    [[ -z ${ASAN_OPTIONS:-} ]] || export ASAN_OPTIONS=$ASAN_OPTIONS:strict_string_checks=0
    mkdir -m 755 "$work/elsewhere"
    cd "$work/elsewhere" || exit 1
    # A file manager's "Open with": the entry's Exec line finds the program
    # on PATH and hands it the folder.
    local folder="$work/missions/Ambush ü.Island"
    mkdir -p "$folder"
    PATH="$work/bin:$PATH" press "$folder" "$expected" gio launch "$entry" "$folder"
    # From a terminal.
    folder="$work/missions/Convoy at \"night\""
    mkdir -p "$folder"
    press "$folder" "$expected" start_in_background "$work/bin/qorgenerator" "$folder"
    [[ -z $(ls -A "$work/elsewhere") ]] || fail "wrote into the folder it was started from"
}

start_in_background() {
    "$@" &
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
