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
      --entry | --index | --image | -o | --output | -s | --size | --language | --format | --sizes | --hotspot | --add) ((i++)) ;;
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
    --image | -s | --size | --language | --sizes | --hotspot)
      return
      ;;
    --format)
      COMPREPLY=($(compgen -W $'ico\nbmp\npng\ncur' -- "$cur"))
      return
      ;;
    --entry)
      [ -n "$file" ] || return
      COMPREPLY=($(compgen -W "$(pictrove list -- "${file/#\~/$HOME}" 2>/dev/null |
        sed -n 's/^[0-9]*\tIcon \[\(.*\)\]$/\1/p')" -- "$cur"))
      return
      ;;
  esac

  if [ -z "$command" ]; then
    COMPREPLY=($(compgen -W $'list\ninfo\nsave\nextract\nthumbnail\ncreate\nlint\nset-icon\nhelp\n--help\n--version' -- "$cur"))
    return
  fi
  if [ "$command" = help ]; then
    [ -z "$file" ] && COMPREPLY=($(compgen -W $'list\ninfo\nsave\nextract\nthumbnail\ncreate\nlint\nset-icon' -- "$cur"))
    return
  fi
  if [[ $cur == -* ]]; then
    local options
    case $command in
      list) options=$'--cursors\n--json' ;;
      info) options=$'--cursors\n--entry\n--index\n--all\n--language\n--json' ;;
      save) options=$'--cursors\n--entry\n--index\n--image\n-s\n--size\n--format\n--language\n--force' ;;
      extract) options=$'--cursors\n--png\n--all-images\n--overwrite\n--skip-existing\n--language\n--json\n-q\n--quiet\n-o\n--output' ;;
      thumbnail) options=$'-s\n--size\n--entry\n--index\n--language\n--force' ;;
      create) options=$'--sizes\n--enlarge\n--png\n--bmp\n--hotspot' ;;
      lint) options=$'--all\n--json' ;;
      set-icon) options=$'--entry\n--index\n--add\n--strip-signature\n-o\n--output' ;;
    esac
    COMPREPLY=($(compgen -W "$options"$'\n-h\n--help\n--version' -- "$cur"))
    return
  fi
  COMPREPLY=($(compgen -f -- "$cur"))
}

complete -o filenames -F _pictrove pictrove
