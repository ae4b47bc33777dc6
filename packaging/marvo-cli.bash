# bash completion for marvo-cli: subcommands, their options, and the file types each one takes.

# Completes files with the extension $1 (and folders), or folders only when $1 is "/".
_marvo_cli_files() {
  if [[ $1 == / ]]; then
    if declare -F _filedir >/dev/null; then _filedir -d; else COMPREPLY=($(compgen -d -- "$cur")); fi
  elif declare -F _filedir >/dev/null; then
    _filedir "$1"
  else
    local IFS=$'\n'
    COMPREPLY=($(compgen -d -- "$cur") $(compgen -f -X "!*.$1" -- "$cur"))
  fi
}

_marvo_cli() {
  local cur prev words cword
  if declare -F _init_completion >/dev/null; then
    _init_completion || return
  else
    cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}
    words=("${COMP_WORDS[@]}") cword=$COMP_CWORD
  fi

  local commands="play cat check graph dialogue export-map test record replay-check publish lsp help"
  if ((cword == 1)); then
    COMPREPLY=($(compgen -W "$commands --help --version" -- "$cur"))
    return
  fi
  local command=${words[1]}

  # Options that take a value: what the value is.
  case $prev in
    --library) _marvo_cli_files 'lib'; return ;;
    --replay | --save-log | --from) _marvo_cli_files 'sav'; return ;;
    --scenario | --against) _marvo_cli_files 'scn'; return ;;
    --format)
      if [[ $command == graph ]]; then
        COMPREPLY=($(compgen -W "dot svg json" -- "$cur"))
      else
        COMPREPLY=($(compgen -W "text json" -- "$cur"))
      fi
      return
      ;;
    --cursor | --label | --title | --clock-step | --undo-word | --north | --south | --west | --east | \
      --diagnostics-delay) return ;;
  esac

  local options
  case $command in
    play) options="--library --replay --save-log --events --no-clock --clock-step --undo-word" ;;
    cat) options="" ;;
    dialogue) options="--label --scenario" ;;
    export-map) options="--cursor --no-jump --names-in-description --names-as-directions
                         --text-navigation --north --south --west --east" ;;
    check) options="--library --format --spelling" ;;
    graph) options="--library --format" ;;
    test) options="--library --bless --coverage" ;;
    record) options="--library --from" ;;
    replay-check) options="--library --against" ;;
    publish) options="--library --title --force" ;;
    lsp) options="--library --diagnostics-delay --stdio" ;;
    help) COMPREPLY=($(compgen -W "$commands" -- "$cur")); return ;;
    *) return ;;
  esac
  if [[ $cur == -* ]]; then
    COMPREPLY=($(compgen -W "$options --help" -- "$cur"))
    return
  fi

  # Positional arguments already given (option values do not count).
  local i given=0
  for ((i = 2; i < cword; i++)); do
    case ${words[i]} in
      --library | --replay | --save-log | --from | --scenario | --against | --format | --cursor | \
        --label | --title | --clock-step | --undo-word | --north | --south | --west | --east | --diagnostics-delay) ((i++)) ;;
      -*) ;;
      *) ((given++)) ;;
    esac
  done
  case $command in
    dialogue) _marvo_cli_files 'dlg' ;;
    export-map) _marvo_cli_files 'map' ;;
    test) if ((given == 0)); then _marvo_cli_files 'scn'; else _marvo_cli_files 'walk'; fi ;;
    replay-check) if ((given == 0)); then _marvo_cli_files 'scn'; else _marvo_cli_files 'sav'; fi ;;
    publish) if ((given == 0)); then _marvo_cli_files 'scn'; else _marvo_cli_files /; fi ;;
    lsp) ;;
    *) _marvo_cli_files 'scn' ;;
  esac
}
complete -F _marvo_cli marvo-cli
