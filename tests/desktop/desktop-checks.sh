#!/usr/bin/env bash
# desktop-checks.sh CHECK SOURCE_DIR BUILD_DIR: one check of the installed editor. Exit 0 passed,
# 1 failed, 77 skipped (a tool the check needs is not installed).
set -euo pipefail
check=$1 src=$2 build=$3
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
app=org.mosaiq.PhotoEditor

need() {
  for tool in "$@"; do
    if ! command -v "$tool" >/dev/null 2>&1; then
      echo "skipped: $tool is not installed"
      exit 77
    fi
  done
}
fail() {
  echo "FAILED: $*" >&2
  exit 1
}

case $check in
install)
  # A prefix install and a DESTDIR install both hold exactly the expected files.
  cmake --install "$build" --prefix "$scratch/prefix" >/dev/null
  (cd "$scratch/prefix" && find . -type f -o -type l | sed 's|^\./||' | LC_ALL=C sort) >"$scratch/got"
  { cat "$src/tests/desktop/installed-files.txt"
    (cd "$src/resources/help" && find . -type f | sed 's|^\./|share/mosaiq/help/|')
  } | LC_ALL=C sort >"$scratch/want"
  diff -u "$scratch/want" "$scratch/got" || fail "installed files differ from the expected list"
  # The manifest CMake leaves for uninstalling names the same files.
  [ -s "$build/install_manifest.txt" ] || fail "no install_manifest.txt left for uninstalling"
  sed "s|^$scratch/prefix/||" "$build/install_manifest.txt" | LC_ALL=C sort >"$scratch/manifest"
  diff -u "$scratch/want" "$scratch/manifest" || fail "install_manifest.txt differs"
  DESTDIR="$scratch/dest" cmake --install "$build" --prefix /opt/mosaiq >/dev/null
  (cd "$scratch/dest/opt/mosaiq" && find . -type f | sed 's|^\./||' | LC_ALL=C sort) >"$scratch/got2"
  diff -u "$scratch/want" "$scratch/got2" || fail "DESTDIR install differs"
  # The installed editor answers without a display and finds nothing of a build beside it.
  "$scratch/prefix/bin/mosaiq" --version | grep -q '^mosaiq [0-9]' || fail "mosaiq --version"
  [ ! -e "$scratch/prefix/bin/Data" ] || fail "a data directory was installed beside the programs"
  for size in 16 48 512; do
    file "$scratch/prefix/share/icons/hicolor/${size}x${size}/apps/$app.png" |
      grep -q "$size x $size" || fail "icon $size is not $size pixels"
  done
  ;;
validate)
  need desktop-file-validate appstreamcli
  desktop-file-validate "$src/resources/desktop/$app.desktop"
  appstreamcli validate --no-net "$src/resources/desktop/$app.metainfo.xml"
  grep -qx 'Exec=mosaiq %F' "$src/resources/desktop/$app.desktop" || fail "Exec line"
  for type in application/x-mosaiq-project application/x-mosaiq-pack; do
    grep -q "^MimeType=.*$type;" "$src/resources/desktop/$app.desktop" || fail "MimeType lacks $type"
  done
  ;;
mime)
  # The file types resolve after an install into a scratch XDG_DATA_HOME, as a desktop sees them.
  need update-mime-database xdg-mime
  data="$scratch/data"
  mkdir -p "$data/mime/packages" "$data/applications"
  cp "$src/resources/desktop/$app.mime.xml" "$data/mime/packages/$app.xml"
  cp "$src/resources/desktop/$app.desktop" "$data/applications/"
  update-mime-database "$data/mime"
  printf 'anything' >"$scratch/collage.dcf"
  printf '\0\0\0\0\0\0\0\0' >"$scratch/frames.irs"
  # As GNOME, xdg-mime asks gio, which reads the shared MIME database of XDG_DATA_HOME.
  need gio
  export XDG_DATA_HOME="$data" XDG_DATA_DIRS="/usr/share" XDG_CURRENT_DESKTOP=GNOME
  got=$(xdg-mime query filetype "$scratch/collage.dcf")
  [ "${got%%;*}" = application/x-mosaiq-project ] || fail ".dcf is $got"
  got=$(xdg-mime query filetype "$scratch/frames.irs")
  [ "${got%%;*}" = application/x-mosaiq-pack ] || fail ".irs is $got"
  if command -v update-desktop-database >/dev/null; then
    update-desktop-database "$data/applications"
    got=$(xdg-mime query default application/x-mosaiq-project)
    [ "$got" = "$app.desktop" ] || fail "no application opens projects (got '$got')"
  fi
  ;;
