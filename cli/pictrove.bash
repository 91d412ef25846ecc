# bash completion for pictrove: commands, the options of each, file and
# folder names, and the names of a module's group icons after --entry.
# Plain bash: it does not need the bash-completion package's helpers.

_pictrove() {
  local cur=${COMP_WORDS[COMP_CWORD]} prev=""
  [ "$COMP_CWORD" -gt 0 ] && prev=${COMP_WORDS[COMP_CWORD - 1]}
  local command="" file="" i word
  for ((i = 1; i < COMP_CWORD; i++)); do
    word=${COMP_WORDS[i]}
    case $word in
      --entry | --index | --image | -o | --output | -s | --size | --language | --add) ((i++)) ;;
      -*) ;;
      *) if [ -z "$command" ]; then command=$word; elif [ -z "$file" ]; then file=$word; fi ;;
    esac
  done

  local IFS=$'\n'
  case $prev in
    -o | --output)
      if [ "$command" = set-icon ]; then COMPREPLY=($(compgen -f -- "$cur")); else COMPREPLY=($(compgen -d -- "$cur")); fi
      return
      ;;
    --add)
      return
      ;;
    --image | -s | --size | --language)
      return
      ;;
    --entry)
      [ -n "$file" ] || return
      COMPREPLY=($(compgen -W "$(pictrove list -- "${file/#\~/$HOME}" 2>/dev/null |
        sed -n 's/^Icon \[\(.*\)\]$/\1/p')" -- "$cur"))
      return
      ;;
  esac

  if [ -z "$command" ]; then
    COMPREPLY=($(compgen -W $'list\ninfo\nsave\nextract\nthumbnail\nset-icon\n--help\n--version' -- "$cur"))
    return
  fi
  if [[ $cur == -* ]]; then
    local options
    case $command in
      list) options=$'--cursors\n--json' ;;
      info) options=$'--cursors\n--entry\n--index\n--all\n--language\n--json' ;;
      save) options=$'--cursors\n--entry\n--index\n--image\n--size\n--format\n--language' ;;
      extract) options=$'--cursors\n--png\n--all-images\n--language\n-q\n--quiet\n-o\n--output' ;;
      thumbnail) options=$'-s\n--size\n--entry\n--index\n--language' ;;
      set-icon) options=$'--entry\n--index\n--add\n--strip-signature\n-o\n--output' ;;
    esac
    COMPREPLY=($(compgen -W "$options"$'\n--help' -- "$cur"))
    return
  fi
  COMPREPLY=($(compgen -f -- "$cur"))
}

complete -o filenames -F _pictrove pictrove
