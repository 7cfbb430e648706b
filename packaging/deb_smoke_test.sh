#!/usr/bin/env bash
# Installs a built .deb into this machine, starts the installed program on
# Qt's offscreen platform for a second, and removes the package again.
#
#   deb_smoke_test.sh <package.deb>
#
# Needs root and dpkg; skipped otherwise, and skipped when a package of the
# same name is already installed, so that a user's copy is never replaced.
set -euo pipefail
deb=${1:?path to the .deb}
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
for f in /usr/bin/qorgenerator /usr/share/applications/org.example.qorgenerator.desktop \
    /usr/share/icons/hicolor/scalable/apps/org.example.qorgenerator.svg; do
    grep -qx "$f" <<<"$installed" || { echo "FAIL: $f not installed"; exit 1; }
done

# Still running after a second means it started and is waiting for input;
# timeout then ends it with status 124.
status=0
(cd "$run" && QT_QPA_PLATFORM=offscreen timeout 1 /usr/bin/qorgenerator) || status=$?
if [[ $status -ne 124 ]]; then
    echo "FAIL: the installed program exited with status $status within a second"
    exit 1
fi
[[ -z $(ls -A "$run") ]] || { echo "FAIL: starting wrote files: $(ls -A "$run")"; exit 1; }

dpkg -r "$name"
! dpkg-query -W -f='${Status}' "$name" 2>/dev/null | grep -q "install ok installed" ||
    { echo "FAIL: $name still installed after removal"; exit 1; }
echo "installed, started and removed $name"
