#!/usr/bin/env bash
# Download throughput of rwn3460-tftpd against in.tftpd (tftpd-hpa) on loopback.
#
# Both servers serve the same 8 MiB and 32 MiB files. For each client and option set,
# the client downloads each file from each server, alternating, RUNS times; prints the
# median MB/s per server and the ratio (ours / tftpd-hpa). tftpd-hpa has no window
# (RFC 7440): with windowsize it falls back to lock-step. Then counts how often the idle
# server wakes up.
# Both servers and the client run on one processor (PIN, default the last one): on the
# two-processor virtual machines here a wake-up across processors costs more than the
# server does (8 MiB lock-step: about 60 MB/s on one processor, 9 MB/s across two on an
# idle machine), so where the scheduler puts client and server would decide the figures.
# PIN= (empty) lets the scheduler place them; a window of blocks gains most that way.
# Run by hand: bench/tftp_throughput.sh [RUNS]   (in.tftpd needs root to drop to user tftp)
set -euo pipefail
runs=${1:-5}
pin=${PIN-$(( $(nproc) - 1 ))}
on_cpu=()
[ -n "$pin" ] && on_cpu=(taskset -c "$pin")
top=$(cd "$(dirname "$0")/.." && pwd)
build="$top/build/bench"
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DRWN3460_TESTS=OFF >/dev/null
cmake --build "$build" --target rwn3460-tftpd >/dev/null
ours_bin="$build/src/transfer/rwn3460-tftpd"
hpa_bin=$(command -v in.tftpd || echo /usr/sbin/in.tftpd)

work=$(mktemp -d /tmp/rwn3460-bench.XXXXXX)
chmod 755 "$work"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

mkdir "$work/served" "$work/out"
chmod 755 "$work/served"
head -c $((8 * 1024 * 1024)) /dev/urandom >"$work/served/8MiB.bin"
head -c $((32 * 1024 * 1024)) /dev/urandom >"$work/served/32MiB.bin"
chmod 644 "$work/served/"*.bin

free_udp_port() {
  python3 -c 'import socket; s=socket.socket(socket.AF_INET, socket.SOCK_DGRAM); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

"${on_cpu[@]}" "$ours_bin" "$work/served" --port 0 >/dev/null 2>"$work/ours.err" &
ours_pid=$!
pids+=("$ours_pid")
for _ in $(seq 50); do grep -q 'UDP port' "$work/ours.err" && break; sleep 0.1; done
ours_port=$(awk '{print $NF}' "$work/ours.err" | head -1)

hpa_port=$(free_udp_port)
"${on_cpu[@]}" "$hpa_bin" --foreground --listen --secure --address "127.0.0.1:$hpa_port" "$work/served" &
pids+=("$!")
sleep 0.5

# Prints the MB/s of one download, after checking that the file arrived whole.
# The option set is a comma-separated list of "name value" ("none" for no options).
download() { # client options port file
  local client=$1 set=$2 port=$3 file=$4 out="$work/out/$4" t0 t1 args=()
  rm -f "$out"
  if [ "$client" = curl ]; then
    if [ "$set" = none ]; then args=(--tftp-no-options); else args=(--tftp-blksize "${set#blksize }"); fi
  elif [ "$set" != none ]; then
    IFS=, read -ra opts <<<"$set"
    for o in "${opts[@]}"; do args+=(--option "$o"); done
  fi
  t0=$(date +%s.%N)
  if [ "$client" = curl ]; then
    "${on_cpu[@]}" curl -sS "${args[@]}" --max-time 300 -o "$out" "tftp://127.0.0.1:$port/$file"
  else
    timeout 300 "${on_cpu[@]}" atftp "${args[@]}" -g -r "$file" -l "$out" 127.0.0.1 "$port" >/dev/null 2>&1
  fi
  t1=$(date +%s.%N)
  cmp -s "$out" "$work/served/$file" || { echo "bench: $file from port $port ($client, $set) differs" >&2; exit 1; }
  awk -v b="$(stat -c %s "$out")" -v t0="$t0" -v t1="$t1" 'BEGIN { printf "%.2f\n", b / (t1 - t0) / 1e6 }'
}

median() { sort -n | awk '{ v[NR] = $1 } END { m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2; printf "%.2f", m }'; }

echo "processor: ${pin:-any}; runs per server, client, option set and size: $runs (atftp $(dpkg-query -W -f='${Version}' atftp 2>/dev/null), curl $(curl --version | awk 'NR==1{print $2}'))"
printf '%-6s %-26s %-10s %14s %16s %7s\n' client options file "rwn3460 MB/s" "tftpd-hpa MB/s" ratio
for row in "atftp|none" "atftp|blksize 1428" "atftp|blksize 65464" "atftp|blksize 1428,windowsize 8" \
           "curl|none" "curl|blksize 1428" "curl|blksize 65464"; do
  client=${row%%|*}
  set=${row#*|}
  for file in 8MiB.bin 32MiB.bin; do
    : >"$work/ours.txt"
    : >"$work/hpa.txt"
    for i in $(seq "$runs"); do
      if (( i % 2 )); then
        download "$client" "$set" "$ours_port" "$file" >>"$work/ours.txt"
        download "$client" "$set" "$hpa_port" "$file" >>"$work/hpa.txt"
      else
        download "$client" "$set" "$hpa_port" "$file" >>"$work/hpa.txt"
        download "$client" "$set" "$ours_port" "$file" >>"$work/ours.txt"
      fi
    done
    ours=$(median <"$work/ours.txt")
    hpa=$(median <"$work/hpa.txt")
    printf '%-6s %-26s %-10s %14s %16s %7s\n' "$client" "$set" "$file" "$ours" "$hpa" \
      "$(awk -v a="$ours" -v b="$hpa" 'BEGIN { printf "%.2f", a / b }')"
  done
done

# Idle wake-ups: context switches of the session-free server over 3 s.
switches() { awk '/ctxt_switches/ { n += $2 } END { print n }' /proc/"$ours_pid"/status; }
sleep 0.5
before=$(switches)
sleep 3
after=$(switches)
awk -v n=$((after - before)) 'BEGIN { printf "idle server: %d wake-ups in 3 s (%.1f/s; limit 50/s)\n", n, n / 3 }'
