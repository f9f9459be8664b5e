#!/usr/bin/env bash
# The sound soak: fretlets-cli plays through a private PulseAudio server whose
# only sink is a null sink, and the sink's monitor is recorded.
#   1. idle: the synthesizer ready and nothing sounding, in fretlets-cli and in
#      the desktop program; the CPU of the program and of the sound server is
#      sampled over 10 s;
#   2. a sample score on repeat on a quiet machine (SOAK_QUIET_SECONDS);
#   3. a steady tone while two busy processes load both cores, to check the
#      recording itself;
#   4. the score for SOAK_SECONDS beside the same two busy processes.
# For 2 to 4 it counts dropouts (runs of 1 ms or more of digital silence
# between the first and the last sound of the recording) and prints the
# stream latency PulseAudio reports. Goals: 0 dropouts, at most 15 ms of
# stream latency, under 2 % of a core each while idle.
#
# BUILD (default build) holds bin/fretlets-cli and, for the restart of the
# sound after a quiet while, bin/fretlets-bench.
set -euo pipefail

BUILD=${BUILD:-build}
SOAK_SECONDS=${SOAK_SECONDS:-60}
SOAK_QUIET_SECONDS=${SOAK_QUIET_SECONDS:-20}
SCORE=${SOAK_SCORE:-resources/samples/Twelve-bar blues in A.score}
CLI=$BUILD/bin/fretlets-cli
BENCH=$BUILD/bin/fretlets-bench

for tool in pulseaudio parecord pactl python3; do
  command -v "$tool" >/dev/null || { echo "soak: $tool is missing (make setup)" >&2; exit 1; }
done
[ -x "$CLI" ] || { echo "soak: $CLI is not built" >&2; exit 1; }

work=$(mktemp -d /tmp/fretlets-soak.XXXXXX)
export XDG_RUNTIME_DIR=$work/runtime
export PULSE_RUNTIME_PATH=$XDG_RUNTIME_DIR/pulse
mkdir -p "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
busy=()

