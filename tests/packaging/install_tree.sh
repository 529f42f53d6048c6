#!/usr/bin/env bash
# cmake --install into a temporary DESTDIR: the tree holds exactly the listed files, the desktop
# entry and metadata pass their validators, and the installed programs work like the build tree's.
set -euo pipefail
build=$1 built_cli=$2 expected=$3
here=$(cd "$(dirname "$0")" && pwd)
source "$here/checks.sh"

dest=$(mktemp -d)
trap 'rm -rf "$dest"' EXIT
DESTDIR=$dest cmake --install "$build" --prefix /opt/tavrin --strip >/dev/null
root=$dest/opt/tavrin

check_tree "$root" "$expected"
check_desktop_data "$root"
check_icons "$root"
check_mime "$root"
check_manual_pages "$root/share/man/man1"

version=$("$built_cli" --version | head -n 1)
[ "$("$root/bin/tavrin-cli" --version)" = "$("$built_cli" --version)" ] || fail "installed tavrin-cli --version differs from the build's"
[ "$("$root/bin/tavrin" --version | head -n 1)" = "tavrin ${version#tavrin-cli }" ] || fail "tavrin --version differs from tavrin-cli's"
check_release "$root" "${version#tavrin-cli }"
check_licence "$root"
check_same_code "$built_cli" "$root/bin/tavrin-cli"
check_no_paths "$root" "$build" "$(cd "$here/../.." && pwd)"
echo "installed tree OK"