cli-help)
  # Every command the program lists is in its manual page, and answers COMMAND --help.
  cli="$build/bin/mosaiq-cli"
  "$cli" --help >"$scratch/help" || fail "mosaiq-cli --help exit status"
  commands=$(awk '/^  [a-z]/ { print $1 }' "$scratch/help")
  [ -n "$commands" ] || fail "no commands listed"
  for c in $commands; do
    man_name=${c//-/\\\\-}
    grep -Eq "^\.BI? \"?$man_name([ \"]|$)" "$src/resources/desktop/man/mosaiq-cli.1" ||
      grep -Eq "^\.BI? \"?$c([ \"]|$)" "$src/resources/desktop/man/mosaiq-cli.1" ||
      fail "$c is missing from mosaiq-cli.1"
    "$cli" "$c" --help >"$scratch/one" || fail "$c --help exit status"
    grep -q "^usage: mosaiq-cli .*$c" "$scratch/one" || fail "$c --help prints no usage"
  done
  "$cli" -h | cmp -s - "$scratch/help" || fail "mosaiq-cli -h differs from --help"
  "$cli" --version | grep -Eq '^mosaiq-cli [0-9]+\.[0-9]+' || fail "mosaiq-cli --version"
  grep -qF -- '\-\-version' "$src/resources/desktop/man/mosaiq-cli.1" || fail "--version not in mosaiq-cli.1"
  # Without arguments the usage goes to standard error and the status is 2.
  status=0; "$cli" >"$scratch/none.out" 2>"$scratch/none.err" || status=$?
  [ "$status" = 2 ] || fail "mosaiq-cli without arguments exits $status"
  [ ! -s "$scratch/none.out" ] && grep -q '^usage: mosaiq-cli' "$scratch/none.err" ||
    fail "mosaiq-cli without arguments prints no usage on standard error"
  "$build/bin/mosaiq" --help | grep -q '^usage: mosaiq \[FILE...\]' || fail "mosaiq --help"
  ;;
completion)
  need bash
  [ -f /usr/share/bash-completion/bash_completion ] || { echo "skipped: no bash-completion"; exit 77; }
  PATH="$build/bin:$PATH" bash -c '
    source /usr/share/bash-completion/bash_completion
    source "$1/resources/desktop/mosaiq-cli.bash"
    complete_words() { COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); COMP_LINE="$*"; COMP_POINT=${#COMP_LINE};
                       COMPREPLY=(); _mosaiq_cli mosaiq-cli "${COMP_WORDS[-1]}" "${COMP_WORDS[-2]}"; echo "${COMPREPLY[*]}"; }
    got=$(complete_words mosaiq-cli re)
    [[ " $got " == *" render "* && " $got " == *" resave "* ]] || { echo "commands: $got"; exit 1; }
    cd "$2" && touch a.dcf b.txt
    touch c.png
    for c in dump render resave; do
      got=$(complete_words mosaiq-cli $c "")
      [[ "$got" == *a.dcf* && "$got" != *b.txt* && "$got" != *c.png* ]] || { echo "$c files: $got"; exit 1; }
    done
    got=$(complete_words mosaiq-cli render a.dcf "")
    [[ "$got" == *c.png* && "$got" != *a.dcf* ]] || { echo "render output: $got"; exit 1; }
    got=$(complete_words mosaiq-cli convert --format "")
    [[ " $got " == *" PNG "* && " $got " == *" TIF "* ]] || { echo "formats: $got"; exit 1; }
    got=$(complete_words mosaiq-cli convert --format p)
    [[ " $got " == *" PNG "* && " $got " == *" PNM "* && " $got " == *" PCX "* ]] || { echo "formats p: $got"; exit 1; }
  ' _ "$src" "$scratch"
  ;;
package)
  # The Debian package from this build holds the programs and the desktop files.
  need dpkg-deb dpkg-shlibdeps
  bash "$src/scripts/package.sh" --build-dir "$build" --out "$scratch" >/dev/null
  deb=$(ls "$scratch"/mosaiq_*.deb)
  dpkg-deb --contents "$deb" | awk '{ print $6 }' >"$scratch/contents"
  for f in usr/bin/mosaiq usr/bin/mosaiq-cli usr/share/applications/$app.desktop \
           usr/share/metainfo/$app.metainfo.xml usr/share/mime/packages/$app.xml \
           usr/share/icons/hicolor/scalable/apps/$app.svg usr/share/icons/hicolor/256x256/apps/$app.png \
           usr/share/man/man1/mosaiq.1.gz usr/share/doc/mosaiq/copyright; do
    grep -qx "\./$f" "$scratch/contents" || fail "package lacks $f"
  done
  depends=$(dpkg-deb --field "$deb" Depends)
  for lib in libqt6widgets6 libmagick++-6.q16 libjpeg62-turbo; do
    [[ $depends == *$lib* ]] || fail "Depends lacks $lib: $depends"
  done
  ;;
*)
  fail "unknown check $check"
  ;;
esac
echo "passed: $check"
