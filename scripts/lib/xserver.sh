# start_xvfb WIDTH HEIGHT [XVFB_ARGUMENT...]: starts a private Xvfb with a screen of that
# size (24-bit colour, no TCP, no reset, no window manager) on the first free display from 60 up,
# waits until it answers, and sets XVFB_PID and exports DISPLAY. Returns non-zero when no
# server could be started. Sourced by the scripts and tests that need an X server.
#
# A display is free when neither its lock file nor its socket exists, and no one listens
# on its abstract socket: that one is shared by every root on the machine (a chroot has a
# /tmp of its own but not a network namespace), so two servers could otherwise take the
# same number and clients would reach the wrong one. A lock whose server is gone (a run
# killed outright leaves one) is removed, with its socket, and the display used again.
#
# The server ends with the shell that started it, however that shell ends (even by
# SIGKILL): it is started with a parent-death signal, and on SIGTERM it removes its lock.
XVFB_PID=""

# xvfb_clear_stale N: removes display N's lock and socket when no server owns them.
xvfb_clear_stale() {
  local n="$1" pid
  grep -q "@/tmp/.X11-unix/X${n}\$" /proc/net/unix 2>/dev/null && return 1
  if [ -e "/tmp/.X${n}-lock" ]; then
    pid="$(tr -dc '0-9' <"/tmp/.X${n}-lock" 2>/dev/null)"
    [ -n "$pid" ] && [ -d "/proc/$pid" ] && return 1
    rm -f "/tmp/.X${n}-lock" 2>/dev/null || return 1
  fi
  if [ -e "/tmp/.X11-unix/X${n}" ]; then
    rm -f "/tmp/.X11-unix/X${n}" 2>/dev/null || return 1
  fi
  return 0
}

start_xvfb() {
  local width="$1" height="$2" n i
  shift 2
  for n in $(seq 60 199); do
    if [ -e "/tmp/.X${n}-lock" ] || [ -e "/tmp/.X11-unix/X${n}" ]; then
      xvfb_clear_stale "$n" || continue
    fi
    grep -q "@/tmp/.X11-unix/X${n}\$" /proc/net/unix 2>/dev/null && continue
    # -noreset: a server that resets when its last client leaves refuses the next one for
    # a moment, and a test that starts one program after another would meet that moment.
    setpriv --pdeathsig TERM \
      Xvfb ":$n" -screen 0 "${width}x${height}x24" -nolisten tcp -noreset "$@" >/dev/null 2>&1 &
    XVFB_PID=$!
    export DISPLAY=":$n"
    for i in $(seq 1 100); do
      # Two servers started at once may both have found the display free; the one whose
      # lock holds is the one that answers. A client of the other would share its display.
      if xdpyinfo >/dev/null 2>&1; then
        [ "$(tr -dc '0-9' <"/tmp/.X${n}-lock" 2>/dev/null)" == "$XVFB_PID" ] && return 0
        break
      fi
      kill -0 "$XVFB_PID" 2>/dev/null || break
      sleep 0.05
    done
    kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null
    XVFB_PID=""
  done
  export DISPLAY=""
  return 1
}

# end_process PID SECONDS: asks the process to end (SIGTERM), gives it up to SECONDS, then
# kills it (SIGKILL), and reaps it when it is a child of this shell.
end_process() {
  local pid="$1" i
  kill "$pid" 2>/dev/null || { wait "$pid" 2>/dev/null; return 0; }
  for i in $(seq 1 $(($2 * 10))); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -9 "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  return 0
}

# stop_xvfb: ends the server start_xvfb started, if any, and waits until it has gone (a
# server that does not go within five seconds is killed, and its lock removed).
stop_xvfb() {
  if [ -n "$XVFB_PID" ] && kill -0 "$XVFB_PID" 2>/dev/null; then
    end_process "$XVFB_PID" 5
    [ -n "${DISPLAY:-}" ] && xvfb_clear_stale "${DISPLAY#:}"
  fi
  XVFB_PID=""
  return 0
}
