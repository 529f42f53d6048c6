#!/usr/bin/env bash
# The installer under Wine: a silent install into Program Files; both programs start from the
# installed folder; the Start-menu entry starts in that folder; the uninstaller is registered and
# removes every file it installed, and only those.
# scripts/windows runs it with SETUP (the installer), DIST (the folder it was made from) and a
# Wine prefix.
set -euo pipefail
: "${SETUP:?}" "${DIST:?}" "${WINEPREFIX:?}"
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
pass() { echo "PASS: $*"; }

# The installer and the uninstaller hand their work to processes of their own: the Wine server
# ends when the last has finished.
wineserver -k 2>/dev/null || true
wineserver -w

installed="$WINEPREFIX/drive_c/Program Files/Tavrin"
shortcut="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Tavrin.lnk"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tavrin'
rm -rf "$installed"

wine "$SETUP" /S
wineserver -w

missing=0
while read -r file; do
    cmp -s "$DIST/$file" "$installed/$file" || missing=$((missing + 1))
done < <(cd "$DIST" && find . -type f)
if [ "$missing" -eq 0 ] && [ -f "$installed/uninstall.exe" ]; then
    pass "installed every file into Program Files"
else
    fail "$missing file(s) not installed as made"
fi

if version=$(cd "$installed" && wine ./tavrin-cli.exe --version 2>&1 | tr -d '\r' | head -1) &&
    [[ "$version" == "tavrin-cli "* ]]; then
    pass "tavrin-cli.exe starts from the installed folder: $version"
else
    fail "tavrin-cli.exe does not start from the installed folder: $version"
fi
if version=$(cd "$installed" && QT_QPA_PLATFORM=offscreen wine ./tavrin.exe --version 2>&1 | tr -d '\r' | head -1) &&
    [[ "$version" == "tavrin "* ]]; then
    pass "tavrin.exe starts from the installed folder: $version"
else
    fail "tavrin.exe does not start from the installed folder: $version"
fi

folder=$([ -f "$shortcut" ] && /usr/bin/python3 "$(dirname "$0")/shortcut_folder.py" "$shortcut" || true)
if [ "${folder%\\}" = 'C:\Program Files\Tavrin' ]; then
    pass "the Start-menu entry starts in the install folder"
else
    fail "the Start-menu entry does not start in the install folder: ${folder:-no entry}"
fi

if wine reg query "$key" /v UninstallString 2>/dev/null | grep -q 'uninstall.exe'; then
    pass "the uninstaller is registered"
else
    fail "no uninstaller registered under Apps & features"
fi

# A vendor's contact file beside the programs is theirs: the uninstaller leaves it.
printf 'vendor\r\n' >"$installed/联系方式.txt"
wine "$installed/uninstall.exe" /S
wineserver -w
left=$(cd "$installed" && find . -type f ! -name '联系方式.txt' | wc -l)
if [ "$left" -eq 0 ] && [ -f "$installed/联系方式.txt" ] && [ ! -e "$shortcut" ] &&
    ! wine reg query "$key" >/dev/null 2>&1; then
    pass "the uninstaller removed every file it installed, and kept the vendor's"
else
    fail "after uninstalling, $left installed file(s) remain, or the entry or key does"
fi
rm -rf "$installed"

if [ "$failures" -gt 0 ]; then
    echo "$failures installer check(s) failed" >&2
    exit 1
fi
echo "Every installer check passed"
