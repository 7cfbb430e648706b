#!/usr/bin/env bash
# Remakes docs/screenshot-windows.png: the Win32 window under Wine, at its
# start state, on an X display with a window manager, the client area only
# (as docs/screenshot.png shows the Linux window). Optionally at another dpi,
# and with apps in dark mode.
#
#   tools/screenshot-windows.sh [qorgenerator.exe (default build-win's)] [picture] [dpi (96)] [dark]
#   tools/screenshot-windows.sh all    # the four pictures in docs/
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if [[ ${1:-} == all ]]; then
    exe=$root/build-win/src/qorgenerator.exe
    for shot in "96 light" "96 dark" "144 light" "144 dark"; do
        read -r dpi scheme <<<"$shot"
        name=screenshot-windows
        [[ $dpi == 96 ]] || name+=-$dpi
        [[ $scheme == light ]] || name+=-dark
        "$0" "$exe" "$root/docs/$name.png" "$dpi" "$scheme" || exit 1
    done
    exit 0
fi
exe=$(realpath "${1:-$root/build-win/src/qorgenerator.exe}")
picture=$(realpath "${2:-$root/docs/screenshot-windows.png}")
dpi=${3:-96}
scheme=${4:-light}
[[ -f $exe ]] || { echo "build it first: cmake --build $root/build-win --target qorgenerator"; exit 1; }

source "$root/tests/checks.sh"
source "$root/tests/windows/session.sh"
need import
wine_session
wine64 reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >>"$work/wine.log" 2>&1
if [[ $scheme == dark ]]; then
    wine64 reg add 'HKCU\Software\Microsoft\Windows\CurrentVersion\Themes\Personalize' /v AppsUseLightTheme \
        /t REG_DWORD /d 0 /f >>"$work/wine.log" 2>&1
fi
wineserver -w
# A mission folder on drive C:, so the status line reads as it would on
# Windows. (The prefix's Documents is this machine's home folder.)
folder="$WINEPREFIX/drive_c/Missions/Ambush.Island"
mkdir -p "$folder"
wine64 "$exe" "$(windows_path "$folder")" >>"$work/wine.log" 2>&1 &
win=$(timeout 60 xdotool search --sync --onlyvisible --name '^description\.ext generator' | head -n 1)
[[ -n $win ]] || { cat "$work/wine.log"; echo "no window"; exit 1; }
xdotool windowactivate --sync "$win" mousemove 0 0 2>/dev/null
# Its first frame and the focus on the button drawn.
sleep 2
import -window "$win" "$picture" || exit 1
echo "wrote $picture ($(identify -format '%wx%h' "$picture"))"
