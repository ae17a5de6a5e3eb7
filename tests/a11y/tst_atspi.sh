#!/usr/bin/env bash
# The module on a private desktop of its own (Xvfb, a private session bus and the AT-SPI
# bus of at-spi2-core, accessibility switched on the way a desktop does when a screen
# reader starts), checked by a real AT-SPI client against the simulated device:
#   - started as the host manager does with communities: listed on the desktop, menu
#     entries and lamps found by name, the Information screen opened and saved through
#     accessibility actions (the write reaches the simulator's journal);
#   - started with the address alone, everything else in the profile: listed as well;
#   - started with SNMPv3 switches: listed, its power lamp on, no pass phrase in any text
#     it shows.
#
#   tst_atspi.sh MODULE SIMULATOR FACTORY_DATA CLIENT
set -euo pipefail

fail() {
  echo "tst_atspi: $*" >&2
  exit 1
}

[ $# -eq 4 ] || fail "usage: tst_atspi.sh MODULE SIMULATOR FACTORY_DATA CLIENT"
module=$1 sim=$2 data=$3 client=$4
launcher=/usr/libexec/at-spi-bus-launcher
for tool in Xvfb dbus-run-session dbus-send timeout "$launcher"; do
  command -v "$tool" >/dev/null 2>&1 || fail "$tool is missing (scripts/setup installs it)"
done
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || fail "python3-pyatspi is missing (scripts/setup installs it)"

if [ "${TST_ATSPI_INSIDE:-}" != 1 ]; then
  work=$(mktemp -d)
  xvfb_pid=""
  cleanup() {
    if [ -n "$xvfb_pid" ]; then
      kill "$xvfb_pid" 2>/dev/null || true
      wait "$xvfb_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
  }
  trap cleanup EXIT
  # A display of its own: Xvfb picks a free number and tells it once it is ready.
  exec 3< <(exec Xvfb -displayfd 1 -nolisten tcp -screen 0 1024x768x24 2>"$work/xvfb.log")
  xvfb_pid=$!
  read -r -t 15 display <&3 || { cat "$work/xvfb.log" >&2; fail "Xvfb did not start"; }
  # The AT-SPI bus keeps its "enabled" switch in GSettings: in memory, so that the test
  # leaves the user's settings as they were.
  status=0
  DISPLAY=":$display" GSETTINGS_BACKEND=memory TST_ATSPI_INSIDE=1 TST_ATSPI_WORK="$work" \
    timeout 240 dbus-run-session -- bash "$0" "$@" || status=$?
  exit "$status"
fi

# ---- inside the private session bus --------------------------------------------------
work=$TST_ATSPI_WORK
pids=()
stop_all() {
  local i
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    kill "${pids[i]}" 2>/dev/null || true
    wait "${pids[i]}" 2>/dev/null || true
  done
  pids=()
}
trap stop_all EXIT

# What a desktop does when the user turns on a screen reader: the bus says accessibility
# is wanted, and toolkits register their applications. No toolkit switch is set here.
unset QT_LINUX_ACCESSIBILITY_ALWAYS_ON QT_ACCESSIBILITY
timeout 15 dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
  org.freedesktop.DBus.Properties.Set string:org.a11y.Status string:IsEnabled variant:boolean:true \
  >/dev/null || fail "could not switch the AT-SPI bus on"

# The device, with a contact and a location to show.
descr="RWN-3460 Wireless Access Point, firmware 1.10.13"
contact="noc@example.net"
location="Lab 3, rack 2"
sed -e "s/^\(1\.3\.6\.1\.2\.1\.1\.4\.0\)|4|.*/\1|4|$contact/" \
    -e "s/^\(1\.3\.6\.1\.2\.1\.1\.6\.0\)|4|.*/\1|4|$location/" "$data" > "$work/device.snmprec"
grep -qF "$descr" "$work/device.snmprec" || fail "the factory data no longer holds: $descr"
user=a11yuser authpass=a11y-auth-pass privpass=a11y-priv-pass
"$sim" --listen 127.0.0.1:0 --data "$work/device.snmprec" --journal "$work/journal.txt" \
  --user "$user:SHA:$authpass:AES:$privpass" > "$work/sim.out" 2>&1 &
pids+=($!)
port=""
for _ in $(seq 1 100); do
  port=$(sed -n 's/.*listening on 127\.0\.0\.1:\([0-9]*\).*/\1/p' "$work/sim.out" | head -n 1)
  [ -n "$port" ] && break
  sleep 0.1
done
[ -n "$port" ] || { cat "$work/sim.out" >&2; fail "the simulator did not start"; }
touch "$work/journal.txt"

# What the host manager keeps: the registry naming the profile folder, and the profile.
mkdir -p "$work/profiles" "$work/run"
chmod 700 "$work/run"
printf '[SOFTWARE]\nKestrix\\Tarsel5.1\\MibFile\\Path=%s/profiles/\n' "$work" > "$work/registry.ini"
cat > "$work/profiles/127.0.0.1.cfg" <<PROFILE
[Program Information]
AgentPort=$port
Version=1
ContextName=
ContextEngineID=
SecurityModel=1
SecurityLevel=0
SecurityName=
AuthProtocol=0
PrivProtocol=0
AuthPassword=
PrivPassword=
PROFILE

# Runs the module with the given arguments while the client checks it; ends it after.
check() {
  local name=$1 mode=$2
  shift 2
  local -a client_args=()
  while [ "$1" != "--" ]; do client_args+=("$1"); shift; done
  shift
  (cd "$work" && exec env RWN3460_REGISTRY="$work/registry.ini" XDG_RUNTIME_DIR="$work/run" \
      QT_QPA_PLATFORM=xcb "$module" "$@") > "$work/module-$name.out" 2>&1 &
  local module_pid=$!
  local result=0
  timeout 90 /usr/bin/python3 "$client" "$mode" "${client_args[@]}" || result=$?
  kill "$module_pid" 2>/dev/null || true
  local waited=0
  while kill -0 "$module_pid" 2>/dev/null && [ $waited -lt 50 ]; do
    sleep 0.1
    waited=$((waited + 1))
  done
  if kill -0 "$module_pid" 2>/dev/null; then
    kill -9 "$module_pid" 2>/dev/null || true
    result=1
    echo "tst_atspi: $name: the module did not end on SIGTERM" >&2
  fi
  wait "$module_pid" 2>/dev/null || true
  if [ $result -ne 0 ]; then
    tail -n 20 "$work/module-$name.out" >&2
    fail "$name: failed"
  fi
  echo "tst_atspi: $name: passed"
}

caption="RWN-3460 : 127.0.0.1"
check "communities" information "$caption" "$work/journal.txt" "$descr" "$contact" "RWN-3460" "$location" \
  "a11y-lobby" -- /I127.0.0.1 /Rrdcomm /Wwrcommu
# The shortest start: only the address; the profile is read for tokens after it, so the
# module keeps the library's defaults (port 161, where this test runs no device). It
# must be listed all the same.
check "address only" panel "$caption" any -- /I127.0.0.1
check "SNMPv3" panel "$caption" on "$authpass" "$privpass" -- \
  /I127.0.0.1 /v3 "/t$port" /m3 /l2 "/n$user" "/A$authpass" "/P$privpass" /a2 /p3

# The journal holds the Save of the first run: the name typed through the client.
grep -q "1.3.6.1.2.1.1.5.0|4|a11y-lobby" "$work/journal.txt" || fail "the Save is not in the journal"
for secret in "$authpass" "$privpass"; do
  ! grep -qF "$secret" "$work/sim.out" "$work"/module-*.out || fail "a pass phrase was printed"
done
