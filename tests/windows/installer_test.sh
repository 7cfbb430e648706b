#!/usr/bin/env bash
# The Windows installer under Wine, as a user runs it silently:
#
#   installer_test.sh <installer.exe> <first line of --version>
#
# installs with /S, checks the files, the Start-menu entry, Explorer's two
# "Open with" entries and the uninstall entry, runs the installed program,
# installs again over a copy that is running, uninstalls with /S while the
# program runs (stopped, holding values not yet written, then answering) and
# checks that every file and registry key is as it was before the install;
# then installs again and uninstalls as a user clicks through it. Neither
# uninstall may leave anything in the temporary folders.
set -uo pipefail

installer=$(realpath "${1:?installer}")
version=${2:?first line of --version}

source "$(dirname "$0")/../checks.sh"
source "$(dirname "$0")/session.sh"
wine_session

program_dir=$users/AppData/Local/Programs/qorgenerator
shortcut="$users/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/description.ext generator.lnk"
exe=$(windows_path "$program_dir")\\qorgenerator.exe

# The user's profile and HKEY_CURRENT_USER, to compare with after the
# uninstall. The temporary folders are listed apart: the program and Wine
# may leave their own things there while the uninstaller runs.
snapshot() {
    (cd "$users" && find . \( -path ./Temp -o -path ./AppData/Local/Temp \) -prune -o -print | sort) >"$work/$1.files"
    wine64 reg export HKCU "$(windows_path "$work/$1.reg")" /y >>"$work/wine.log" 2>&1
    # One line per key and per value, under the key's name. Wine's own
    # settings (Software\Wine) change as Wine runs, and the times it stamps
    # on keys do not matter. The console's settings (Console) Windows has
    # from the start; Wine writes them when it first opens a console, as for
    # the command interpreter that removes uninstall.exe.
    iconv -f UTF-16LE -t UTF-8 "$work/$1.reg" | tr -d '\r' | awk '
        /^\[/ { key = $0; if (key !~ skip) print key; next }
        /^#time=/ || /^$/ { next }
        key !~ skip { print key " " $0 }' skip='^\\[HKEY_CURRENT_USER\\\\(Software\\\\Wine|Console)[]\\\\]' >"$work/$1.keys"
}

# The data of one value (the default value for "") as reg query prints it.
value() {
    local key=$1 name=$2 line
    if [[ -z $name ]]; then
        line=$(wine64 reg query "HKCU\\$key" /ve 2>>"$work/wine.log" | tr -d '\r' | grep -m1 'REG_')
    else
        line=$(wine64 reg query "HKCU\\$key" /v "$name" 2>>"$work/wine.log" | tr -d '\r' | grep -m1 'REG_')
    fi
    # "    <name>    REG_SZ    <data>"
    sed -E 's/^ *.*REG_[A-Z_]+ {4}//' <<<"$line"
}

# The prefix is a copy of the stage's, where the window tests may have run the
# program and left its recently used folders; the uninstaller removes those by
# design, so the comparison starts without them.
wine64 reg delete 'HKCU\Software\qorgenerator' /f >>"$work/wine.log" 2>&1 || true
snapshot before
# What the uninstaller itself may leave in the temporary folders: nothing.
temporaries() {
    (cd "$users" && find Temp AppData/Local/Temp -mindepth 1 -iname '~ns*' 2>/dev/null | sort)
}
wine64 "$installer" /S >>"$work/wine.log" 2>&1 || fail "installer /S exited with $?"

for file in qorgenerator.exe LICENSE.txt README.txt uninstall.exe; do
    [[ -f $program_dir/$file ]] || fail "not installed: $file"
done
[[ -f $shortcut ]] || fail "no Start-menu entry"

folder_verb='Software\Classes\Directory\shell\qorgenerator'
background_verb='Software\Classes\Directory\Background\shell\qorgenerator'
uninstall_key='Software\Microsoft\Windows\CurrentVersion\Uninstall\qorgenerator'
# key | value name ("" for the default) | data
while IFS='|' read -r key name data; do
    got=$(value "$key" "$name")
    [[ $got == "$data" ]] || fail "HKCU\\$key [$name]: '$got', expected '$data'"
done <<EOF_VALUES
$folder_verb||Open with description.ext generator
$folder_verb\\command||"$exe" "%1"
$background_verb||Open with description.ext generator
$background_verb\\command||"$exe" "%V"
$uninstall_key|DisplayName|description.ext generator
$uninstall_key|UninstallString|"$(windows_path "$program_dir")\\uninstall.exe"
$uninstall_key|InstallLocation|$(windows_path "$program_dir")
EOF_VALUES

# The program runs where the installer put it.
got=$(wine64 "$program_dir/qorgenerator.exe" --version 2>>"$work/wine.log" | tr -d '\r' | head -n 1)
[[ $got == "$version" ]] || fail "installed program --version: '$got'"

# A running copy holds its file: the installer and the uninstaller close it
# first, and neither reports success while it is still there.
missions=$WINEPREFIX/drive_c/Missions
mkdir -p "$missions"
start_program() {
    wine64 "$program_dir/qorgenerator.exe" "$(windows_path "$missions")" >>"$work/wine.log" 2>&1 &
    program_pid=$!
    timeout 60 xdotool search --sync --onlyvisible --name '^description\.ext generator' >/dev/null ||
        fail "the installed program shows no window"
}
program_ended() {
    timeout 30 tail --pid="$program_pid" -f /dev/null || fail "$1 left the program running"
}
# Ends the running copy as the system would, and waits until its windows
# are gone, so that the next start_program finds the next copy's.
stop_program() {
    kill "$program_pid"
    wait "$program_pid" 2>/dev/null
    for _ in $(seq 100); do
        xdotool search --onlyvisible --name '^description\.ext generator' >/dev/null || break
        sleep 0.1
    done
}
start_program
wine64 "$installer" /S >>"$work/wine.log" 2>&1 || fail "installer /S over a running copy exited with $?"
program_ended "the installer"
[[ -f $program_dir/qorgenerator.exe ]] || fail "installing over a running copy lost the program"
start_program
# A copy that does not answer (stopped here) stays, and so does everything:
# the uninstaller waits for it and fails.
kill -STOP "$program_pid"
wine64 "$program_dir/uninstall.exe" /S >>"$work/wine.log" 2>&1 &&
    fail "uninstall.exe /S reported success while the program ran"
[[ -f $program_dir/qorgenerator.exe ]] || fail "the uninstall removed the program file of a running copy"
[[ -n $(value "$uninstall_key" DisplayName) ]] || fail "the failed uninstall removed the uninstall entry"
kill -CONT "$program_pid"
stop_program

# A copy holding values not yet written asks before it closes, where a silent
# uninstall's user may never see it: the uninstaller does not report success
# while the question waits, and removes nothing.
start_program
win=$(xdotool search --onlyvisible --name '^description\.ext generator' | head -n 1)
xdotool windowactivate --sync "$win" key --delay 100 Tab space # ticks the first item
wine64 "$program_dir/uninstall.exe" /S >>"$work/wine.log" 2>&1 &&
    fail "uninstall.exe /S reported success while the program asked about values not yet written"
xdotool search --onlyvisible --name '^description\.ext generator$' >/dev/null ||
    fail "the program did not ask about its values not yet written"
[[ -f $program_dir/qorgenerator.exe ]] || fail "the uninstall removed the program file while the program asked"
[[ -n $(value "$uninstall_key" DisplayName) ]] || fail "the failed uninstall removed the uninstall entry"
stop_program
start_program

# The program keeps the folders it worked in under HKCU\Software\qorgenerator;
# they go with it.
wine64 reg add 'HKCU\Software\qorgenerator' /v RecentFolders /t REG_MULTI_SZ /d 'C:\missions' /f >>"$work/wine.log" 2>&1
wine64 "$program_dir/uninstall.exe" /S >>"$work/wine.log" 2>&1 || fail "uninstall.exe /S exited with $?"
program_ended "the uninstaller"
# uninstall.exe itself, and the folder it is in, go a moment after it ends.
uninstalled() {
    for _ in $(seq 120); do
        snapshot after
        cmp -s "$work/before.files" "$work/after.files" && break
        sleep 0.5
    done
    diff "$work/before.files" "$work/after.files" || fail "$1 left files other than before the install"
    diff "$work/before.keys" "$work/after.keys" || fail "$1 left registry keys other than before the install"
    [[ -z $(temporaries) ]] || fail "$1 left in the temporary folders: $(temporaries)"
}
uninstalled "the silent uninstall"

# As a user clicks through it: Return on the confirmation page, Return on the
# last page; it ends once its window closes.
wine64 "$installer" /S >>"$work/wine.log" 2>&1 || fail "installer /S exited with $?"
wine64 "$program_dir/uninstall.exe" >>"$work/wine.log" 2>&1 &
uninstaller_pid=$!
for _ in 1 2; do
    sleep 2
    page=$(timeout 60 xdotool search --sync --onlyvisible --name ' Uninstall' | head -n 1)
    [[ -n $page ]] || fail "the uninstaller shows no page"
    xdotool windowactivate --sync "$page" key Return
done
timeout 60 tail --pid="$uninstaller_pid" -f /dev/null || fail "the uninstaller did not end after its last page"
wait "$uninstaller_pid" || fail "uninstall.exe exited with $?"
uninstalled "the uninstall clicked through"

finish installer
