#!/usr/bin/env bash
# --version and --help of marvo-cli and marvo: printed on standard output with status 0, each
# subcommand's help shows its own synopsis and options; no display is needed.
# Usage: cli_help_test.sh VERSION MARVO_CLI [MARVO]
set -uo pipefail
version=$1 cli=$2 marvo=${3:-}
status=0
check() {  # check DESCRIPTION COMMAND...: the command succeeds
  local what=$1
  shift
  if ! "$@"; then echo "help: $what"; status=1; fi
}

check "marvo-cli --version" test "$("$cli" --version)" = "marvo-cli (Marvo IF) $version"
out=$("$cli" --help) || { echo "help: marvo-cli --help failed"; status=1; }
for command in play cat dialogue export-map; do
  check "--help lists $command" grep -q "^  marvo-cli $command " <<<"$out"
done
out=$("$cli" export-map --help) || { echo "help: export-map --help failed"; status=1; }
check "export-map --help shows its continuation lines" grep -q -- '--west TEXT' <<<"$out"
check "export-map --help shows only its synopsis" test "$(grep -c 'marvo-cli ' <<<"$out")" = 1
check "play --help explains --library" grep -q -- '--library FILE ' <<<"$("$cli" play x.scn --help)"
check "help cat" grep -q '^  marvo-cli cat SCENARIO' <<<"$("$cli" help cat)"
"$cli" no-such-command --help >/dev/null 2>&1
check "an unknown subcommand is a usage error" test $? = 2
"$cli" >/dev/null 2>&1
check "no subcommand is a usage error" test $? = 2

if [[ -n $marvo ]]; then
  check "marvo --version" test "$(env -u DISPLAY -u WAYLAND_DISPLAY "$marvo" --version)" = "marvo (Marvo IF) $version"
  check "marvo --help" grep -q -- '--desktop' <<<"$(env -u DISPLAY -u WAYLAND_DISPLAY "$marvo" --help)"
fi
exit $status
