#!/usr/bin/env bash
# The install rules, the .deb and the manual pages of a default build made here
# (data/layout, stripped hardened programs with the real paths, fields, licence, lintian -I, synopses, words whole).
#   packaging_test.sh SOURCE_DIR CXX_COMPILER
set -uo pipefail
source_dir=$1 cxx=$2 data=$1/tests/packaging/data
missing=$(for tool in dpkg-deb lintian readelf groff man; do command -v $tool >/dev/null || echo $tool; done)
[ -z "$missing" ] || { echo "not installed:" $missing "(skipped)"; exit 77; }
work=$(mktemp -d) failures=0 && build=$work/build deb=$work/deb
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
# step NAME COMMAND...: a step the other checks need; the test stops if it fails.
step() { "${@:2}" >"$work/$1.log" 2>&1 || { tail -50 "$work/$1.log"; echo "FAIL: $1"; exit 1; }; }
layout() { grep -v '^#' "$data/layout" | sed "s|PREFIX|$1|" | sort; }

step configure cmake -S "$source_dir" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER="$cxx" -DCORVANE_TESTS=OFF -DCMAKE_INSTALL_PREFIX=/usr/local
step build cmake --build "$build" -j2 --target corvane_installed
DESTDIR=$work/stage step install cmake --install "$build"
(cd "$work/stage" && find . -type f -printf '%M /%P\n' -o -type l -printf '%M /%P -> %l\n' | sort) |
  diff -u --label data/layout --label installed <(layout /usr/local) - || fail "installed files differ from data/layout"

cd "$build" && step cpack cpack -G DEB
package=$(echo "$build"/packages/*.deb)
dpkg-deb -c "$package" | sed -nE 's|^([-l]\S+) +\S+ +\S+ +\S+ +\S+ +\./|\1 /|p' | sort |
  diff -u --label data/layout --label packaged <(layout /usr) - || fail "packaged files differ from data/layout"
dpkg-deb -c "$package" | awk '$2 != "root/root"' | grep . && fail "files not owned by root"
dpkg-deb -f "$package" Depends Recommends | grep -cE '^(Depends: (.*, )?cups-client|Recommends: (.*, )?psutils)(,|$| )' |
  grep -qx 2 || fail "not both Depends cups-client and Recommends psutils: $(dpkg-deb -f "$package" Depends Recommends)"
lintian -I "$package" >"$work/lintian" 2>&1 || fail "lintian exited with status $?"
grep -E '^([EW]: |I: .*hardening)' "$work/lintian" && fail "lintian: errors, warnings or hardening tags (above)"

dpkg-deb -x "$package" "$deb"
grep -qx 'License: Apache-2.0' "$deb"/usr/share/doc/*/copyright || fail "the copyright file does not name Apache-2.0"
declare -A banner=([cvpapertoollpr]="LPRng Paper Size Tool" [cvpapertoolcups]="CUPS Paper Size Tool")
for program in "$deb"/opt/corvane/*/bin/{cvpapertoollpr_*,lpd/*}; do
  name=${program#"$deb"} tool=${program##*/}
  readelf -S -W "$program" | grep -qE ' \.(debug_|symtab)' && fail "$name is not stripped"
  grep -q CORVANE_TEST_ROOT "$program" && fail "$name is a test copy (reads CORVANE_TEST_ROOT)"
  readelf -d "$program" | grep -qE '\(FLAGS(_1)?\) .*\b(BIND_NOW|NOW)\b' || fail "$name: no BIND_NOW (full RELRO)"
  if [ -n "${banner[${tool%_*}]:-}" ]; then
    "$program" </dev/null | grep -qF "${banner[${tool%_*}]}" || fail "$name does not run as ${tool%_*}"
  fi
done

# Manual pages and aliases as installed: every PPD keyword, path and command name whole at 80 columns.
for page in "$deb"/usr/share/man/man*/*.gz; do
  warnings=$({ zcat "$page" | groff -man -ww -z; MANWIDTH=80 man -l "$page" >"$work/80"; MANWIDTH=9999 man -l "$page" >"$work/wide"; } 2>&1)
  [ -z "$warnings" ] || fail "${page##*/}: $warnings"
  for token in $(grep -oE '\*[A-Z][A-Za-z]+|(^|[ "(])/[a-z][^ ,;:()"]*|\<cv[a-z0-9_]+|[a-z]+\([1-8]\)' "$work/wide" | sed -E 's/^[ "(]|\(.\)$//g' | sort -u); do
    [ "$(grep -oF -- "$token" "$work/wide" | wc -l)" = "$(grep -oF -- "$token" "$work/80" | wc -l)" ] || fail "${page##*/}: $token broken at 80 columns"
  done
done
while read -r page options; do
  text=$(zcat "$deb"/usr/share/man/man*/"$page.gz" | groff -man -Tutf8 -P-cbou 2>/dev/null |
    sed -n '/^SYNOPSIS/,/^DESCRIPTION/p')
  for option in $options; do
    grep -qE -- "(^|[[ ])$option( |$)" <<<"$text" || fail "$page: synopsis lacks $option"
  done
done < <(grep -v '^#' "$data/synopsis_options")

[ "$failures" = 0 ] && echo "packaging: all checks passed"
exit $((failures != 0))
