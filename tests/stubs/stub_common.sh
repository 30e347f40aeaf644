# Shared by the CUPS stand-ins.  Each call is logged as one file in
# $STUB_LOG_DIR holding the program name and its arguments, each followed by
# a zero byte; file names (start time in nanoseconds, then the process id)
# sort in call order.  Apart from date only shell built-ins run, so that the
# stand-ins start quickly: the hardening tests run them thousands of times.
# A stand-in is always started by its path, so "${0%/*}" is its directory.
[ -d "$CORVANE_TEST_ROOT/stub-cups" ] || mkdir -p "$CORVANE_TEST_ROOT/stub-cups"
stub_log() {
  [ -n "${STUB_LOG_DIR:-}" ] || return 0
  [ -d "$STUB_LOG_DIR" ] || mkdir -p "$STUB_LOG_DIR"
  record="$STUB_LOG_DIR/$(date +%s%N)-$$"
  for arg in "$@"; do printf '%s\0' "$arg"; done > "$record"
}
stub_ppd() { printf '%s/etc/cups/ppd/%s.ppd' "$CORVANE_TEST_ROOT" "$1"; }
stub_state() { printf '%s/stub-cups/%s' "$CORVANE_TEST_ROOT" "$(printf '%s' "$1" | od -An -tx1 | tr -d ' \n')"; }
