# Sourced by scripts/with-wine inside the virtual display, before the wineserver starts.
# Starts a private PulseAudio server with one null sink, whose monitor is then the
# default recording device that Wine shows; the audio capture test plays a tone into
# the sink and records it back. Everything lives in a temporary folder; the server
# is stopped through CLEANUP. Without pulseaudio nothing is started and the capture
# test skips.
if command -v pulseaudio >/dev/null 2>&1; then
  KESTROVA_PULSE_DIR=$(mktemp -d "${TMPDIR:-/tmp}/kestrova-pulse.XXXXXX")
  mkdir -p "$KESTROVA_PULSE_DIR/home" "$KESTROVA_PULSE_DIR/state"
  # A home and state folder of its own: nothing is written into the user's home.
  HOME="$KESTROVA_PULSE_DIR/home" XDG_RUNTIME_DIR="$KESTROVA_PULSE_DIR" \
  XDG_CONFIG_HOME="$KESTROVA_PULSE_DIR/home" PULSE_STATE_PATH="$KESTROVA_PULSE_DIR/state" \
  PULSE_RUNTIME_PATH="$KESTROVA_PULSE_DIR" \
    pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no --disallow-exit \
      --disallow-module-loading=no --log-target=stderr --log-level=error \
      --load="module-native-protocol-unix socket=$KESTROVA_PULSE_DIR/native auth-anonymous=1" \
      --load="module-null-sink sink_name=kestrova_null format=float32le rate=48000 channels=1" \
      </dev/null >"$KESTROVA_PULSE_DIR/log" 2>&1 &
  KESTROVA_PULSE_PID=$!
  CLEANUP+=("kill $KESTROVA_PULSE_PID; wait $KESTROVA_PULSE_PID; rm -rf '$KESTROVA_PULSE_DIR'")
  for _ in $(seq 100); do [ -S "$KESTROVA_PULSE_DIR/native" ] && break; sleep 0.05; done
  if [ -S "$KESTROVA_PULSE_DIR/native" ]; then
    export PULSE_SERVER="unix:$KESTROVA_PULSE_DIR/native"
    # Clients (Wine's sound driver) keep their cookie and runtime links here too.
    export PULSE_COOKIE="$KESTROVA_PULSE_DIR/cookie" PULSE_RUNTIME_PATH="$KESTROVA_PULSE_DIR"
  else
    echo "pulseaudio did not start; the audio capture test will skip" >&2
  fi
fi
