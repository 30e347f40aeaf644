# Shared by the CUPS stand-ins: logs the call as one file in $STUB_LOG_DIR,
# the program name and each argument followed by a zero byte; file names
# (start time in nanoseconds, process id) sort in call order.
[ -z "${STUB_LOG_DIR:-}" ] || for arg in "${0##*/}" "$@"; do printf '%s\0' "$arg"; done \
  >"$STUB_LOG_DIR/$(date +%s%N)-$$"
stub_ppd() { printf '%s/etc/cups/ppd/%s.ppd' "$CORVANE_TEST_ROOT" "$1"; }
