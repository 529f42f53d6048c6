#!/usr/bin/env bash
# The bash completion offers exactly what tavrin-cli's own help lists: its commands, each command's
# options, and the values the help names for --leds, --variant and --move.
set -euo pipefail
cli=$1 completion=$2
here=$(cd "$(dirname "$0")" && pwd)
source "$here/checks.sh"

source /usr/share/bash-completion/bash_completion
source "$completion"

# Completes the words given, the last one being the word under the cursor.
complete_words() {
    COMP_WORDS=(tavrin-cli "$@")
    COMP_CWORD=$#
    COMP_LINE="${COMP_WORDS[*]}"
    COMP_POINT=${#COMP_LINE}
    COMPREPLY=()
    _tavrin_cli
    printf '%s\n' "${COMPREPLY[@]}" | sort
}

same() {
    diff <(sort <<<"$2") <(echo "$3") >&2 || fail "completing $1 (< help, > completion)"
}

# "LED count: 8, 16, 24 or 32 (16)." gives 8 16 24 32.
listed_values() {
    "$cli" "$1" --help | grep -E -- "^ +$2 " | sed -e 's/.*: //' -e 's/ *(.*//' -e 's/\.$//' -e 's/,//g' -e 's/ or / /' |
        tr ' ' '\n'
}

commands=$(cli_commands "$cli")
same "the command" "$commands"$'\n--help\n--version' "$(complete_words '')"
for command in $commands; do
    same "$command options" "$(cli_options "$cli" "$command")" "$(complete_words "$command" '-')"
done
same "--leds" "$(listed_values code --leds)" "$(complete_words code --leds '')"
same "--variant" "$(listed_values hex --variant)" "$(complete_words hex --variant '')"
same "--move" "$(listed_values code --move)" "$(complete_words code --move '')"
same "a partial command" "code"$'\n'"canvas" "$(complete_words c)"
echo "completion OK"
