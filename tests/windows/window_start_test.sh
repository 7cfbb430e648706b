#!/usr/bin/env bash
# The Win32 program under Wine, started and typed into as a user does, on an
# X display with a window manager:
#
#   window_start_test.sh <qorgenerator.exe> <start state's file> <Linux qorgenerator>
#
# - started on a folder, Return writes the start state's file there, byte for
#   byte;
# - the same form typed through X events into the Windows window and into the
#   Linux window writes the same bytes. Non-ASCII text goes through the
#   clipboard: xdotool's typing garbles it under Wine.
set -uo pipefail

exe=$(realpath "${1:?qorgenerator.exe}")
expected=$(realpath "${2:?start state file}")
linux=$(realpath "${3:?Linux qorgenerator}")

source "$(dirname "$0")/../checks.sh"
source "$(dirname "$0")/session.sh"
need xclip
[[ -x $linux ]] || { fail "no Linux program at $linux: build it first"; finish window_start; }
wine_session

# Both read their arguments as UTF-8. (Wine would take another ANSI code page
# from a locale's name, but converts the arguments through the C library's
# locale, which need not be generated; C.UTF-8 always is.)
wine_window() {
    LC_ALL=C.UTF-8 wine64 "$exe" "$(windows_path "$1")" >>"$work/wine.log" 2>&1 &
}
linux_window() {
    LC_ALL=C.UTF-8 QT_QPA_PLATFORM=xcb "$linux" "$1" >>"$work/linux.log" 2>&1 &
}

# open <folder> <wine_window|linux_window>: starts the window on the folder
# and waits until it is shown and active; sets $win and $pid.
open() {
    "$2" "$1"
    pid=$!
    win=$(timeout 60 xdotool search --sync --onlyvisible --name '^description\.ext generator' | head -n 1)
    [[ -n $win ]] || return 1
    xdotool windowactivate --sync "$win"
}

close() {
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    # Gone, so that the next search does not find it.
    for _ in $(seq 100); do
        xdotool search --onlyvisible --name '^description\.ext generator' >/dev/null || break
        sleep 0.1
    done
}

# wait_for <file>: true once the window has written it (30 s at most).
wait_for() {
    for _ in $(seq 300); do
        [[ -s $1 ]] && return 0
        sleep 0.1
    done
    return 1
}

# Started on a folder whose name is not ASCII: the focus is on
# G E N E R A T E, so Return presses it. A key that comes before the window
# has taken the keyboard is lost, so Return is pressed until the file is
# there; a second press writes the same bytes again.
folder="$work/missions/Ambush ü.Island"
mkdir -p "$folder"
if open "$folder" wine_window; then
    for _ in $(seq 60); do
        xdotool key --window "$win" Return
        wait_for "$folder/description.ext" && break
    done
    cmp "$folder/description.ext" "$expected" || fail "Return in the started window: not the start state's file"
    close
else
    fail "no window for qorgenerator.exe on a folder"
fi

# The form, the same keys for both windows, from the focus on the button:
# tick the first item and count 12 of it, back to the button, untick the last
# briefing option, type the mission script, paste the intro script, Tab round
# to the button and press it. The tab order decides where each key lands, so
# a window that walks it differently writes other bytes.
script_text="Überfall ü.sqf"
form() {
    xdotool key --delay 80 Tab space Tab Home shift+End 1 2 shift+Tab shift+Tab shift+Tab space \
        shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab
    xdotool type --delay 80 "mission.sqf"
    xdotool key --delay 80 shift+Tab Home shift+End ctrl+v
    xdotool key --delay 80 Tab Tab Tab Tab Tab Tab Tab Tab Tab Return
}
printf "%s" "$script_text" | xclip -selection clipboard 2>/dev/null
for side in linux wine; do
    folder="$work/$side"
    mkdir -p "$folder"
    if ! open "$folder" ${side}_window; then
        fail "$side: no window"
        continue
    fi
    # The window has the keyboard only once it has drawn itself and taken
    # the focus in; give it that time, as a person's first key would.
    sleep 2
    form
    wait_for "$folder/description.ext" || fail "$side: the typed form wrote nothing"
    close
done
if [[ -f $work/linux/description.ext && -f $work/wine/description.ext ]]; then
    cmp "$work/linux/description.ext" "$work/wine/description.ext" ||
        fail "the same typed form: the Windows window wrote other bytes than the Linux window"
    # What was pasted arrived whole, in Windows-1252.
    grep -q "$(printf 'onloadintro="\xdcberfall \xfc.sqf"')" "$work/wine/description.ext" ||
        fail "the pasted intro script is not in the file: $(grep onloadintro "$work/wine/description.ext")"
fi

finish window_start
