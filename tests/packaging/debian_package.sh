#!/usr/bin/env bash
# Builds the Debian package with CPack and inspects it with dpkg-deb: its name and fields, the
# dependencies worked out from the binaries plus the fonts, exactly the installed files under
# /usr owned by root, stripped programs that run, and no trace of the build or source folders.
set -euo pipefail
build=$1 built_cli=$2 expected=$3
here=$(cd "$(dirname "$0")" && pwd)
source "$here/checks.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cpack --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 || {
    cat "$work/cpack.log" >&2
    fail "cpack failed"
}

version=$("$built_cli" --version | head -n 1)
version=${version#tavrin-cli }
arch=$(dpkg --print-architecture)
deb=$work/tavrin_${version}_$arch.deb
[ -f "$deb" ] || fail "no $(basename "$deb"); cpack wrote: $(ls "$work")"

field() {
    dpkg-deb --field "$deb" "$1"
}
[ "$(field Package)" = tavrin ] || fail "Package is $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version is $(field Version)"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture is $(field Architecture)"
# Package names only, versions dropped: "libc6 (>= 2.34), libqt6core6 (>= 6.4.0)" gives libc6 libqt6core6.
names() {
    field "$1" | tr ',' '\n' | sed -e 's/^ *//' -e 's/ .*//'
}
for package in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6serialport6 fonts-arphic-uming; do
    names Depends | grep -qxF "$package" || fail "Depends lacks $package: $(field Depends)"
done
names Recommends | grep -qxF fonts-wqy-zenhei || fail "Recommends lacks fonts-wqy-zenhei"
names Recommends | grep -qxF qt6-translations-l10n || fail "Recommends lacks qt6-translations-l10n"
names Recommends | grep -qxF fonts-unifont || fail "Recommends lacks fonts-unifont"

# Every member owned by root, and every file one of the installed tree's.
owners=$(dpkg-deb --contents "$deb" | awk '{print $2}' | sort -u)
[ "$owners" = root/root ] || fail "members owned by $owners"
root=$work/root
dpkg-deb --extract "$deb" "$root"
check_tree "$root/usr" "$expected"
check_mime "$root/usr"
for program in tavrin tavrin-cli; do
    if readelf --sections "$root/usr/bin/$program" | grep -qE '\.(symtab|debug_info)'; then
        fail "$program is not stripped"
    fi
done
[ "$("$root/usr/bin/tavrin-cli" --version | head -n 1)" = "tavrin-cli $version" ] || fail "the packaged tavrin-cli does not run"
check_licence "$root/usr"
check_same_code "$built_cli" "$root/usr/bin/tavrin-cli"

dpkg-deb --control "$deb" "$work/control"
check_no_paths "$root" "$build" "$(cd "$here/../.." && pwd)"
check_no_paths "$work/control" "$build" "$(cd "$here/../.." && pwd)"
echo "package $(basename "$deb") OK"
