# bash completion for quillb
#
#   quillb <model.dsm> <template.tem> [<out_dir>] [options]
#   quillb <project.qpj> [options]
#
# Options are written /name, -name or --name; one that takes a value takes
# the next word unless that word is itself an option.

_quillb_options="ver help homedir showfiles showsummary nokwada nokwcxx rstrip ttrace
  makebak bakext lang dsmpath tempath setvar depfile check onlychanged"

# True when the word is an option rather than a positional argument: an
# argument starting with / is a path once it holds a second / or exists.
_quillb_is_option() {
  local word=$1
  [[ ${#word} -ge 2 ]] || return 1
  case $word in
    -*) return 0 ;;
    /*/*) return 1 ;;
    /*) [[ -e $word ]] && return 1; return 0 ;;
  esac
  return 1
}

# Completes the value of option $1 (its written name, without the prefix).
_quillb_value() {
  local option=$1 cur=$2
  case $option in
    showfiles*|showsummary*|nokwada*|nokwcxx*|rstrip*|ttrace*|makebak*|check*|onlychanged*)
      COMPREPLY=($(compgen -W "true false" -- "$cur")) ;;
    lang*) COMPREPLY=($(compgen -W "c++ ada" -- "$cur")) ;;
    homedir*|dsmpath*|tempath*) compopt -o filenames; COMPREPLY=($(compgen -d -- "$cur")) ;;
    depfile*) compopt -o filenames; COMPREPLY=($(compgen -f -- "$cur")) ;;
    *) COMPREPLY=() ;;
  esac
}

# Directories and the files whose names end in one of the extensions (any case).
_quillb_files() {
  local cur=$1 extension shopt_saved
  shift
  compopt -o filenames
  local IFS=$'\n'
  COMPREPLY=($(compgen -d -- "$cur"))
  shopt_saved=$(shopt -p nocaseglob)
  shopt -s nocaseglob
  for extension in "$@"; do
    COMPREPLY+=($(compgen -G "${cur}*${extension}"))
  done
  eval "$shopt_saved"
}

_quillb() {
  local cur prev words cword
  if declare -F _init_completion >/dev/null; then
    _init_completion || return
  else
    cur=${COMP_WORDS[COMP_CWORD]}
    prev=${COMP_WORDS[COMP_CWORD-1]}
    words=("${COMP_WORDS[@]}")
    cword=$COMP_CWORD
  fi

  # Walk the words before the cursor: count positionals, and note whether
  # the word before the cursor is an option waiting for its value.
  local i word name positionals=0 first="" pending=""
  for ((i = 1; i < cword; i++)); do
    word=${words[i]}
    if _quillb_is_option "$word"; then
      name=${word#--}; name=${name#[-/]}
      pending=$name
      case $name in ver*|help*) pending="" ;; esac  # they end the run at once
    elif [[ -n $pending ]]; then
      pending=""
    else
      ((positionals++))
      [[ $positionals -eq 1 ]] && first=$word
    fi
  done

  if [[ $cur == -* ]]; then
    local prefix=-
    [[ $cur == --* ]] && prefix=--
    COMPREPLY=($(compgen -P "$prefix" -W "$_quillb_options" -- "${cur#"$prefix"}"))
    return
  fi
  if [[ $cur == /* && $cur != /*/* ]]; then
    COMPREPLY=($(compgen -P / -W "$_quillb_options" -- "${cur#/}"))
    compopt -o filenames
    COMPREPLY+=($(compgen -f -- "$cur"))
    return
  fi
  if [[ -n $pending ]]; then
    _quillb_value "$pending" "$cur"
    return
  fi

  case $positionals in
    0) _quillb_files "$cur" .dsm .qpj ;;
    1) [[ ${first,,} == *.dsm* ]] && _quillb_files "$cur" .tem ;;
    2) [[ ${first,,} == *.dsm* ]] && { compopt -o filenames; COMPREPLY=($(compgen -d -- "$cur")); } ;;
  esac
}
complete -F _quillb quillb
