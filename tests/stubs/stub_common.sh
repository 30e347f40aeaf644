# Shared by the CUPS stand-ins: logs the call as one file of $STUB_LOG_DIR (the
# words each ended by a zero byte; names sort in call order).
[ -z "${STUB_LOG_DIR:-}" ] || printf '%s\0' "${0##*/}" "$@" >"$STUB_LOG_DIR/$(date +%s%N)-$$"
stub_ppd() { printf '%s/etc/cups/ppd/%s.ppd' "$CORVANE_TEST_ROOT" "$1"; }
# The options the stand-ins keep, a KEY=VALUE line each: the queue's defaults
# and the user's own.  stub_set FILE KEY [LINE] drops KEY's line, then adds LINE.
STUB_CUPS=$CORVANE_TEST_ROOT/stub-cups
stub_set() {
  mkdir -p "$STUB_CUPS" && touch "$STUB_CUPS/$1" && grep -v "^$2=" "$STUB_CUPS/$1" >"$STUB_CUPS/$1.new"
  [ -z "${3:-}" ] || echo "$3" >>"$STUB_CUPS/$1.new"
  mv "$STUB_CUPS/$1.new" "$STUB_CUPS/$1"
}
