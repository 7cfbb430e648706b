#!/usr/bin/env bash
# What a Windows user downloads, checked without running it:
#
#   package_test.sh <qorgenerator.exe> <zip> <version>
#
# the program's resources (manifest, icon sizes, version information), that it
# imports only Windows' own DLLs (the MinGW runtime linked in), and the zip's
# files.
set -uo pipefail

exe=$(realpath "${1:?qorgenerator.exe}")
zip=$(realpath "${2:?zip}")
version=${3:?version}

source "$(dirname "$0")/../checks.sh"
need wrestool
need icotool
need xmllint
need unzip

# The manifest: well-formed (Windows refuses to start a program whose manifest
# is not), and asking for each thing the window relies on.
wrestool -x --raw --type=24 "$exe" >"$work/manifest.xml"
xmllint --noout "$work/manifest.xml" || fail "the manifest is not well-formed XML"
while read -r fragment; do
    grep -qF "$fragment" "$work/manifest.xml" || fail "manifest lacks $fragment"
done <<'EOF_MANIFEST'
name="Microsoft.Windows.Common-Controls" version="6.0.0.0"
<requestedExecutionLevel level="asInvoker"
<supportedOS Id="{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"/>
>PerMonitorV2, PerMonitor</dpiAwareness>
>true/pm</dpiAware>
EOF_MANIFEST

# The icon Explorer shows: one group, every size from 16 to 256 px.
wrestool -x --type=14 "$exe" -o "$work/icon.ico" 2>/dev/null
sizes=$(icotool -l "$work/icon.ico" 2>/dev/null | sed -E 's/.*--width=([0-9]+).*/\1/' | sort -n | tr '\n' ' ')
[[ $sizes == "16 24 32 48 64 128 256 " ]] || fail "icon sizes: $sizes"

# The version information, as Explorer's Properties show it.
wrestool -x --raw --type=16 "$exe" | strings -el >"$work/version.txt"
while read -r name value; do
    grep -A1 -x "$name" "$work/version.txt" | tail -n 1 | grep -qxF "$value" ||
        fail "version information: $name is not $value"
done <<EOF_VERSION
FileVersion $version
ProductVersion $version
OriginalFilename qorgenerator.exe
FileDescription description.ext generator
EOF_VERSION

# Runs wherever it is copied: every DLL it imports is one Windows has (Wine
# provides the same set), none of the compiler's runtime.
system_dlls=/usr/lib/x86_64-linux-gnu/wine/x86_64-windows
while read -r dll; do
    [[ $dll != lib* && -f $system_dlls/${dll,,} ]] || fail "imports $dll, which is not Windows' own"
done < <(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\tDLL Name: //p')

base=qorgenerator-$version-win64
expected=$(printf '%s\n' "$base/LICENSE.txt" "$base/README.txt" "$base/qorgenerator.exe")
[[ $(unzip -Z1 "$zip" | sort) == "$expected" ]] || fail "the zip holds: $(unzip -Z1 "$zip" | tr '\n' ' ')"

finish package
