# What the Wine tests with a window share: a Wine prefix and an X display of
# their own, with a window manager (without one Wine does not activate new
# windows: keys arrive late and message boxes cannot be dismissed). Sourced
# after checks.sh; `wine_session` sets WINEPREFIX, DISPLAY and $users (the
# prefix's folder of the user's profile) and ends it all when the test exits.
#
# The prefix is a copy of $WINEPREFIX when that names a ready one (tools/test.sh
# makes one for the whole stage), otherwise a new one (about 12 s). Each test
# has its own so that its wineserver, clipboard and desktop belong to its own
# display.
wine_session() {
    need Xvfb
    need openbox
    need xdotool
    # winemenubuilder would copy Start-menu entries into this machine's own
    # menus (under $HOME), outside the prefix.
    export PATH="/usr/lib/wine:$PATH" WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
    need wine64
    local template=${WINEPREFIX:-}
    export WINEPREFIX=$work/prefix
    if [[ -n $template && -f $template/system.reg ]]; then
        cp -a "$template" "$WINEPREFIX"
        # The stage may have given its prefix the null display driver.
        wine64 reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d x11 /f >"$work/wineboot.log" 2>&1
    else
        env -u DISPLAY wine64 wineboot -i >"$work/wineboot.log" 2>&1 || {
            cat "$work/wineboot.log"
            fail "wineboot failed"
            exit 1
        }
    fi
    users=$(echo "$WINEPREFIX"/drive_c/users/*/AppData/..)
    users=$(cd "$users" && pwd)

    # Xvfb picks a free display itself and names it once it is ready.
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
    xvfb_pid=$!
    trap 'wine_session_end' EXIT
    for _ in $(seq 300); do
        [[ -s $work/display ]] && break
        sleep 0.1
    done
    [[ -s $work/display ]] || { cat "$work/xvfb.log"; fail "Xvfb did not start"; exit 1; }
    export DISPLAY=:$(cat "$work/display")
    unset XAUTHORITY WAYLAND_DISPLAY
    openbox --sm-disable >"$work/openbox.log" 2>&1 &
    openbox_pid=$!
    # Wine's output goes to a file: its background processes keep inherited
    # pipes open, and ctest would wait for them.
    wineserver -p >"$work/wine.log" 2>&1
}

wine_session_end() {
    wineserver -k >/dev/null 2>&1
    kill "$openbox_pid" "$xvfb_pid" 2>/dev/null
    wait "$openbox_pid" "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}

# The Windows path of a file or folder: on drive C: inside the prefix, on
# Wine's drive Z: (the whole Linux file system) elsewhere.
windows_path() {
    local path=$1 drive=Z:
    if [[ $path == "$WINEPREFIX/drive_c/"* ]]; then
        path=${path#"$WINEPREFIX/drive_c"} drive=C:
    fi
    echo "$drive${path//\//\\}"
}
