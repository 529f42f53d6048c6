# shellcheck shell=bash
# Checks shared by the install and package tests. Each takes the installed prefix ("root").

app_id=org.example.Tavrin
# Nothing here may probe the machine's real serial devices.
export TAVRIN_SERIAL_PORTS=/nonexistent/ttyTAVRIN0

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Exactly the expected files, nothing more or less.
check_tree() {
    local root=$1 expected=$2
    local actual
    actual=$(cd "$root" && find . \( -type f -o -type l \) | sed 's|^\./||' | LC_ALL=C sort)
    diff <(LC_ALL=C sort "$expected") <(echo "$actual") >&2 || fail "installed files differ from $expected (< expected, > installed)"
}

desktop_value() {
    sed -n "s/^$2=//p" "$1" | head -n 1
}

check_desktop_data() {
    local root=$1
    local desktop=$root/share/applications/$app_id.desktop
    desktop-file-validate "$desktop" || fail "desktop-file-validate rejects $desktop"
    [ -z "$(desktop-file-validate "$desktop")" ] || fail "desktop-file-validate warns about $desktop"
    appstreamcli validate --no-net "$root/share/metainfo/$app_id.metainfo.xml" >&2 || fail "appstreamcli rejects the metainfo"
    local exec icon
    exec=$(desktop_value "$desktop" Exec)
    [ -x "$root/bin/${exec%% *}" ] || fail "Exec=$exec names no installed program"
    icon=$(desktop_value "$desktop" Icon)
    [ -f "$root/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "Icon=$icon has no scalable icon"
    grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$root/share/metainfo/$app_id.metainfo.xml" ||
        fail "the metainfo does not launch $app_id.desktop"
}

# Project files are a type of their own: the desktop's MIME database takes the type with its glob,
# its icon is installed, and the menu entry opens it.
check_mime() {
    local root=$1 mime
    mime=$(mktemp -d)
    cp -r "$root/share/mime/packages" "$mime/"
    update-mime-database "$mime" >/dev/null 2>&1 || fail "update-mime-database failed"
    grep -qxF '50:application/x-tavrin-project:*.tavrin' "$mime/globs2" ||
        fail "the MIME database has no *.tavrin glob: $(cat "$mime/globs2")"
    grep -qxF 'application/x-tavrin-project:application-x-tavrin-project' "$mime/icons" ||
        fail "the MIME database names no icon for projects"
    rm -rf "$mime"
    [ -f "$root/share/icons/hicolor/scalable/mimetypes/application-x-tavrin-project.svg" ] ||
        fail "no icon for project files"
    desktop_value "$root/share/applications/$app_id.desktop" MimeType | tr ';' '\n' |
        grep -qxF application/x-tavrin-project || fail "the menu entry does not open project files"
}

# Every PNG has the pixel size of the folder it sits in.
check_icons() {
    local root=$1 png size width height
    for png in "$root"/share/icons/hicolor/*x*/apps/$app_id.png; do
        size=$(basename "$(dirname "$(dirname "$png")")")
        width=$(od -An -tu4 --endian=big -j16 -N4 "$png" | tr -d ' ')
        height=$(od -An -tu4 --endian=big -j20 -N4 "$png" | tr -d ' ')
        [ "${width}x${height}" = "$size" ] || fail "$png is ${width}x${height}"
    done
}

# Renders every page in a UTF-8 and an ASCII locale: no groff or man warnings.
check_manual_pages() {
    local dir=$1 page locale warnings
    for page in "$dir"/tavrin.1* "$dir"/tavrin-cli.1*; do
        [ -f "$page" ] || fail "no manual page $page"
        for locale in C.UTF-8 C; do
            warnings=$(LC_ALL=$locale MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
            [ -z "$warnings" ] || fail "man warns about $page in $locale: $warnings"
        done
    done
}

check_release() {
    local root=$1 version=$2
    grep -q "<release version=\"$version\"" "$root/share/metainfo/$app_id.metainfo.xml" ||
        fail "the metainfo has no release $version"
}

# The licence is stated where a package user looks: Debian's machine-readable copyright file
# (every Files paragraph's licence has its own paragraph with the text), the metadata and both
# programs' --version, all naming GPL version 3 or later.
check_licence() {
    local root=$1 copyright=$1/share/doc/tavrin/copyright program
    [ -f "$copyright" ] || fail "no copyright file"
    [ "$(head -n 1 "$copyright")" = "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" ] ||
        fail "the copyright file is not in the machine-readable format"
    awk '
        /^$/ { if (files && licence == "") bad = bad " a Files paragraph without License:"; files = 0; licence = ""; next }
        /^Files:/ { files = 1 }
        /^License:/ { licence = $2; if (files) used[licence] = 1; else stated[licence] = 1 }
        /^ / && !files && licence != "" { text[licence]++ }
        END {
            if (files && licence == "") bad = bad " a Files paragraph without License:"
            for (l in used) if (!(l in stated) || text[l] < 3) bad = bad " no text for " l
            if (!("GPL-3+" in used)) bad = bad " no file under GPL-3+"
            if (bad != "") { print bad; exit 1 }
        }' "$copyright" >&2 || fail "the copyright file is incomplete"
    grep -q "<project_license>GPL-3.0-or-later</project_license>" "$root/share/metainfo/$app_id.metainfo.xml" ||
        fail "the metainfo names no GPL-3.0-or-later project licence"
    for program in tavrin tavrin-cli; do
        QT_QPA_PLATFORM=offscreen "$root/bin/$program" --version | grep -q "GPL-3.0-or-later" ||
            fail "$program --version names no licence"
    done
}

# The installed tavrin-cli computes what the build tree's does.
check_same_code() {
    local built=$1 installed=$2 args expected actual
    for args in "--leds 16 --text Tavrin" "--leds 32 --text 旋转点阵 --size 20 --move right"; do
        # shellcheck disable=SC2086
        expected=$("$built" code $args) || fail "tavrin-cli code $args failed"
        # shellcheck disable=SC2086
        actual=$("$installed" code $args) || fail "installed tavrin-cli code $args failed"
        [ -n "$expected" ] && [ "$actual" = "$expected" ] || fail "installed tavrin-cli code $args differs"
    done
}

# Nothing installed refers to the source or build folders.
check_no_paths() {
    local root=$1 path found
    shift
    for path in "$@"; do
        found=$(grep -rlF -- "$path" "$root" || true)
        [ -z "$found" ] || fail "installed files name $path: $found"
    done
}

# The subcommands tavrin-cli --help lists, one a line.
cli_commands() {
    "$1" --help | sed -n 's/^  \([a-z][a-z]*\)  .*/\1/p'
}

# The long options a subcommand's --help lists, one a line.
cli_options() {
    "$1" "$2" --help | grep -oE '^ +(-[a-z], )?--[a-z][a-z-]*' | grep -oE -- '--[a-z][a-z-]*'
}
