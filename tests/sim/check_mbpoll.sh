#!/usr/bin/env bash
# An independent Modbus master (mbpoll) reads segments 1, 2 and 3 of the
# virtual sensor over RTU on its pseudo-terminal and over TCP, and finds the
# profile's identity and valid checksums; the sensor refuses a ROM write and,
# with the jumper open, a whole-segment write.
# Usage: check_mbpoll.sh PELINOR_SIM
set -euo pipefail

sim=$1
work=$(mktemp -d)
export PELINOR_PORT_DIR="$work/ports"
pids=()
cleanup() {
  local pid
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

# Starts the sensor in the background with stdin on /dev/null, as a script
# would, and waits for its READY line; sets ready to that line.
start_sim() {
  local name=$1; shift
  local out="$work/$name.out"
  "$sim" "$@" >"$out" 2>"$work/$name.err" </dev/null &
  local pid=$!
  pids+=("$pid")
  local i
  for i in $(seq 1 100); do
    ready=$(grep -m1 '^READY ' "$out" || true)
    [ -n "$ready" ] && return 0
    kill -0 "$pid" 2>/dev/null || fail "pelinor-sim $* ended: $(cat "$work/$name.err")"
    sleep 0.05
  done
  fail "pelinor-sim $* not ready: $(cat "$work/$name.err")"
}

# Reads COUNT holding registers from REF (1-based) and prints them in
# decimal, one a line (mbpoll adds the signed value in parentheses above
# 32767: "34032 (-31504)").
read_regs() { # mbpoll-connection-args... -- REF COUNT
  local args=() ref count
  while [ "$1" != "--" ]; do args+=("$1"); shift; done
  ref=$2; count=$3
  mbpoll "${args[@]}" -t 4 -r "$ref" -c "$count" -1 -o 1 |
    sed -n 's/^\[[0-9]*\]:[[:space:]]*\([0-9]*\).*/\1/p'
}

# Words of a segment as a bash array "segment"; checks its checksum when asked.
read_segment() { # checksum? conn... -- REF
  local check=$1; shift
  mapfile -t segment < <(read_regs "$@" 64)
  [ "${#segment[@]}" -eq 64 ] || fail "segment at ${*: -1}: ${#segment[@]} words"
  if [ "$check" = yes ]; then
    local sum=0 i
    for i in $(seq 0 62); do sum=$(( (sum + segment[i]) & 0xFFFF )); done
    [ "$sum" -eq "${segment[63]}" ] || fail "segment at ${*: -1}: checksum $sum, word 63 ${segment[63]}"
  fi
}

check_identity() { # conn...
  read_segment yes "$@" -- 4097
  [ "${segment[54]}" -eq "$device_id" ] || fail "device id ${segment[54]}"
  [ "${segment[52]}" -eq "$serial_low" ] || fail "serial low ${segment[52]}"
  [ "${segment[53]}" -eq "$serial_high" ] || fail "serial high ${segment[53]}"
  read_segment yes "$@" -- 8193
  [ "${segment[0]}" -eq "$address" ] || fail "address ${segment[0]}"
  [ "${segment[1]}" -eq $(( (4194304 + baud / 2) / baud )) ] || fail "baud divisor ${segment[1]}"
  read_segment no "$@" -- 12289
  [ "${segment[1]}" -eq "$firmware" ] || fail "firmware ${segment[1]}"
}

expect_refused() { # what conn... -- REF VALUES...
  local what=$1; shift
  local args=()
  while [ "$1" != "--" ]; do args+=("$1"); shift; done
  shift
  local ref=$1; shift
  local out
  if out=$(mbpoll "${args[@]}" -t 4 -r "$ref" -1 -o 1 "$@" 2>&1); then
    fail "$what was accepted"
  fi
  grep -q "Illegal data address" <<<"$out" || fail "$what: $out"
}

# Q0029: RS232, 19200 bit/s, address 1, serial 11030021, firmware 0x0250.
device_id=$((0x101D)); serial_high=$((0x1103)); serial_low=$((0x0021)); firmware=$((0x0250)); address=1; baud=19200

start_sim rtu --profile Q0029 --com 4
[ "$ready" = "READY serial COM4 $(readlink "$PELINOR_PORT_DIR/COM4")" ] || fail "ready line: $ready"
rtu=(-m rtu -a 1 -b 19200 -P none "$PELINOR_PORT_DIR/COM4")
check_identity "${rtu[@]}"
expect_refused "a ROM write over RTU" "${rtu[@]}" -- 12289 5
mapfile -t segment2 < <(read_regs "${rtu[@]}" -- 8193 64)
mbpoll "${rtu[@]}" -t 4 -r 8193 -1 -o 1 "${segment2[@]}" >/dev/null || fail "a whole segment 2 write was refused"

start_sim tcp --profile Q0029 --tcp 127.0.0.1:0 --fault jumper=open
port=${ready##*:}
tcp=(-m tcp -a 1 -p "$port" 127.0.0.1)
check_identity "${tcp[@]}"
expect_refused "a ROM write over TCP" "${tcp[@]}" -- 12289 5
mapfile -t segment2 < <(read_regs "${tcp[@]}" -- 8193 64)
expect_refused "a whole-segment write with the jumper open" "${tcp[@]}" -- 8193 "${segment2[@]}"

# The sensors kept running with stdin on /dev/null, and leave no link behind.
for pid in "${pids[@]}"; do kill -0 "$pid" || fail "a sensor ended early"; done
kill "${pids[@]}"
wait "${pids[@]}" 2>/dev/null || true
pids=()
[ ! -e "$PELINOR_PORT_DIR/COM4" ] && [ ! -L "$PELINOR_PORT_DIR/COM4" ] || fail "COM4 outlived the sensor"
echo "mbpoll check passed"
