# Shared by the CUPS stand-ins: logs the call as one file of $STUB_LOG_DIR (the
# words each ended by a zero byte; names sort in call order).
[ -z "${STUB_LOG_DIR:-}" ] || printf '%s\0' "${0##*/}" "$@" >"$STUB_LOG_DIR/$(date +%s%N)-$$"
stub_ppd() { printf '%s/etc/cups/ppd/%s.ppd' "$CORVANE_TEST_ROOT" "$1"; }
