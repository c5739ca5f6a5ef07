#!/usr/bin/env bash
# install_test.sh BUILD_DIR CMAKE CPACK
# 1. cmake --install --prefix /usr into a DESTDIR: every file where it belongs, nothing else; the
#    desktop entry and the AppStream metainfo pass their validators.
# 2. The installed program prints its version, and started offscreen (as root, and as nobody
#    with its program folder read-only) keeps its data in $XDG_DATA_HOME, never beside itself.
# 3. cpack -G DEB: the package holds the same files, computed dependencies, the maintainer
#    scripts; the program extracted from it starts the same way.
# 4. No installed program holds a path of the source or build tree (debug info aside).
# 5. The man pages are compressed, carry the build's version and name each other; the copyright
#    file is machine-readable, the changelog compressed; lintian finds no error and no warning.
set -euo pipefail
build=$(cd "$1" && pwd)
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
cmake=$2
cpack=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"  # nobody walks into it
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

appstream_id=org.tavrik87rev.tavrik87rev
expected_files() {
    echo usr/bin/tavrik-87rev
    if [ -x "$build/bin/tavrikctl" ]; then
        echo usr/bin/tavrikctl
        echo usr/share/bash-completion/completions/tavrikctl
        echo usr/share/fish/vendor_completions.d/tavrikctl.fish
        echo usr/share/zsh/vendor-completions/_tavrikctl
    fi
    echo usr/lib/udev/rules.d/70-tavrik-87rev.rules
    echo usr/share/applications/tavrik-87rev.desktop
    echo usr/share/doc/tavrik-87rev/README.md
    echo usr/share/doc/tavrik-87rev/changelog.gz
    echo usr/share/doc/tavrik-87rev/copyright
    for size in 16 22 24 32 48 64 128 256; do
        echo "usr/share/icons/hicolor/${size}x${size}/apps/tavrik-87rev.png"
    done
    echo usr/share/icons/hicolor/scalable/apps/tavrik-87rev.svg
    echo usr/share/man/man1/tavrik-87rev.1.gz
    [ -x "$build/bin/tavrikctl" ] && echo usr/share/man/man1/tavrikctl.1.gz
    echo "usr/share/metainfo/$appstream_id.metainfo.xml"
    echo usr/share/tavrik-87rev/70-tavrik-87rev.rules
    echo usr/share/tavrik-87rev/VER.bin
    (cd "$build/bin" && find png -type f ! -name .generated | sed 's|^|usr/share/tavrik-87rev/|')
}

# Whether file $1 holds the text $2 in UTF-8 or, as a QStringLiteral would, in UTF-16.
holds_path() {
    local hex utf16
    hex=$(printf '%s' "$2" | od -An -v -tx1 | tr -s ' \n' ' ')
    utf16=$(for byte in $hex; do printf '\\x%s\\x00' "$byte"; done)
    grep -aqF -e "$2" "$1" || LC_ALL=C grep -aqP "$utf16" "$1"
}

# The man pages: compressed, headed by the build's version, each naming the other under SEE
# ALSO; Debian's copyright file (machine-readable) and compressed changelog of this version.
check_docs() {
    local root=$1 what=$2 man=$1/usr/share/man/man1 doc=$1/usr/share/doc/tavrik-87rev
    local version page other
    version=$(head -c 8 "$build/bin/VER.bin" | cut -c6-)
    for page in tavrik-87rev tavrikctl; do
        [ -e "$man/$page.1.gz" ] || continue
        gzip -t "$man/$page.1.gz" || fail "$what: $page.1.gz"
        other=tavrikctl
        [ "$page" = tavrikctl ] && other=tavrik-87rev
        zcat "$man/$page.1.gz" | grep -q "^\.TH .* \"tavrik-87rev $version\"" ||
            fail "$what: $page.1 is not headed by version $version"
        zcat "$man/$page.1.gz" | sed -n '/^\.SH SEE ALSO/,$p' | tr -d '\\' |
            grep -q "^\.BR $other (1)" || fail "$what: $page.1 does not name $other(1)"
    done
    [ -z "$(find "$man" -type f ! -name '*.gz')" ] || fail "$what: a man page not compressed"
    local format=https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
    [ "$(head -n 1 "$doc/copyright")" = "Format: $format" ] ||
        fail "$what: copyright is not machine-readable"
    zcat "$doc/changelog.gz" | head -n 1 | grep -q "^tavrik-87rev ($version) " ||
        fail "$what: changelog does not start with version $version"
}

