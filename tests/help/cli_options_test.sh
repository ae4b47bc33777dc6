#!/usr/bin/env bash
# Every option a marvo-cli subcommand's parser accepts is explained by `marvo-cli SUB --help`: the
# options are read from the string literals of app/cli_*.cpp (one file a subcommand; in
# cli_test.cpp, each parse() call and the usage line after it).
# Usage: cli_options_test.sh MARVO_CLI APP_DIR
set -uo pipefail
cli=$1 app=$2
status=0
checked=0
expect() {  # expect SUB OPTION: the option is in the explanation part of SUB --help
  local help
  help=$("$cli" "$1" --help | sed -n '/^$/,$p')
  checked=$((checked + 1))
  if ! grep -q -- "$2\\b" <<<"$help"; then
    echo "marvo-cli $1 --help does not explain $2 (accepted by $3)"
    status=1
  fi
}
for file in "$app"/cli_*.cpp; do
  name=$(basename "$file" .cpp)
  name=${name#cli_}
  case $name in
    help | library) continue ;;
    test)
      # parse(args, o, {flags}, {values}) followed by the usage line naming the subcommand.
      while IFS= read -r pair; do
        sub=${pair%% *}
        for option in ${pair#* }; do expect "$sub" "$option" "$file"; done
      done < <(grep -A1 'if (!parse(args, o,' "$file" |
        awk '/parse\(args, o,/ { n = split($0, q, "\""); opts = ""; for (i = 2; i <= n; i += 2) opts = opts " " q[i]; next }
             /usage: marvo-cli/ { match($0, /marvo-cli [a-z-]+/); print substr($0, RSTART + 10, RLENGTH - 10) opts }')
      ;;
    *)
      sub=${name//_/-}
      for option in $(grep -o '"--[a-z][a-z-]*"' "$file" | tr -d '"' | sort -u); do expect "$sub" "$option" "$file"; done
      ;;
  esac
done
# The reading of the sources must have found the options of every subcommand that takes any.
if ((checked < 30)); then
  echo "only $checked options found in $app/cli_*.cpp: the test no longer reads the parsers"
  status=1
fi
exit $status
