#!/usr/bin/env bash
# Installs a configured and built build directory into a scratch DESTDIR and checks that every
# file a desktop looks for is where it looks: the programs, the desktop entry, the metainfo,
# the icons at every size and the manual pages. Prints each file that is missing or wrong.
#   tests/install/check-install.sh BUILD_DIR
# Needs cmake and appstream.
set -euo pipefail
build=${1:?usage: check-install.sh BUILD_DIR}
id=com.listoro.Listoro

dest=$(mktemp -d)
trap 'rm -rf "$dest"' EXIT
DESTDIR=$dest cmake --install "$build" >/dev/null
prefix=$(sed -n 's/^CMAKE_INSTALL_PREFIX:PATH=//p' "$build/CMakeCache.txt")
root=$dest$prefix

problems=()
for program in listoro listoro-scrape listoro-demo-site; do
    [ -x "$root/bin/$program" ] || problems+=("bin/$program (executable)")
done
for file in share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
    share/icons/hicolor/scalable/apps/$id.svg; do
    [ -f "$root/$file" ] || problems+=("$file")
done
# Each PNG must be there and be as large as its folder says (width and height from the header).
for n in 16 22 24 32 48 64 128 256 512; do
    png=share/icons/hicolor/${n}x${n}/apps/$id.png
    if [ ! -f "$root/$png" ]; then
        problems+=("$png")
    elif [ "$(od -An -tu4 --endian=big -j16 -N8 "$root/$png" | xargs)" != "$n $n" ]; then
        problems+=("$png (not ${n}x${n})")
    fi
done
for page in listoro listoro-scrape listoro-demo-site; do
    [ -f "$root/share/man/man1/$page.1.gz" ] || [ -f "$root/share/man/man1/$page.1" ] \
        || problems+=("share/man/man1/$page.1.gz")
done

if [ ${#problems[@]} -gt 0 ]; then
    printf 'missing from the installation in %s:\n' "$prefix" >&2
    printf '  %s\n' "${problems[@]}" >&2
    exit 1
fi
# The metainfo, the desktop entry it launches and the icon, as a software centre finds them.
appstreamcli validate-tree --no-net "$root"
