# bash completion for pictorel-cli: commands, options, and the catalogue's models, carriers and
# operations as the installed program itself lists them.

_pictorel_cli_models()
{
    pictorel-cli models 2>/dev/null | cut -f"$1" | sort -u
}

_pictorel_cli_operations()
{
    pictorel-cli --help 2>/dev/null | sed -n 's/.*Operations: \(.*\)\./\1/p' | tr -d ',' | tr ' ' '\n'
}

_pictorel_cli()
{
    local cur prev words cword
    _init_completion || return

    if [[ $cword -eq 1 ]]; then
        COMPREPLY=($(compgen -W 'models make --help --version' -- "$cur"))
        return
    fi

    local IFS=$'\n'
    case $prev in
        --model)
            COMPREPLY=($(compgen -W "$(_pictorel_cli_models 2)" -- "$cur"))
            return ;;
        --all-models)
            COMPREPLY=($(compgen -W "$(_pictorel_cli_models 1)" -- "$cur"))
            return ;;
        --op)
            COMPREPLY=($(compgen -W "$(_pictorel_cli_operations)" -- "$cur"))
            return ;;
        --fit)
            COMPREPLY=($(compgen -W $'cover\nwidth\nheight\nboth' -- "$cur"))
            return ;;
        --format)
            COMPREPLY=($(compgen -W $'jpeg\ngif\npng\nbmp' -- "$cur"))
            return ;;
        --direction)
            COMPREPLY=($(compgen -W $'0\n1\n2\n3' -- "$cur"))
            return ;;
        --angle)
            COMPREPLY=($(compgen -W $'0\n90\n180\n270' -- "$cur"))
            return ;;
        --catalogue | --settings | --calendar-settings | --frame | --stamp)
            _filedir
            return ;;
        -o)
            _filedir
            return ;;
        --size | --limit | --offset | --place | --margin | --text | --font | --text-color | --shadow | \
            --calendar | --calendar-font | --calendar-spacing)
            return ;;
    esac

    if [[ $cur == -* ]]; then
        local options
        case ${words[1]} in
            models) options='--catalogue' ;;
            make)
                options=$'--model\n--size\n--limit\n--all-models\n--catalogue\n--fit\n--offset\n--place\n--margin
--op\n--format\n--stamp\n--keep-aspect\n--frame\n--text\n--font\n--text-color\n--shadow\n--direction\n--angle
--settings\n--calendar\n--calendar-settings\n--calendar-font\n--calendar-spacing\n-o' ;;
        esac
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
        return
    fi
    [[ ${words[1]} == make ]] && _filedir 'jpg|jpeg|jpe|jfif|bmp|dib|png|gif|tif|tiff|pcx' # and each in capitals
} &&
    complete -F _pictorel_cli pictorel-cli
