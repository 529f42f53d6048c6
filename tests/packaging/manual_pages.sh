#!/usr/bin/env bash
# The manual pages render without warnings and keep in step with tavrin-cli's own help: both name
# every subcommand, and tavrin-cli(1) has an entry for every option of every subcommand.
set -euo pipefail
cli=$1 mandir=$2
here=$(cd "$(dirname "$0")" && pwd)
source "$here/checks.sh"

check_manual_pages "$mandir"

commands=$(cli_commands "$cli")
[ "$(echo "$commands" | wc -l)" -ge 8 ] || fail "tavrin-cli --help lists too few commands: $commands"

# tavrin-cli(1) describes each command under COMMANDS, and no command that is gone.
described=$(sed -n '/^\.SH COMMANDS/,/^\.SH /{/^\.TP/{n;s/^\.B \([a-z]*\)$/\1/p}}' "$mandir/tavrin-cli.1")
diff <(echo "$commands" | sort) <(echo "$described" | sort) >&2 ||
    fail "tavrin-cli.1 COMMANDS differ from tavrin-cli --help (< help, > page)"
# tavrin(1) names each in bold where it points to tavrin-cli.
for command in $commands; do
    grep -qE "^\.BR? $command( |$)" "$mandir/tavrin.1" || fail "tavrin.1 does not name the command $command"
done

text=$(LC_ALL=C.UTF-8 MANWIDTH=1000 man -l "$mandir/tavrin-cli.1" 2>/dev/null)
for command in $commands; do
    for option in $(cli_options "$cli" "$command"); do
        grep -qE -- "^ +(-[a-z], )?$option( |$)" <<<"$text" || fail "tavrin-cli.1 has no entry for $command $option"
    done
done
grep -qE -- "^ +--version$" <<<"$text" || fail "tavrin-cli.1 has no entry for --version"
echo "manual pages OK"
