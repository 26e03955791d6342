# bash completion for vantrose: the program itself names the candidates (commands,
# a command's options and subcommands, parameter names after --set), so the
# completion always matches the options the commands declare.
_vantrose() {
  local cur=${COMP_WORDS[COMP_CWORD]}
  local words=("${COMP_WORDS[@]:1:COMP_CWORD-1}")
  local candidates
  candidates=$("${COMP_WORDS[0]}" __complete "${words[@]}" 2>/dev/null) || return
  COMPREPLY=($(compgen -W "$candidates" -- "$cur"))
  # NAME= wants its value typed straight after it.
  if [[ ${#COMPREPLY[@]} -eq 1 && ${COMPREPLY[0]} == *= ]]; then
    compopt -o nospace
  fi
}
complete -o default -o bashdefault -F _vantrose vantrose
