#!/usr/bin/env bash
# Transfers over a poor link: rwn3460-tftpd against in.tftpd (tftpd-hpa), each behind the
# lossy relay (5 % lost, 5 % duplicated, 5 % delayed by 2-20 ms, both ways), the same
# seed for both servers, so that each run sees the same link. atftp and tftp-hpa, both
# directions, lock-step (no options) unless OPTIONS says otherwise; alternating runs;
# prints the median seconds, how many runs arrived byte for byte, and the ratio
# (ours / tftpd-hpa). Both servers run with their defaults; both clients resend after
# one second (their shortest), so that client-side losses cost both servers the same.
# Run by hand: bench/tftp_loss.sh [RUNS] [SIZES...]   e.g. bench/tftp_loss.sh 3 256KiB 4MiB
#   OPTIONS="blksize 1428" or OPTIONS="blksize 1428,windowsize 8" asks for options
#   (atftp only: tftp-hpa's client has no window); SEED (default 7); LIMIT seconds per
#   transfer (default 900).
set -euo pipefail
runs=${1:-3}
shift || true
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(256KiB 4MiB)
seed=${SEED:-7}
limit=${LIMIT:-900}
options=${OPTIONS:-}
top=$(cd "$(dirname "$0")/.." && pwd)
build="$top/build/bench"
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DRWN3460_TESTS=OFF >/dev/null
cmake --build "$build" --target rwn3460-tftpd tftp_relay >/dev/null
ours_bin="$build/src/transfer/rwn3460-tftpd"
relay_bin="$build/bench/tftp_relay"
hpa_bin=$(command -v in.tftpd || echo /usr/sbin/in.tftpd)

work=$(mktemp -d /tmp/rwn3460-loss.XXXXXX)
chmod 755 "$work"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

mkdir "$work/served" "$work/out"
chmod 777 "$work/served" # tftpd-hpa writes uploads as user tftp
bytes() { case $1 in *KiB) echo $((${1%KiB} * 1024)) ;; *MiB) echo $((${1%MiB} * 1024 * 1024)) ;; *) echo "$1" ;; esac; }
for size in "${sizes[@]}"; do
  head -c "$(bytes "$size")" /dev/urandom >"$work/served/$size.bin"
  cp "$work/served/$size.bin" "$work/out/$size.src"
done
chmod 644 "$work/served/"*.bin

free_udp_port() {
  python3 -c 'import socket; s=socket.socket(socket.AF_INET, socket.SOCK_DGRAM); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}
wait_for_port() { # file -> the last word of its first line, once it is there
  for _ in $(seq 100); do grep -q 'UDP port' "$1" 2>/dev/null && break; sleep 0.05; done
  awk 'NR==1{print $NF}' "$1"
}

"$ours_bin" "$work/served" --port 0 >/dev/null 2>"$work/ours.err" &
pids+=("$!")
ours_port=$(wait_for_port "$work/ours.err")
hpa_port=$(free_udp_port)
"$hpa_bin" --foreground --listen --secure --create --address "127.0.0.1:$hpa_port" "$work/served" &
pids+=("$!")
sleep 0.5

atftp_options=()
if [ -n "$options" ]; then
  IFS=, read -ra list <<<"$options"
  for o in "${list[@]}"; do atftp_options+=(--option "$o"); done
fi

# One transfer through a fresh relay; prints "SECONDS OK" or "SECONDS BAD".
transfer() { # server-port client get|put size tag
  local port=$1 client=$2 way=$3 size=$4 tag=$5 relay_port t0 t1 ok remote local
  "$relay_bin" "$port" --seed "$seed" 2>"$work/relay.err" &
  local relay=$!
  relay_port=$(wait_for_port "$work/relay.err")
  if [ "$way" = get ]; then remote="$size.bin"; local="$work/out/$tag.got"; rm -f "$local"
  else remote="up-$tag-$size.bin"; local="$work/out/$size.src"; rm -f "$work/served/$remote"; fi
  t0=$(date +%s.%N)
  if [ "$client" = atftp ]; then
    timeout "$limit" atftp --tftp-timeout 1 "${atftp_options[@]}" "$([ "$way" = get ] && echo -g || echo -p)" \
      -r "$remote" -l "$local" 127.0.0.1 "$relay_port" >/dev/null 2>&1 || true
  else
    local cmd="get $remote $local"
    [ "$way" = put ] && cmd="put $local $remote"
    printf 'rexmt 1\nbinary\n%s\n' "$cmd" | timeout "$limit" tftp 127.0.0.1 "$relay_port" >/dev/null 2>&1 || true
  fi
  t1=$(date +%s.%N)
  kill "$relay" 2>/dev/null || true
  wait "$relay" 2>/dev/null || true
  ok=BAD
  if [ "$way" = get ]; then cmp -s "$local" "$work/out/$size.src" && ok=OK
  else sleep 0.2; cmp -s "$work/served/$remote" "$work/out/$size.src" && ok=OK; fi
  awk -v t0="$t0" -v t1="$t1" -v ok="$ok" 'BEGIN { printf "%.2f %s\n", t1 - t0, ok }'
}

median() { sort -n | awk '{ v[NR] = $1 } END { m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2; printf "%.2f", m }'; }

echo "runs: $runs, seed $seed, options: ${options:-none}, 5 % loss / 5 % duplication / 5 % delayed 2-20 ms"
printf '%-9s %-4s %-7s %12s %6s %12s %6s %7s\n' client way size "rwn3460 s" exact "tftpd-hpa s" exact ratio
clients=(atftp tftp-hpa)
[ -n "$options" ] && clients=(atftp)
for size in "${sizes[@]}"; do
  for client in "${clients[@]}"; do
    for way in get put; do
      : >"$work/ours.txt"
      : >"$work/hpa.txt"
      for i in $(seq "$runs"); do
        if (( i % 2 )); then
          transfer "$ours_port" "$client" "$way" "$size" ours >>"$work/ours.txt"
          transfer "$hpa_port" "$client" "$way" "$size" hpa >>"$work/hpa.txt"
        else
          transfer "$hpa_port" "$client" "$way" "$size" hpa >>"$work/hpa.txt"
          transfer "$ours_port" "$client" "$way" "$size" ours >>"$work/ours.txt"
        fi
      done
      ours=$(awk '{print $1}' "$work/ours.txt" | median)
      hpa=$(awk '{print $1}' "$work/hpa.txt" | median)
      printf '%-9s %-4s %-7s %12s %6s %12s %6s %7s\n' "$client" "$way" "$size" \
        "$ours" "$(grep -c OK "$work/ours.txt")/$runs" "$hpa" "$(grep -c OK "$work/hpa.txt")/$runs" \
        "$(awk -v a="$ours" -v b="$hpa" 'BEGIN { printf "%.2f", a / b }')"
    done
  done
done
