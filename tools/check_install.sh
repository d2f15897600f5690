#!/usr/bin/env bash
# Installs the build into an empty folder, checks what lands where, runs the
# installed command line from there, then builds the .deb and runs the
# command line from the package's own tree.
# check_install.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix

cmake --install "$build" --prefix "$prefix" >/dev/null
expect=(bin/zambrix-cli share/zambrix/zambrix5.html share/zambrix/init.wav share/zambrix/error.wav
  share/zambrix/done.wav share/zambrix/slide.wav share/zambrix/ok.wav share/man/man1/zambrix-cli.1
  share/bash-completion/completions/zambrix-cli)
if grep -q '^ZAMBRIX_GUI:BOOL=ON' "$build/CMakeCache.txt"; then
  expect+=(bin/zambrix share/applications/zambrix.desktop share/icons/hicolor/scalable/apps/zambrix.svg)
fi
for f in "${expect[@]}"; do
  [ -e "$prefix/$f" ] || { echo "not installed: $f"; exit 1; }
done
# The installed program runs from anywhere, without the build folder.
mv "$prefix" "$work/moved"
prefix=$work/moved
cd "$work"
"$prefix/bin/zambrix-cli" --version | grep -q '^zambrix-cli '
"$prefix/bin/zambrix-cli" --board sim --settings-dir "$work" -q detect | grep -q 'simulated'
grep -q '^\.TH ZAMBRIX-CLI 1' "$prefix/share/man/man1/zambrix-cli.1"
grep -q 'doctor' "$prefix/share/man/man1/zambrix-cli.1"
# Completion offers commands and part numbers.
out=$(PATH="$prefix/bin:$PATH" bash -c 'source "$1"; COMP_WORDS=(zambrix-cli re); COMP_CWORD=1; _zambrix_cli; echo "${COMPREPLY[*]}"' _ "$prefix/share/bash-completion/completions/zambrix-cli")
[ "$out" = "read" ] || { echo "completion of 're': '$out'"; exit 1; }
out=$(PATH="$prefix/bin:$PATH" bash -c 'source "$1"; COMP_WORDS=(zambrix-cli read -d 27C2); COMP_CWORD=3; _zambrix_cli; echo "${COMPREPLY[*]}"' _ "$prefix/share/bash-completion/completions/zambrix-cli")
[[ " $out " == *" 27C256 "* ]] || { echo "completion of '-d 27C2': '$out'"; exit 1; }

if command -v dpkg-shlibdeps >/dev/null && command -v dpkg-deb >/dev/null; then
  (cd "$build" && cpack -G DEB -B "$work/pkg" >/dev/null)
  deb=$(ls "$work"/pkg/*.deb)
  dpkg-deb -c "$deb" >"$work/contents"
  for f in "${expect[@]}"; do
    grep -q "\./usr/$f\$" "$work/contents" || { echo "not in the package: $f"; exit 1; }
  done
  dpkg-deb -f "$deb" Depends | grep -q 'libc6' || { echo "no Debian dependencies recorded"; exit 1; }
  dpkg-deb -x "$deb" "$work/root"
  "$work/root/usr/bin/zambrix-cli" --version | grep -q '^zambrix-cli '
fi
echo "install check passed"