cleanup() {
  for pid in "${busy[@]}"; do kill "$pid" 2>/dev/null || true; done
  pulseaudio --kill 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

pulseaudio --daemonize=yes --exit-idle-time=-1 -n \
  --load="module-null-sink sink_name=rec" --load="module-native-protocol-unix" \
  --log-target=file:"$work/pulseaudio.log"
for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
pactl set-default-sink rec
server=$(cat "$PULSE_RUNTIME_PATH/pid")

ticks=$(getconf CLK_TCK)
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
# Percent of one core that each of the given processes takes over 10 s.
sample_cpu() {
  local before=() after=() pid i
  for pid in "$@"; do before+=("$(cpu_ticks "$pid")"); done
  sleep 10
  for pid in "$@"; do after+=("$(cpu_ticks "$pid")"); done
  for i in "${!before[@]}"; do
    awk -v a="${before[$i]}" -v b="${after[$i]}" -v t="$ticks" 'BEGIN {printf "%.1f\n", (b - a) * 10 / t}'
  done
}

latency() {
  pactl list sink-inputs | awk '/Buffer Latency:/ {b = $3} /Sink Latency:/ {s = $3}
    END {if (b != "") printf "%.1f ms (buffer %.1f + sink %.1f)\n", (b + s) / 1000, b / 1000, s / 1000}'
}

# Dropouts and silence in a recording, from its first to its last sound.
dropouts() {
  python3 - "$1" <<'EOF'
import sys, wave
with wave.open(sys.argv[1]) as w:
    rate, channels, width = w.getframerate(), w.getnchannels(), w.getsampwidth()
    data = w.readframes(w.getnframes())
frame = channels * width
frames = len(data) // frame
silent = [data[i * frame:(i + 1) * frame].count(0) == frame for i in range(frames)]
sounding = [i for i, s in enumerate(silent) if not s]
if not sounding:
    print("no sound recorded")
    sys.exit()
first, last = sounding[0], sounding[-1]
runs, run, silence, longest, at = 0, 0, 0, 0, []
for i, s in enumerate(silent[first:last + 1] + [False]):
    if s:
        run += 1
        continue
    if run >= rate // 1000:
        runs += 1
        silence += run
        longest = max(longest, run)
        at.append(f"{(i - run) / rate:.2f} s ({1000 * run / rate:.0f} ms)")
    run = 0
where = f" at {', '.join(at[:5])}" if at else ""
print(f"{runs} dropouts, {100 * silence / (last - first + 1):.1f} % silence, longest "
      f"{1000 * longest / rate:.1f} ms, in {(last - first + 1) / rate:.1f} s of sound{where}")
EOF
}

load() {
  uptime | sed 's/.*load average: /machine load /'
}

# Idle: the synthesizer ready and nothing sounding, from 8 s after start (its
# SoundFont loaded, its output shut after the quiet while).
idle() {
  local label=$1
  shift
  "$@" &
  local pid=$!
  sleep 8
  read -r cli_cpu server_cpu < <(sample_cpu "$pid" "$server" | paste -sd' ')
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  echo "idle CPU, $label: program ${cli_cpu} %, sound server ${server_cpu} % of a core"
}

echo "== idle ($(load))"
idle "fretlets-cli" "$CLI" play --frets x,x,x,x,x,x --seconds 30
if [ -x "$BUILD/bin/fretlets" ]; then
  # The desktop program switches its sound on two seconds after start.
  idle "fretlets (the desktop program)" env QT_QPA_PLATFORM=offscreen HOME="$work" \
    "$BUILD/bin/fretlets"
fi

if [ -x "$BENCH" ]; then
  echo "== the next note after a quiet while"
  "$BENCH" --benchmark_filter=BM_SynthesizerNoteAfterQuiet 2>/dev/null | grep -E "^BM_" || true
fi

play() {
  local seconds=$1 label=$2
  parecord -d rec.monitor --file-format=wav "$work/$label.wav" &
  local recorder=$!
  sleep 0.5
  "$CLI" play "$SCORE" --repeat --seconds "$seconds" &
  local cli=$!
  sleep 5
  local stream cli_cpu= server_cpu=
  stream=$(latency)
  if [ "$seconds" -ge 16 ]; then
    read -r cli_cpu server_cpu < <(sample_cpu "$cli" "$server" | paste -sd' ')
  fi
  wait "$cli"
  sleep 0.5
  kill -INT "$recorder"
  wait "$recorder" || true
  echo "$label: $(dropouts "$work/$label.wav"); stream latency ${stream:-unknown};" \
    "playing CPU: program ${cli_cpu:-?} %, sound server ${server_cpu:-?} %"
}

echo "== quiet machine: $SCORE for $SOAK_QUIET_SECONDS s ($(load))"
play "$SOAK_QUIET_SECONDS" quiet

for _ in 1 2; do
  sh -c 'while :; do :; done' &
  busy+=($!)
done
# The measurement itself, beside the same load: a steady tone, which has no
# silence of its own, streamed with a generous buffer by pacat. A dropout
# here would be the recorder's or the server's, not the program's.
echo "== the recorder: a steady tone for 15 s beside two busy processes ($(load))"
parecord -d rec.monitor --file-format=wav "$work/tone.wav" &
recorder=$!
sleep 0.5
python3 -c '
import math, struct, sys
rate = 44100
period = [int(8000 * math.sin(2 * math.pi * 441 * i / rate)) for i in range(rate // 441)]
block = b"".join(struct.pack("<hh", v, v) for v in period) * 441
for _ in range(15):
    sys.stdout.buffer.write(block)
' | pacat -d rec --format=s16le --rate=44100 --channels=2 --latency-msec=500
sleep 0.5
kill -INT "$recorder"
wait "$recorder" || true
echo "tone: $(dropouts "$work/tone.wav")"

echo "== two busy processes: $SCORE for $SOAK_SECONDS s ($(load))"
play "$SOAK_SECONDS" loaded
