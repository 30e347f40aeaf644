#!/usr/bin/env bash
# The manual pages render without a single groff warning, and each synopsis
# names every option its tool's usage text and option table name.
#   man_pages_test.sh SOURCE_DIR
set -uo pipefail
man_dir=$1/man
command -v groff >/dev/null || { echo "groff not installed: skipped"; exit 77; }
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

for page in cvpapertoolcups.8 cvpapertoollpr.8 cvps2ps.1; do
  warnings=$(groff -man -ww -z "$man_dir/$page" 2>&1)
  [ -z "$warnings" ] || fail "$page: $warnings"
  if command -v man >/dev/null; then
    warnings=$(MANWIDTH=80 man -l "$man_dir/$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "$page (man -l): $warnings"
  fi
done

# The synopsis of a page as plain text.
synopsis() { groff -man -Tutf8 -P-cbou "$man_dir/$1" 2>/dev/null | sed -n '/^SYNOPSIS/,/^DESCRIPTION/p'; }
check_options() {
  local page=$1; shift
  local text option
  text=$(synopsis "$page")
  for option in "$@"; do
    grep -qE -- "(^|[[ ])$option( |$)" <<<"$text" || fail "$page: synopsis lacks $option"
  done
}
check_options cvpapertoolcups.8 -P -n -w -h -d -t -b -l -r -g -S -m -o -specid -show
check_options cvpapertoollpr.8 -P -n -w -h -d -g -b -t -r -l -S -m -o

[ "$failures" = 0 ] && echo "manual pages: all checks passed"
exit $((failures != 0))
