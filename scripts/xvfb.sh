# Sourced by scripts/test and scripts/run: starts a private Xvfb (1024x768x24, GLX) and exports
# DISPLAY, unless LIMNORA_USE_DISPLAY=1 and a DISPLAY is set. The server ends with the shell.
LimnoraStartXvfb() {
  if [ "${LIMNORA_USE_DISPLAY:-0}" = 1 ] && [ -n "${DISPLAY:-}" ]; then
    return 0
  fi
  local fdfile
  fdfile=$(mktemp)
  Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp +extension GLX >"$fdfile" 2>/dev/null &
  LIMNORA_XVFB_PID=$!
  trap 'kill $LIMNORA_XVFB_PID 2>/dev/null || true' EXIT
  local i
  for i in $(seq 1 100); do
    if [ -s "$fdfile" ]; then break; fi
    sleep 0.05
  done
  if [ ! -s "$fdfile" ]; then
    echo "xvfb: the X server did not start" >&2
    return 1
  fi
  export DISPLAY=":$(head -n1 "$fdfile")"
  rm -f "$fdfile"
}
