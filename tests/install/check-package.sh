#!/usr/bin/env bash
# Checks a Debian package made by scripts/package: its control fields (name, version, the
# libraries found by dpkg-shlibdeps) and that it holds the programs and the desktop files.
#   tests/install/check-package.sh DEB_FILE [VERSION]
# Needs dpkg-deb (dpkg).
set -euo pipefail
deb=${1:?usage: check-package.sh DEB_FILE [VERSION]}
version=${2:-}
id=com.listoro.Listoro

problems=()
[ "$(dpkg-deb -f "$deb" Package)" = listoro ] || problems+=("Package is not listoro")
got_version=$(dpkg-deb -f "$deb" Version)
[ -n "$got_version" ] || problems+=("no Version")
[ -z "$version" ] || [ "$got_version" = "$version" ] \
    || problems+=("Version is $got_version, not $version")
depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6 libxml2; do
    [[ $depends == *"$library"* ]] || problems+=("Depends names no $library: $depends")
done

# Paths as the archive lists them, without a leading "./".
contents=$(dpkg-deb -c "$deb" | awk '{ sub(/^\.\//, "", $NF); print $NF }')
for file in usr/bin/listoro usr/bin/listoro-scrape usr/bin/listoro-demo-site \
    usr/share/applications/$id.desktop usr/share/metainfo/$id.metainfo.xml \
    usr/share/icons/hicolor/scalable/apps/$id.svg usr/share/man/man1/listoro.1.gz; do
    grep -qxF "$file" <<<"$contents" || problems+=("holds no $file")
done

if [ ${#problems[@]} -gt 0 ]; then
    printf '%s:\n' "$deb" >&2
    printf '  %s\n' "${problems[@]}" >&2
    exit 1
fi
echo "$deb: listoro $got_version"
