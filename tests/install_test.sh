#!/usr/bin/env bash
# Checks what the build installs and packages.
#
#   install_test.sh install <build dir> <version> <app id>  stage `cmake --install`
#       under a temp DESTDIR and check every installed file
#   install_test.sh deb <build dir> <version> <app id>  build the .deb with CPack
#       and check its control fields and contents
#   install_test.sh lintian <build dir> <version> <app id>  the .deb has no lintian
#       error or warning at its default level
#   install_test.sh appstream|desktop|manpage <build dir> <version> <app id>
#       the metainfo, desktop entry and manual page the build generated pass
#       their validators
#
# Exits 77 (skipped) where a tool it needs is missing.
set -uo pipefail

mode=${1:?mode: install, deb, lintian, appstream, desktop or manpage}
build=${2:?build directory}
version=${3:?version}
app_id=${4:?application id}
prefix=/usr
generated=$build/packaging

source "$(dirname "$0")/checks.sh"

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

# Every file an install puts in place, relative to the prefix.
installed_files() {
    echo bin/qorgenerator
    echo share/applications/$app_id.desktop
    echo share/metainfo/$app_id.metainfo.xml
    echo share/icons/hicolor/scalable/apps/$app_id.svg
    for size in 16 32 48 64 128 256; do
        echo share/icons/hicolor/${size}x$size/apps/$app_id.png
    done
    echo share/man/man1/qorgenerator.1.gz
    echo share/doc/qorgenerator/copyright
    echo share/doc/qorgenerator/changelog.Debian.gz
    echo share/lintian/overrides/qorgenerator
}

# The release named by the changelog and the metainfo is the one being built.
check_versions() {
    local root=$1 top release
    top=$(zcat "$root$prefix/share/doc/qorgenerator/changelog.Debian.gz" | sed -n '1s/^qorgenerator (\([^)-]*\)-[0-9]*).*/\1/p')
    [[ $top == "$version" ]] || fail "newest changelog entry is for '$top', the build is $version"
    release=$(grep -o -m1 '<release version="[^"]*"' "$root$prefix/share/metainfo/$app_id.metainfo.xml")
    [[ $release == "<release version=\"$version\"" ]] || fail "newest metainfo release is $release, the build is $version"
}

# Each PNG icon is the size its folder says.
check_png_sizes() {
    local root=$1 size
    for size in 16 32 48 64 128 256; do
        file -b "$root$prefix/share/icons/hicolor/${size}x$size/apps/$app_id.png" |
            grep -q "^PNG image data, $size x $size," || fail "the ${size}x$size icon is not a $size px PNG"
    done
}

# Builds the .deb into $work/out and sets deb to its path.
build_deb() {
    cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/out" >"$work/cpack.log" 2>&1 ||
        { cat "$work/cpack.log"; fail "cpack failed"; exit 1; }
    debs=("$work"/out/*.deb)
    [[ ${#debs[@]} -eq 1 && -f ${debs[0]} ]] || { fail "expected one .deb, found: ${debs[*]}"; exit 1; }
    deb=${debs[0]}
}

case $mode in
install)
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
    [[ -f $entry ]] && check_entry_points_at_files "$entry" "$stage"
    [[ -f $icon ]] && check_svg "$icon"
    # Exactly the expected files, nothing else.
    diff <(installed_files | sort) <(cd "$stage$prefix" && find . -type f | sed 's|^\./||' | sort) ||
        fail "installed files differ from the expected list (< missing, > unexpected)"
    check_versions "$stage"
    check_png_sizes "$stage"
    ;;
deb)
    need dpkg-deb
    need dpkg-shlibdeps
    build_deb
    dpkg-deb -I "$deb"
    [[ $(dpkg-deb -f "$deb" Package) == qorgenerator ]] || fail "package name"
    [[ $(dpkg-deb -f "$deb" Version) == "$version-1" ]] || fail "package version $(dpkg-deb -f "$deb" Version)"
    [[ $(dpkg-deb -f "$deb" Section) == utils ]] || fail "section $(dpkg-deb -f "$deb" Section)"
    depends=$(dpkg-deb -f "$deb" Depends)
    # Computed from the binary: the Qt libraries it links and the C++ runtime.
    for lib in libqt6widgets6 libqt6gui6 libqt6core6 libstdc++6 libc6; do
        grep -q "\b$lib (>=" <<<"$depends" || fail "Depends lacks a versioned $lib: $depends"
    done
    listing=$(dpkg-deb -c "$deb")
    echo "$listing"
    grep -q '^-rwxr-xr-x .* \./usr/bin/qorgenerator$' <<<"$listing" || fail "no executable usr/bin/qorgenerator"
    diff <(installed_files | sed "s|^|.$prefix/|" | sort) <(grep '^-' <<<"$listing" | awk '{print $6}' | sort) ||
        fail "packaged files differ from the expected list (< missing, > unexpected)"
    # The packaged entry and icon are the valid ones, not stale copies.
    dpkg-deb -x "$deb" "$work/root"
    if command -v desktop-file-validate >/dev/null; then
        desktop-file-validate "$work/root$prefix/share/applications/$app_id.desktop" ||
            fail "packaged desktop entry is invalid"
    fi
    check_entry_points_at_files "$work/root$prefix/share/applications/$app_id.desktop" "$work/root"
    check_svg "$work/root$prefix/share/icons/hicolor/scalable/apps/$app_id.svg"
    check_versions "$work/root"
    ;;
lintian)
    need lintian
    build_deb
    # Tags at lintian's default level: errors and warnings only.
    tags=$(lintian --fail-on none "$deb" 2>/dev/null | grep -E '^[EW]: ')
    [[ -z $tags ]] || fail "lintian: $tags"
    ;;
appstream)
    need appstreamcli
    appstreamcli validate --no-net "$generated/$app_id.metainfo.xml" || fail "appstreamcli validate"
    ;;
desktop)
    need desktop-file-validate
    out=$(desktop-file-validate "$generated/$app_id.desktop" 2>&1)
    [[ $? -eq 0 && -z $out ]] || fail "desktop-file-validate: $out"
    ;;
manpage)
    need man
    # groff reports what it cannot typeset on standard error.
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$generated/qorgenerator.1" 2>&1 >/dev/null)
    [[ -z $warnings ]] || fail "man --warnings: $warnings"
    ;;
*)
    echo "unknown mode $mode"
    exit 2
    ;;
esac

finish "$mode"
