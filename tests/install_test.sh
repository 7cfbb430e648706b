#!/usr/bin/env bash
# Checks what the build installs and packages.
#
#   install_test.sh install <build dir>  stage `cmake --install` under a temp
#       DESTDIR and check the program, desktop entry and icon in place
#   install_test.sh deb <build dir>      build the .deb with CPack and check
#       its control fields and contents
#
# Exits 77 (skipped) where a tool it needs is missing.
set -uo pipefail

mode=${1:?mode: install or deb}
build=${2:?build directory}
app_id=org.example.qorgenerator
prefix=/usr

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
need() {
    command -v "$1" >/dev/null || { echo "SKIP: $1 not installed"; exit 77; }
}

# The icon must parse as XML whose root is an SVG element.
check_svg() {
    local svg=$1
    if command -v xmllint >/dev/null; then
        xmllint --noout "$svg" || { fail "$svg is not well-formed XML"; return; }
        [[ $(xmllint --xpath 'local-name(/*)' "$svg") == svg ]] || fail "$svg: root element is not <svg>"
        [[ $(xmllint --xpath 'namespace-uri(/*)' "$svg") == http://www.w3.org/2000/svg ]] ||
            fail "$svg: root is not in the SVG namespace"
    else
        python3 - "$svg" <<'PY' || fail "$svg is not a valid SVG document"
import sys, xml.etree.ElementTree as ET
root = ET.parse(sys.argv[1]).getroot()
sys.exit(0 if root.tag == "{http://www.w3.org/2000/svg}svg" else 1)
PY
    fi
}

# Keys of the desktop entry that must point at the installed files.
check_entry_points_at_files() {
    local entry=$1 root=$2
    local exec icon
    exec=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")
    icon=$(sed -n 's/^Icon=//p' "$entry")
    [[ -x $root$prefix/bin/$exec ]] || fail "Exec=$exec is not an installed program"
    [[ $icon == "$app_id" ]] || fail "Icon=$icon, expected $app_id"
    [[ -f $root$prefix/share/icons/hicolor/scalable/apps/$icon.svg ]] || fail "no icon file for Icon=$icon"
}

case $mode in
install)
    need desktop-file-validate
    stage=$work/stage
    DESTDIR=$stage cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 ||
        { cat "$work/install.log"; fail "cmake --install failed"; exit 1; }
    bin=$stage$prefix/bin/qorgenerator
    entry=$stage$prefix/share/applications/$app_id.desktop
    icon=$stage$prefix/share/icons/hicolor/scalable/apps/$app_id.svg
    [[ -f $bin && -x $bin ]] || fail "$bin missing or not executable"
    if command -v file >/dev/null; then
        file -b "$bin" | grep -q '^ELF' || fail "$bin is not an ELF executable"
    fi
    [[ -f $entry ]] || fail "$entry missing"
    [[ -f $icon ]] || fail "$icon missing"
    if [[ -f $entry ]]; then
        out=$(desktop-file-validate "$entry" 2>&1) || fail "desktop-file-validate: $out"
        [[ -z $out ]] || echo "desktop-file-validate: $out"
        check_entry_points_at_files "$entry" "$stage"
    fi
    [[ -f $icon ]] && check_svg "$icon"
    # Nothing outside bin/ and share/, nothing else in them than these three.
    unexpected=$(cd "$stage" && find . -type f | grep -v -x -e ".$prefix/bin/qorgenerator" \
        -e ".$prefix/share/applications/$app_id.desktop" \
        -e ".$prefix/share/icons/hicolor/scalable/apps/$app_id.svg")
    [[ -z $unexpected ]] || fail "unexpected installed files: $unexpected"
    ;;
deb)
    need dpkg-deb
    need dpkg-shlibdeps
    cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/out" >"$work/cpack.log" 2>&1 ||
        { cat "$work/cpack.log"; fail "cpack failed"; exit 1; }
    debs=("$work"/out/*.deb)
    [[ ${#debs[@]} -eq 1 && -f ${debs[0]} ]] || { fail "expected one .deb, found: ${debs[*]}"; exit 1; }
    deb=${debs[0]}
    dpkg-deb -I "$deb"
    [[ $(dpkg-deb -f "$deb" Package) == qorgenerator ]] || fail "package name"
    depends=$(dpkg-deb -f "$deb" Depends)
    # Computed from the binary: the Qt libraries it links and the C++ runtime.
    for lib in libqt6widgets6 libqt6gui6 libqt6core6 libstdc++6 libc6; do
        grep -q "\b$lib (>=" <<<"$depends" || fail "Depends lacks a versioned $lib: $depends"
    done
    listing=$(dpkg-deb -c "$deb")
    echo "$listing"
    grep -q '^-rwxr-xr-x .* \./usr/bin/qorgenerator$' <<<"$listing" || fail "no executable usr/bin/qorgenerator"
    grep -q " \./usr/share/applications/$app_id\.desktop$" <<<"$listing" || fail "no desktop entry"
    grep -q " \./usr/share/icons/hicolor/scalable/apps/$app_id\.svg$" <<<"$listing" || fail "no icon"
    # The packaged entry and icon are the valid ones, not stale copies.
    dpkg-deb -x "$deb" "$work/root"
    if command -v desktop-file-validate >/dev/null; then
        desktop-file-validate "$work/root$prefix/share/applications/$app_id.desktop" ||
            fail "packaged desktop entry is invalid"
    fi
    check_entry_points_at_files "$work/root$prefix/share/applications/$app_id.desktop" "$work/root"
    check_svg "$work/root$prefix/share/icons/hicolor/scalable/apps/$app_id.svg"
    ;;
*)
    echo "unknown mode $mode"
    exit 2
    ;;
esac

if ((failures)); then
    echo "$failures check(s) failed"
    exit 1
fi
echo "all $mode checks passed"
