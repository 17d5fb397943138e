#!/usr/bin/env bash
# Validates Listoro's desktop entry and AppStream metainfo with the tools desktops and software
# centres read them with. Fails on an error from either, and on an AppStream warning.
#   tests/install/check-desktop-files.sh [SOURCE_DIR]
# Needs desktop-file-utils and appstream.
set -euo pipefail
source_dir=${1:-$(dirname "$0")/../..}
dir=$source_dir/resources/desktop

desktop-file-validate "$dir/com.listoro.Listoro.desktop"
appstreamcli validate --no-net "$dir/com.listoro.Listoro.metainfo.xml"
