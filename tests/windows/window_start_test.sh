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

# The form, the same keys for both windows, from the focus on the button and
# only forward and back along the tab order (where the order wraps round, the
# windows have different things: the Windows window's Folder... button):
# tick the first item and count 12 of it; Tab on past every item row and ammo
# box (137 stops) to the intro script and paste it; type the mission script;
# Tab to the last briefing option and tick it; Shift+Tab all the way back
# to the button and press it. The tab order decides where each key lands, so a
# window that walks it differently writes other bytes.
script_text="Überfall ü.sqf"
form() {
    xdotool key --delay 60 Tab space Tab Home shift+End 1 2
    xdotool key --delay 20 --repeat 137 Tab
    xdotool key --delay 60 Home shift+End ctrl+v Tab
    xdotool type --delay 60 "mission.sqf"
    xdotool key --delay 20 --repeat 7 Tab
    xdotool key --delay 60 space
    xdotool key --delay 20 --repeat 147 shift+Tab
    xdotool key --delay 60 Return
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
    # The keys landed where the tab order says: the pasted script arrived
    # whole (in Windows-1252), the typed one, the briefing option.
    while read -r line; do
        iconv -f WINDOWS-1252 -t UTF-8 "$work/wine/description.ext" | tr -d '\r' | grep -qxF "$line" ||
            fail "the typed form's file lacks the line $line"
    done <<EOF_LINES
onloadintro="$script_text"
onLoadMission="mission.sqf"
showRadio=1
EOF_LINES
fi

finish window_start
