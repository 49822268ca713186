# bash completion for mosaiq-cli: command names from the program's own help, file names after them.
_mosaiq_cli() {
    local cur prev words cword
    _init_completion || return
    local i command=""
    for ((i = 1; i < cword; i++)); do
        case "${words[i]}" in
        --data) ((i++)) ;;
        -*) ;;
        *) command="${words[i]}"; break ;;
        esac
    done
    if [[ $prev == --data || $prev == --output ]]; then
        _filedir -d
        return
    fi
    if [[ $command == render && $prev == --paper ]]; then
        COMPREPLY=($(compgen -W "A5 A5L A4 A4L A3 A3L Letter LetterL 10x15 10x15L 13x18 13x18L" -- "$cur"))
        return
    fi
    if [[ $command == render && ($prev == --scale || $prev == --dpi) ]]; then
        return
    fi
    if [[ -z $command ]]; then
        local commands
        commands=$("${words[0]}" --help 2>&1 | awk '/^  [a-z]/ { print $1 }')
        COMPREPLY=($(compgen -W "--data --help --version $commands" -- "$cur"))
        return
    fi
    case "$command" in
    dump | resave) _filedir dcf ;;
    render)
        # The project first, then the picture to write; options anywhere.
        if [[ $cur == -* ]]; then
            COMPREPLY=($(compgen -W "--scale --dpi --paper --help" -- "$cur"))
        elif ((cword == i + 1)); then
            _filedir dcf
        else
            _filedir '@(png|jpg|jpeg|bmp|gif|tif|tiff|pcx|pnm|webp|pdf)'
        fi
        ;;
    import-photos) _filedir '@(jpg|jpeg|heic|heif|hif|avif|webp|png|bmp|gif|tif|tiff|pcx|pnm|wmf|emf)' ;;
    import-pack) _filedir irs ;;
    subject) _filedir '@(jpg|jpeg|heic|heif|hif|avif|webp|png|bmp|gif|tif|tiff|pcx|pnm|tga)' ;;
    wallpaper)
        if ((cword == i + 1)); then
            COMPREPLY=($(compgen -W "set restore" -- "$cur"))
        else
            _filedir dcf
        fi
        ;;
    effect)
        if ((cword == i + 1)); then
            COMPREPLY=($(compgen -W "erode dilate noise jitter median contour emboss edge sharpen blur soften mean smooth" -- "$cur"))
        else
            _filedir
        fi
        ;;
    arrange)
        if [[ $cur == -* ]]; then
            COMPREPLY=($(compgen -W "--layout --size --spacing --margin --fill --corner-radius --centre --background --seed --in --help" -- "$cur"))
        elif [[ $prev == --layout ]]; then
            COMPREPLY=($(compgen -W "rows grid tree" -- "$cur"))
        elif [[ $prev == --size || $prev == --spacing || $prev == --margin || $prev == --seed || $prev == --background ]]; then
            COMPREPLY=()
        elif [[ $prev == --in ]]; then
            _filedir dcf
        else
            _filedir '@(dcf|png|jpg|jpeg|bmp|gif|tif|tiff|webp|heic|heif|avif|pcx|pnm|tga)'
        fi
        ;;
    convert | make-pack)
        if [[ $cur == -* ]]; then
            COMPREPLY=($(compgen -W "--format --output --type --window --help" -- "$cur"))
        elif [[ $prev == --format ]]; then
            COMPREPLY=($(compgen -W "JPG BMP GIF PNG PNM TGA TIF PCX" -- "${cur^^}"))
        elif [[ $prev == --type ]]; then
            COMPREPLY=($(compgen -W "frames masks cliparts decorations brushes" -- "$cur"))
        else
            _filedir
        fi
        ;;
    *) _filedir ;;
    esac
}
complete -F _mosaiq_cli mosaiq-cli
