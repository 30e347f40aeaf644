# Shared by the CUPS stand-ins.  Each call is logged as one file in
# $STUB_LOG_DIR holding the program name and its arguments, each followed by
# a zero byte; file names sort in call order.
mkdir -p "$CORVANE_TEST_ROOT/stub-cups"
stub_log() {
  [ -n "${STUB_LOG_DIR:-}" ] || return 0
  mkdir -p "$STUB_LOG_DIR"
  record=$(mktemp "$STUB_LOG_DIR/$(date +%s%N)-XXXXXX")
  for arg in "$@"; do printf '%s\0' "$arg"; done > "$record"
}
stub_ppd() { printf '%s/etc/cups/ppd/%s.ppd' "$CORVANE_TEST_ROOT" "$1"; }
stub_state() { printf '%s/stub-cups/%s' "$CORVANE_TEST_ROOT" "$(printf '%s' "$1" | od -An -tx1 | tr -d ' \n')"; }
