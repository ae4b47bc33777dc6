#!/usr/bin/env bash
# Checks the bash completion of marvo-cli: loaded the way bash-completion loads it on demand, it
# completes the subcommands, each one's options, and per option or position only the right files.
# Usage: completion_test.sh COMPLETION_FILE (run in a folder holding a.scn b.lib c.sav d.dlg sub/).
set -uo pipefail
file=$1
status=0

if [[ -f /usr/share/bash-completion/bash_completion ]]; then
  source /usr/share/bash-completion/bash_completion
fi
if [[ $file == /usr/share/bash-completion/completions/* ]] && declare -F _completion_loader >/dev/null; then
  _completion_loader marvo-cli  # finds it by the command's name, as on the first Tab
else
  source "$file"
fi
registered=$(complete -p marvo-cli 2>/dev/null) || { echo "completion: complete -p marvo-cli: none"; exit 1; }
echo "completion: $registered"

# expect "WORDS TYPED" "EXPECTED SORTED CANDIDATES"
expect() {
  local line=$1 want=$2
  read -ra COMP_WORDS <<<"$line"
  [[ $line == *' ' ]] && COMP_WORDS+=("")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMP_LINE=$line COMP_POINT=${#line}
  COMPREPLY=()
  _marvo_cli marvo-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
  local got
  got=$(printf '%s\n' "${COMPREPLY[@]}" | sed 's|/$||' | grep -v '^$' | sort | paste -sd ' ')
  if [[ $got != "$want" ]]; then
    echo "completion: '$line' gave '$got', expected '$want'"
    status=1
  fi
}

expect "marvo-cli pl" "play"
expect "marvo-cli re" "record replay-check"
expect "marvo-cli --v" "--version"
expect "marvo-cli play --no" "--no-clock"
expect "marvo-cli play " "a.scn sub"
expect "marvo-cli play --library " "b.lib sub"
expect "marvo-cli play --replay " "c.sav sub"
expect "marvo-cli dialogue " "d.dlg sub"
expect "marvo-cli dialogue d.dlg --scenario " "a.scn sub"
expect "marvo-cli replay-check a.scn " "c.sav sub"
expect "marvo-cli replay-check a.scn c.sav --against " "a.scn sub"
expect "marvo-cli test --l" "--library"
expect "marvo-cli publish a.scn " "sub"
expect "marvo-cli export-map --north " ""
expect "marvo-cli check --format " "json text"
exit $status
