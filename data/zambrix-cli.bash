# Bash completion for zambrix-cli: commands, options and the chips' part numbers.
_zambrix_cli() {
  local cur prev words cword
  _init_completion 2>/dev/null || {
    cur=${COMP_WORDS[COMP_CWORD]}
    prev=${COMP_WORDS[COMP_CWORD-1]}
  }
  local commands="list detect read blank view program verify check erase id setup doctor"
  local options="-d --device -i --input -o --output --page --port --model --speed --log
    --settings-dir --board --sim-model --sim-port --sim-chip --sim-fault --sim-trace --sim-seed
    --sim-access-ns --sim-vpp --bytes --vpp --blank-check --verify --all --format --json
    --setup --name --catalogue -q --yes --help --version"
  case $prev in
    -d|--device)
      local parts
      parts=$(zambrix-cli --board record -q list 2>/dev/null | awk -F'\t' '{n=$2; sub(/ +$/, "", n); sub(/^N\/A - /, "", n); k=split(n, w, " "); print w[k]}')
      COMPREPLY=($(compgen -W "$parts" -- "$cur"))
      return ;;
    -i|--input|-o|--output|--log|--sim-trace)
      COMPREPLY=($(compgen -f -- "$cur"))
      return ;;
    --settings-dir)
      COMPREPLY=($(compgen -d -- "$cur"))
      return ;;
    --port|--sim-port) COMPREPLY=($(compgen -W "378h 278h 3BCh" -- "$cur")); return ;;
    --model|--sim-model) COMPREPLY=($(compgen -W "4 5 6" -- "$cur")); return ;;
    --board) COMPREPLY=($(compgen -W "auto sim ppdev direct record" -- "$cur")); return ;;
    --bytes) COMPREPLY=($(compgen -W "both hi low" -- "$cur")); return ;;
    --vpp) COMPREPLY=($(compgen -W "5 12.5 21 25" -- "$cur")); return ;;
    --format) COMPREPLY=($(compgen -W "bin ihex srec" -- "$cur")); return ;;
    --catalogue) COMPREPLY=($(compgen -W "standard extended" -- "$cur")); return ;;
    --setup) COMPREPLY=($(compgen -W "1 2 3 4" -- "$cur")); return ;;
    setup) COMPREPLY=($(compgen -W "list save" -- "$cur")); return ;;
    save) COMPREPLY=($(compgen -W "1 2 3 4" -- "$cur")); return ;;
  esac
  if [[ $cur == -* ]]; then
    COMPREPLY=($(compgen -W "$options" -- "$cur"))
    return
  fi
  local w
  for w in "${COMP_WORDS[@]:1:COMP_CWORD-1}"; do
    [[ " $commands " == *" $w "* ]] && return
  done
  COMPREPLY=($(compgen -W "$commands" -- "$cur"))
}
complete -F _zambrix_cli zambrix-cli
