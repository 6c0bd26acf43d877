#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a desktop and a
# package manager need from it, then makes the Debian package from the same
# build and checks its contents. Nothing is installed on the machine.
# Usage: check_install.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
id=org.zorvane.Zorvane
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

prefix=$tmp/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null

files=(
  bin/zorvane bin/zorv
  share/applications/$id.desktop
  share/metainfo/$id.metainfo.xml
  share/icons/hicolor/scalable/apps/$id.svg
  share/icons/hicolor/48x48/apps/$id.png
  share/icons/hicolor/256x256/apps/$id.png
  share/man/man1/zorv.1.gz share/man/man1/zorvane.1.gz
  share/bash-completion/completions/zorv
  share/doc/zorvane/copyright share/doc/zorvane/changelog.gz
)
for f in "${files[@]}"; do
  [ -f "$prefix/$f" ] || fail "not installed: $f"
done
for b in zorvane zorv; do
  [ -x "$prefix/bin/$b" ] || fail "not executable: bin/$b"
done
for size in 48 256; do
  file -b "$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png" | grep -q "PNG image data, $size x $size" ||
    fail "icon ${size}x${size} is not a $size px PNG"
done

desktop-file-validate "$prefix/share/applications/$id.desktop" || fail "desktop entry"
grep -qx 'Exec=zorvane --data-home' "$prefix/share/applications/$id.desktop" ||
  fail "desktop entry does not start zorvane in its data folder"
appstreamcli validate --no-net --no-color "$prefix/share/metainfo/$id.metainfo.xml" >"$tmp/as.txt" ||
  { cat "$tmp/as.txt" >&2; fail "AppStream metadata"; }
gzip -t "$prefix/share/man/man1/zorv.1.gz" || fail "manual page"

# The installed command runs from anywhere, without the source or build folder.
(cd "$tmp" && "$prefix/bin/zorv" --help) >"$tmp/help.txt" || fail "installed zorv --help"
grep -q 'zorv files' "$tmp/help.txt" || fail "installed zorv --help prints no usage"

# The completion offers the sub-commands, the values of an option and the
# options of zorv sheet.
completions=$(bash -c '
  source "$1"
  t() { COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); COMPREPLY=(); _zorv; echo "${COMPREPLY[*]}"; }
  t zorv files ""
  t zorv files run --mode ""
  t zorv sheet --' _ "$prefix/share/bash-completion/completions/zorv")
[ "$completions" = $'list names import-names filter target run --help\ncopy move\n--sheet --all --help' ] ||
  fail "bash completion offers: $completions"

# The package, made from the same build into a folder of its own.
(cd "$build" && cpack -G DEB -B "$tmp/pkg" --config CPackConfig.cmake >"$tmp/cpack.txt" 2>&1) ||
  { cat "$tmp/cpack.txt" >&2; fail "cpack"; }
debs=("$tmp"/pkg/zorvane_*_amd64.deb)
[ -f "${debs[0]}" ] || fail "no zorvane_<version>_amd64.deb made"
deb=${debs[0]}
echo "package: $(basename "$deb")"
dpkg-deb -c "$deb" | awk '{print $6}' >"$tmp/contents.txt"
cat "$tmp/contents.txt"
for f in "${files[@]}"; do
  grep -qx "\./usr/$f" "$tmp/contents.txt" || fail "not in the package: /usr/$f"
done
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for p in libqt6core6 libqt6widgets6 libqt6sql6-sqlite fonts-wqy-microhei qt6-translations-l10n; do
  [[ ", $depends," == *", $p"[\ ,]* ]] || fail "package does not depend on $p"
done
# Errors fail the check; warnings are printed for the reader.
lintian_ok=yes
lintian --fail-on error "$deb" >"$tmp/lintian.txt" 2>&1 || lintian_ok=no
grep -v 'root privileges' "$tmp/lintian.txt" || true
[ $lintian_ok = yes ] || fail "lintian reports errors"
echo "install and package checks passed"