# Every file of the tree under $1 against the expected list.
check_tree() {
    local root=$1 what=$2
    diff -u <(expected_files | sort) <(cd "$root" && find usr -type f | sort) ||
        fail "$what: files differ from the expected layout"
    cmp -s "$root/usr/share/tavrik-87rev/VER.bin" "$build/bin/VER.bin" || fail "$what: VER.bin"
    local f
    while read -r f; do
        cmp -s "$build/bin/$f" "$root/usr/share/tavrik-87rev/$f" || fail "$what: $f differs"
    done < <(cd "$build/bin" && find png -type f ! -name .generated)
    check_docs "$root" "$what"
    file -b "$root/usr/share/icons/hicolor/48x48/apps/tavrik-87rev.png" | grep -q '48 x 48' ||
        fail "$what: 48 px icon"
    grep -q '<svg' "$root/usr/share/icons/hicolor/scalable/apps/tavrik-87rev.svg" ||
        fail "$what: scalable icon"
    local program
    for program in "$root"/usr/bin/*; do
        objcopy --strip-debug "$program" "$work/stripped"
        if holds_path "$work/stripped" "$source_dir/" || holds_path "$work/stripped" "$build/"; then
            fail "$what: $(basename "$program") holds a path of the source or build tree"
        fi
    done
    rm -f "$work/stripped"
}

# Starts the program at $1 offscreen as user $2 with its own home $3; waits for keymap.bin in
# the data folder, then ends it. Fails when the program folder gains a file.
start_offscreen() {
    local program=$1 user=$2 home=$3 what=$4
    local folder before pid
    folder=$(dirname "$program")
    before=$(ls -A "$folder")
    mkdir -p "$home/run"
    chmod 700 "$home/run"
    local as=()
    if [ "$user" != root ]; then
        chown -R "$user" "$home"
        as=(setpriv --reuid="$user" --regid=nogroup --clear-groups --)
    fi
    env -i PATH=/usr/bin:/bin HOME="$home" XDG_DATA_HOME="$home/data" \
        XDG_CONFIG_HOME="$home/config" XDG_RUNTIME_DIR="$home/run" QT_QPA_PLATFORM=offscreen \
        "${as[@]}" "$program" --lang en >"$home/log" 2>&1 &
    pid=$!
    local keymap="$home/data/tavrik-87rev/keymap.bin"
    for _ in $(seq 200); do
        [ -s "$keymap" ] && break
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    [ -s "$keymap" ] || { fail "$what: no keymap.bin in the data folder"; cat "$home/log" >&2; }
    [ -s "$home/data/tavrik-87rev/MacroDefine.bin" ] || fail "$what: no MacroDefine.bin"
    [ "$(ls -A "$folder")" = "$before" ] || fail "$what: wrote into its program folder"
}

check_program() {
    local root=$1 what=$2
    local version
    version=$("$root/usr/bin/tavrik-87rev" --version) || fail "$what: --version failed"
    [ "$version" = "tavrik-87rev $(head -c 8 "$build/bin/VER.bin" | cut -c6-)" ] ||
        fail "$what: --version said '$version'"
    # Help and version answer without any display, in their short forms too.
    local flag
    for flag in -h --help -v --version; do
        env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM timeout 10 \
            "$root/usr/bin/tavrik-87rev" "$flag" >"$work/flag.out" 2>&1 ||
            fail "$what: $flag without a display failed: $(head -c 300 "$work/flag.out")"
    done
    start_offscreen "$root/usr/bin/tavrik-87rev" root "$work/$what-root" "$what as root"
    start_offscreen "$root/usr/bin/tavrik-87rev" nobody "$work/$what-nobody" "$what as nobody"
}

# 1 and 2: the installed tree.
DESTDIR="$work/dest" "$cmake" --install "$build" --prefix /usr >"$work/install.log"
check_tree "$work/dest" install
desktop-file-validate "$work/dest/usr/share/applications/tavrik-87rev.desktop" ||
    fail "desktop-file-validate"
appstreamcli validate --no-net "$work/dest/usr/share/metainfo/$appstream_id.metainfo.xml" ||
    fail "appstreamcli validate"
check_program "$work/dest" installed

# 3: the Debian package.
(cd "$work" && "$cpack" -G DEB -B "$work/pkg" --config "$build/CPackConfig.cmake" \
    >"$work/cpack.log") || { cat "$work/cpack.log" >&2; fail "cpack"; }
deb=$(ls "$work"/pkg/*.deb)
dpkg-deb -x "$deb" "$work/extract"
check_tree "$work/extract" package
depends=$(dpkg-deb -f "$deb" Depends)
for needed in libqt6widgets6 libhidapi-hidraw0 libudev1 libc6 qt6-qpa-plugins; do
    grep -q "$needed" <<<"$depends" || fail "package: Depends lacks $needed ($depends)"
done
dpkg-deb -e "$deb" "$work/control"
[ -x "$work/control/postinst" ] || fail "package: no executable postinst"
grep -q 'udevadm control --reload-rules' "$work/control/postinst" || fail "postinst: no reload"
grep -q 'udevadm trigger --subsystem-match=hidraw' "$work/control/postinst" ||
    fail "postinst: no trigger"
sh -n "$work/control/postinst" || fail "postinst: syntax"
for field in Maintainer Homepage Recommends; do
    [ -n "$(dpkg-deb -f "$deb" "$field")" ] || fail "package: no $field"
done
grep -q qt6-wayland <<<"$(dpkg-deb -f "$deb" Recommends)" || fail "package: qt6-wayland"
# Every tag of error or warning severity fails; informational tags are shown, not counted.
if command -v lintian >/dev/null; then
    lintian --fail-on error,warning --display-info "$deb" >"$work/lintian.log" 2>&1 ||
        fail "lintian: $(grep -c '^[EW]: ' "$work/lintian.log") error(s) or warning(s)"
    cat "$work/lintian.log"
else
    fail "lintian is not installed (scripts/setup test installs it)"
fi
check_program "$work/extract" package

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed" >&2; exit 1; }
echo "install and package: all checks passed"
