#!/usr/bin/env bash
# Installs a built .deb into this machine, starts the installed program on a
# folder through its installed desktop entry (`gio launch`, Qt's offscreen
# platform), checks that it works in that folder, and removes the package.
#
#   deb_smoke_test.sh <package.deb> <application id>
#
# Needs root and dpkg; skipped otherwise, and skipped when a package of the
# same name is already installed, so that a user's copy is never replaced.
set -euo pipefail
deb=${1:?path to the .deb}
app_id=${2:?application id}
name=$(dpkg-deb -f "$deb" Package)

if [[ $(id -u) -ne 0 ]] || ! command -v dpkg >/dev/null; then
    echo "skipped: installing the package needs root and dpkg"
    exit 0
fi
if dpkg-query -W -f='${Status}' "$name" 2>/dev/null | grep -q "install ok installed"; then
    echo "skipped: $name is already installed on this machine"
    exit 0
fi

run=$(mktemp -d)
cleanup() {
    dpkg -r "$name" >/dev/null 2>&1 || true
    rm -rf "$run"
}
trap cleanup EXIT

dpkg -i "$deb"
installed=$(dpkg -L "$name")
entry=/usr/share/applications/$app_id.desktop
for f in /usr/bin/qorgenerator "$entry" \
    /usr/share/icons/hicolor/scalable/apps/$app_id.svg \
    /usr/share/icons/hicolor/48x48/apps/$app_id.png \
    /usr/share/metainfo/$app_id.metainfo.xml /usr/share/man/man1/qorgenerator.1.gz \
    /usr/share/doc/qorgenerator/copyright /usr/share/doc/qorgenerator/changelog.Debian.gz; do
    grep -qx "$f" <<<"$installed" || { echo "FAIL: $f not installed"; exit 1; }
done

[[ $(man -w qorgenerator) == /usr/share/man/man1/qorgenerator.1.gz ]] || { echo "FAIL: man finds no page"; exit 1; }
/usr/bin/qorgenerator --version

# gio returns once it has started the program; it is found by the folder it
# works in, and must still be running there (waiting for input).
folder="$run/mission folder"
mkdir "$folder"
(cd "$run" && QT_QPA_PLATFORM=offscreen gio launch "$entry" "$folder")
pid=
for _ in $(seq 100); do
    for proc in /proc/[0-9]*; do
        if [[ $(readlink "$proc/exe" 2>/dev/null) == /usr/bin/qorgenerator &&
            $(readlink "$proc/cwd" 2>/dev/null) == "$folder" ]]; then
            pid=${proc#/proc/}
        fi
    done
    [[ -z $pid ]] || break
    sleep 0.1
done
[[ -n $pid ]] || { echo "FAIL: the program from the desktop entry is not running in $folder"; exit 1; }
kill "$pid"
[[ -z $(ls -A "$folder") ]] || { echo "FAIL: starting wrote files: $(ls -A "$folder")"; exit 1; }

dpkg -r "$name"
! dpkg-query -W -f='${Status}' "$name" 2>/dev/null | grep -q "install ok installed" ||
    { echo "FAIL: $name still installed after removal"; exit 1; }
echo "installed, started and removed $name"
