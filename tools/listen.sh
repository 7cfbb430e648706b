#!/usr/bin/env bash
# What Orca says about the Qt window: starts a virtual display, a window
# manager, the accessibility bus, Orca and the program in FOLDER (a scratch
# folder if none), types the xdotool keys given, and prints every utterance.
#
#   tools/listen.sh [-C FOLDER] [KEY ...]     e.g. tools/listen.sh Return Tab space
#
# LISTEN_DELAY: seconds between keys (1.5); LISTEN_LOG: where Orca's whole
# debug log goes, for the events behind what was or was not said.
#
# Needs orca, xvfb, openbox, xdotool and dbus (apt-get install orca xvfb
# openbox xdotool dbus-x11); a build in build/. Not run in CI: Orca's speech
# is checked here by ear, the events behind it by the window's tests.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
folder=""
if [[ ${1:-} == -C ]]; then
    folder=$2
    shift 2
fi
if [[ -z ${LISTEN_INSIDE:-} ]]; then
    exec env LISTEN_INSIDE=1 dbus-run-session -- "$0" ${folder:+-C "$folder"} "$@"
fi

work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
export HOME=$work/home DISPLAY=:97 QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
mkdir -p "$HOME"
# Speech goes nowhere: without a sound device Speech Dispatcher waits for
# one, and Orca waits for it. Orca's log keeps each utterance.
export XDG_RUNTIME_DIR=$work/run
mkdir -p "$HOME/.config/speech-dispatcher/modules" "$XDG_RUNTIME_DIR"
printf 'pcm.!default { type null }\n' >"$HOME/.asoundrc"
printf '%s\n' 'AudioOutputMethod "alsa"' 'AddModule "silent" "sd_generic" "silent.conf"' \
    'DefaultModule silent' 'DefaultLanguage "en"' >"$HOME/.config/speech-dispatcher/speechd.conf"
printf '%s\n' 'GenericExecuteSynth "true"' 'AddVoice "en" "MALE1" "silent"' \
    >"$HOME/.config/speech-dispatcher/modules/silent.conf"
folder=${folder:-$work/mission}
mkdir -p "$folder"
Xvfb "$DISPLAY" -screen 0 1280x1024x24 >/dev/null 2>&1 &
sleep 1
openbox >/dev/null 2>&1 &
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
sleep 1
orca --replace --disable braille --disable braille-monitor --debug-file="$work/orca.txt" >/dev/null 2>&1 &
sleep 5 # Orca reads its settings and greets before it listens
(cd "$folder" && exec "$root/build/src/qorgenerator") >/dev/null 2>&1 &
sleep 4
for key in "$@"; do
    xdotool key "$key"
    sleep "${LISTEN_DELAY:-1.5}"
done
sleep 2
cp "$work/orca.txt" "${LISTEN_LOG:-/dev/null}"
sed -n "s/.*SPEECH OUTPUT: '\(.*\)' \?{'established.*/\1/p" "$work/orca.txt"
