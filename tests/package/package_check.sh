#!/usr/bin/env bash
# The Debian package made from the build: exactly the program's files under
# /usr with root as owner, the control fields a package manager relies on,
# dependencies that name the libraries and the plugins loaded at run time,
# and no error or warning from lintian.
#
# package_check.sh BUILD_DIR VERSION
set -euo pipefail

build=${1:?usage: package_check.sh BUILD_DIR VERSION}
version=${2:?usage: package_check.sh BUILD_DIR VERSION}
id=org.ilumerix.LightEdition
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
    echo "FAIL: $*"
    exit 1
}

(cd "$work" && "${CPACK:-cpack}" -G DEB --config "$build/CPackConfig.cmake" -B "$work/out") \
    >"$work/cpack.log" 2>&1 || { tail -n 20 "$work/cpack.log"; fail "cpack failed"; }
arch=$(dpkg --print-architecture)
deb=$work/out/ilumerix_${version}_$arch.deb
[ -s "$deb" ] || fail "no $(basename "$deb"): $(ls "$work/out")"

# Files: every one expected, none else, owned by root, none writable by others.
expected="usr/bin/ilumerix
usr/share/applications/$id.desktop
usr/share/doc/ilumerix/changelog.gz
usr/share/doc/ilumerix/copyright
usr/share/ilumerix/iLXLEEN32.hlp
usr/share/man/man1/ilumerix.1.gz
usr/share/metainfo/$id.metainfo.xml
usr/share/icons/hicolor/scalable/apps/$id.svg"
for size in 16 22 24 32 48 64 128 256; do
    expected+=$'\n'"usr/share/icons/hicolor/${size}x${size}/apps/$id.png"
done
dpkg-deb --contents "$deb" >"$work/contents"
got=$(awk '$1 !~ /^d/ {sub(/^\.\//, "", $6); print $6}' "$work/contents" | sort)
diff <(sort <<<"$expected") <(echo "$got") >"$work/files.diff" ||
    { cat "$work/files.diff"; fail "the package's files differ (< expected, > packaged)"; }
awk '$2 != "root/root" {print; bad=1} END {exit bad}' "$work/contents" || fail "files not owned by root"
awk '$1 ~ /^.{8}w/ {print; bad=1} END {exit bad}' "$work/contents" || fail "files writable by all"

# Control fields.
field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = ilumerix ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture: $(field Architecture)"
[ "$(field Section)" = video ] || fail "Section: $(field Section)"
[[ "$(field Maintainer)" =~ ^[^\<]+\ \<[^@]+@[^\>]+\>$ ]] || fail "Maintainer: $(field Maintainer)"
depends=$(field Depends)
for need in 'libqt6widgets6 (>=' 'libgstreamer1.0-0 (>=' 'libjpeg62-turbo (>=' libsecret-1-0 \
    gstreamer1.0-plugins-good gstreamer1.0-plugins-bad gstreamer1.0-libav gstreamer1.0-x \
    'gstreamer1.0-pulseaudio | gstreamer1.0-alsa' qt6-qpa-plugins; do
    [[ "$depends" == *"$need"* ]] || fail "Depends lacks $need: $depends"
done
[[ "$(field Recommends)" == *qt6-wayland* ]] || fail "Recommends lacks qt6-wayland"

# The program in the package is the stripped build of this tree.
mkdir "$work/root"
dpkg-deb --extract "$deb" "$work/root"
file_type=$(file -b "$work/root/usr/bin/ilumerix" 2>/dev/null || echo unknown)
[[ "$file_type" == *stripped* && "$file_type" != *"not stripped"* ]] || fail "usr/bin/ilumerix: $file_type"

if command -v lintian >/dev/null 2>&1; then
    lintian --fail-on error,warning "$deb" >"$work/lintian.log" 2>&1 ||
        { cat "$work/lintian.log"; fail "lintian reports errors or warnings"; }
    echo "lintian: no error or warning"
else
    echo "lintian is not installed: not reviewed"
fi
echo "package: $(basename "$deb"), $(wc -l <<<"$got") files, Depends: $depends"
