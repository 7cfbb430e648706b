#!/bin/sh
# Runs a command on an X display of its own, in a D-Bus session of its own
# with the accessibility bus up, where Qt's AT-SPI bridge is active and the
# window's accessibility events flow as they do to a screen reader.
#
#   with-atspi.sh command [arguments...]
set -eu
launcher=/usr/libexec/at-spi-bus-launcher
[ -x "$launcher" ] || launcher=/usr/lib/at-spi2-core/at-spi-bus-launcher
exec dbus-run-session -- sh -c '
    "$0" --launch-immediately &
    bus=$!
    sleep 1
    status=0
    xvfb-run -a -s "-screen 0 1280x1024x24" env QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$@" || status=$?
    kill "$bus" 2>/dev/null || true
    exit "$status"' "$launcher" "$@"
