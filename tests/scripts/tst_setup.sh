#!/usr/bin/env bash
# scripts/setup against a stand-in package system: dpkg-query answers from a list of
# installed packages, apt-get records its calls and installs by adding to that list.
# The PATH holds only the stand-ins and the few tools the script uses, so whether the
# real machine has sudo, or runs this as root, does not matter.
set -uo pipefail
setup=${1:?usage: tst_setup.sh path/to/scripts/setup}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

bin=$work/bin
mkdir -p "$bin"
for tool in grep tee chmod rm cat; do
  ln -s "$(command -v "$tool")" "$bin/$tool"
done
stub() { printf '#!%s\n%s\n' "$BASH" "$2" > "$bin/$1"; /bin/chmod +x "$bin/$1"; }
stub dpkg-query 'pkg=${!#}
while read -r p; do [ "$p" = "$pkg" ] && { printf "install ok installed"; exit 0; }; done < "$FAKE_DB"
echo "dpkg-query: no packages found matching $pkg" >&2; exit 1'
stub apt-get 'echo "apt-get $*" >> "$FAKE_LOG"
[ "$1" = "${FAKE_APT_FAIL:-}" ] && { echo "E: $1 went wrong" >&2; exit 100; }
if [ "$1" = install ]; then
  # Would a daemon start now? Record what invoke-rc.d would be told.
  if [ -x "$RWN3460_POLICY_RC" ]; then "$RWN3460_POLICY_RC"; echo "policy $?" >> "$FAKE_LOG"
  else echo "policy none" >> "$FAKE_LOG"; fi
  for p in "$@"; do
    case $p in -*|install) ;; "${FAKE_BROKEN:-}") ;; *) echo "$p" >> "$FAKE_DB" ;; esac
  done
fi
exit 0'
stub id-root '[ "$1" = -u ] && echo 0'
stub id-user '[ "$1" = -u ] && echo 1000'
stub sudo-stub 'echo "sudo $1" >> "$FAKE_LOG"; exec "$@"'

all_packages=$(sed -n '/^packages=(/,/^)/p' "$setup" | sed '1d;$d' | tr -s ' ' '\n' | sed '/^$/d')
passed=0
failed=0

# run NAME USER(root|user|user+sudo) POLICY(absent|own) INSTALLED(all|some) APT_FAIL BROKEN
#     STATUS(0|fail) STDERR-PATTERN
run() {
  local name=$1 user=$2 policy=$3 have=$4 aptfail=$5 broken=$6 want=$7 pattern=$8
  local dir=$work/$name
  mkdir -p "$dir"
  rm -f "$bin/id" "$bin/sudo"
  case $user in
    root) ln -s id-root "$bin/id" ;;
    user) ln -s id-user "$bin/id" ;;
    user+sudo) ln -s id-user "$bin/id"; ln -s sudo-stub "$bin/sudo" ;;
  esac
  if [ "$have" = all ]; then echo "$all_packages" > "$dir/db"; else echo "$all_packages" | sed '/^snmpd$/d;/^tftpd-hpa$/d' > "$dir/db"; fi
  local policy_file=$dir/policy-rc.d
  [ "$policy" = own ] && printf '#!/bin/sh\n# the image'"'"'s own\nexit 101\n' > "$policy_file" && /bin/chmod 755 "$policy_file"
  local before=""
  [ -e "$policy_file" ] && before=$(cat "$policy_file")

  PATH=$bin FAKE_DB=$dir/db FAKE_LOG=$dir/log FAKE_APT_FAIL=$aptfail FAKE_BROKEN=$broken \
    RWN3460_POLICY_RC=$policy_file "$BASH" "$setup" > "$dir/out" 2> "$dir/err"
  local status=$?
  touch "$dir/log"

  local why=()
  if [ "$want" = 0 ]; then
    [ "$status" -eq 0 ] || why+=("exit status $status")
    [ -s "$dir/err" ] && why+=("stderr not empty")
  else
    [ "$status" -ne 0 ] || why+=("exit status 0 for a failure")
  fi
  [ -n "$pattern" ] && ! grep -q -- "$pattern" "$dir/err" && why+=("stderr lacks '$pattern'")
  # The machine's policy file is never changed; one made for the install is gone after.
  if [ "$policy" = own ]; then
    [ "$(cat "$policy_file" 2>/dev/null)" = "$before" ] || why+=("own policy file changed")
  else
    [ -e "$policy_file" ] && why+=("policy file left behind")
  fi
  if [ "$have" = all ]; then
    [ -s "$dir/log" ] && why+=("apt-get run although nothing is missing")
    [ -s "$dir/out" ] && why+=("not quiet")
  elif [ -z "$aptfail" ] && [ "$user" != user ]; then
    grep -qx 'apt-get install -y -qq --no-install-recommends snmpd tftpd-hpa' "$dir/log" \
      || why+=("install did not ask for exactly the missing packages")
    grep -qx 'policy 101' "$dir/log" || why+=("daemons were not held back during the install")
    grep -q '^setup: installing snmpd tftpd-hpa$' "$dir/out" || why+=("no word of what it installs")
  fi
  if [ "$user" = user+sudo ] && [ -z "$aptfail" ]; then
    grep -qx 'sudo apt-get' "$dir/log" || why+=("apt-get not run through sudo")
  fi
  [ "$user" = user ] && [ -s "$dir/log" ] && why+=("apt-get run without root or sudo")

  if [ ${#why[@]} -eq 0 ]; then
    passed=$((passed + 1)); echo "ok - $name"
  else
    failed=$((failed + 1)); echo "not ok - $name: ${why[*]}"
    sed 's/^/    stdout: /' "$dir/out"; sed 's/^/    stderr: /' "$dir/err"; sed 's/^/    log: /' "$dir/log"
  fi
}

#   name                              user       policy have aptfail broken    status pattern
run satisfied-without-policy          root       absent all  ""      ""        0    ""
run satisfied-with-own-policy         root       own    all  ""      ""        0    ""
run installs-without-policy           root       absent some ""      ""        0    ""
run installs-with-own-policy          root       own    some ""      ""        0    ""
run installs-through-sudo             user+sudo  absent some ""      ""        0    ""
run neither-root-nor-sudo             user       absent some ""      ""        fail "neither root nor sudo"
run update-fails                      root       absent some update  ""        fail "apt-get update failed (exit status 100)"
run install-fails-with-own-policy     root       own    some install ""        fail "apt-get install snmpd tftpd-hpa failed"
run package-still-missing             root       absent some ""      tftpd-hpa fail "still not installed after apt-get install: tftpd-hpa"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
