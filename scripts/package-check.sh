#!/usr/bin/env bash
# Checks the packages in build/packages/ (scripts/package.sh) as installed, so that a missing
# install rule or a broken maintainer script fails:
# 1. unpacks them into a temporary root; checks that every dependency they declare is installed
#    here, that no installed binary looks for libraries outside its own tree, the service unit and
#    the menu entry; then runs from the unpacked files only: the server's --init-demo, the server,
#    the client's smoke run against it through a new user's first start of the launcher, the log's
#    rotation while the server writes it, and the server's stop on SIGTERM;
# 2. where mount namespaces are allowed, installs them with dpkg into a throw-away copy of this
#    system (an overlay, changes discarded) and runs there the same, the server as its own user and
#    the client as a new user, checks what the maintainer scripts did (the system user, folder
#    owners, the service enabled, an upgrade keeping it disabled, a removal masking it and an install
#    after the removal unmasking it), then purges them.
# Usage: scripts/package-check.sh
#        scripts/package-check.sh --installed DEBS   (step 2, inside the copy)
set -euo pipefail
cd "$(dirname "$0")/.."

# The server still running and the scratch folder go when the check ends, passed or failed.
server_pid=""
work=""
cleanup() {
  [ -z "$server_pid" ] || kill "$server_pid" 2>/dev/null || true
  [ -z "$work" ] || rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "package check: $*" >&2
  exit 1
}

# runInstalled ROOT WORK SERVER_USER CLIENT_USER: the installed programs below ROOT ("" when
# installed for real) with WORK as scratch folder. The server runs on its installed configuration,
# only moved into ROOT and onto a free local port; the client is a new user's first start.
runInstalled() {
  local root="$1" work="$2" server_user="$3" client_user="$4" as_server=() as_client=()
  # setpriv changes the user and runs the program in its place, so a signal reaches the program.
  [ -z "$server_user" ] || as_server=(setpriv --reuid "$server_user" --regid "$server_user" --init-groups)
  [ -z "$client_user" ] || as_client=(setpriv --reuid "$client_user" --regid "$client_user" --init-groups)
  local config="$root/etc/orvane/OrvaneS.ini" unit="$root/usr/lib/systemd/system/orvane-server.service"
  [ -f "$config" ] || fail "/etc/orvane/OrvaneS.ini is not installed"
  [ -f "$unit" ] || fail "the service unit is not installed"
  local data log server
  data="$(sed -n 's/^Path=//p' "$config")"
  log="$(sed -n 's/^File=//p' "$config")"
  server="$root$(sed -n 's/^ExecStart=\([^ ]*\).*/\1/p' "$unit")"
  [ -d "$root$data" ] || fail "the data folder $data of OrvaneS.ini is not installed"
  [ -d "$root$(dirname "$log")" ] || fail "the log folder of $log is not installed"
  [ -x "$server" ] || fail "the service unit starts ${server#"$root"}, which is not installed"

  sed -e 's/^Address=.*/Address=127.0.0.1/' -e 's/^Port=.*/Port=0/' -e "s|^Path=/|Path=$root/|" \
    -e "s|^File=/|File=$root/|" "$config" > "$work/OrvaneS.ini"
  "${as_server[@]}" "$server" --config "$work/OrvaneS.ini" --init-demo >/dev/null || fail "orvane-server --init-demo failed"
  "${as_server[@]}" "$server" --config "$work/OrvaneS.ini" > "$work/server.out" 2>&1 &
  server_pid=$!
  local port=""
  for _ in $(seq 1 100); do
    port="$(sed -n 's/.*listening on 127\.0\.0\.1:\([0-9]*\).*/\1/p' "$work/server.out")"
    [ -n "$port" ] && break
    kill -0 "$server_pid" 2>/dev/null || { cat "$work/server.out" >&2; fail "orvane-server did not start"; }
    sleep 0.1
  done
  [ -n "$port" ] || fail "orvane-server did not report its port"

  # The user's client folder holds only the installed OrvaneC.ini, pointed at the server's port;
  # the launcher makes the rest.
  local home="$work/home" client="$work/home/.local/share/orvane"
  mkdir -p "$client"
  sed "s/^ServerPort=.*/ServerPort=$port/" "$root/etc/orvane/OrvaneC.ini" > "$client/OrvaneC.ini"
  printf 'demo\n' > "$work/password"
  [ -z "$client_user" ] || chown -R "$client_user" "$home" "$work/password"
  if ! "${as_client[@]}" env HOME="$home" QT_QPA_PLATFORM=offscreen "$root/usr/bin/orvane" --user ZT \
      --company PRTest50 --password-file "$work/password" --open TAVI52 --smoke > "$work/client.out" 2>&1; then
    cat "$work/client.out" >&2
    fail "the client's smoke run failed"
  fi
  grep -q "^ClientPath=$client\$" "$home/.config/orvane/settings.ini" || fail "the launcher wrote no settings file"
  [ -f "$client/Language" ] || fail "the client folder's Language file leads to no installed file"

  rotateLog "$root" "$work" "$server_user" "$log"

  kill -TERM "$server_pid"
  local status=0
  wait "$server_pid" || status=$?
  server_pid=""
  [ "$status" -eq 0 ] || fail "orvane-server ended with $status on SIGTERM"
  grep -q "stopped" "$root$log" || fail "orvane-server did not log its stop into the log it was rotated to"
  [ "$(tr -d '\000' < "$root$log" | wc -c)" -eq "$(wc -c < "$root$log")" ] ||
    fail "the rotated log starts with a hole of zero bytes: the server does not append"
}

# rotateLog ROOT WORK SERVER_USER LOG: the installed log rotation, forced while the server runs,
# moves its lines so far to LOG.1. Unpacked (no SERVER_USER), it runs as root.
rotateLog() {
  local root="$1" work="$2" server_user="$3" log="$4" rotation="$1/etc/logrotate.d/orvane-server"
  [ -f "$rotation" ] || fail "the log rotation /etc/logrotate.d/orvane-server is not installed"
  command -v logrotate >/dev/null || fail "logrotate is missing here (scripts/install-deps.sh installs it)"
  local unsu=()
  [ -n "$server_user" ] || unsu=(-e '/^[[:space:]]*su /d')
  sed "${unsu[@]}" -e "s|^/|$root/|" "$rotation" > "$work/logrotate.conf"
  logrotate --force --state "$work/logrotate.state" "$work/logrotate.conf" ||
    fail "the log rotation failed"
  grep -q "listening on" "$root$log.1" || fail "the log rotation did not keep the server's lines in $log.1"
}

# One alternative of a dependency, "name[:arch] [(op version)]", against this system and OURS
# (" name=version" for each package checked).
satisfied() {
  local name op version installed
  read -r name op version <<<"${1//[()]/ }"
  name="${name%%:*}"
  if [[ "$ours " == *" $name="* ]]; then
    installed="${ours##* "$name"=}"
    installed="${installed%% *}"
  else
    installed="$(dpkg-query -W -f='${db:Status-Abbrev}${Version}\n' "$name" 2>/dev/null | sed -n 's/^ii *//p' | head -n1)"
  fi
  [ -n "$installed" ] && { [ -z "$op" ] || dpkg --compare-versions "$installed" "$op" "$version"; }
}

checkDependencies() {
  local deb group alternative ok
  for deb in "$@"; do
    IFS=',' read -ra groups <<<"$(dpkg-deb -f "$deb" Depends Pre-Depends | sed 's/^[A-Za-z-]*: //' | paste -sd,)"
    for group in "${groups[@]}"; do
      IFS='|' read -ra alternatives <<<"$group"
      ok=false
      for alternative in "${alternatives[@]}"; do satisfied "$alternative" && { ok=true; break; }; done
      $ok || fail "$(basename "$deb") depends on '${group# }', which is not installed here"
    done
  done
}

# Every ELF file's library search path stays inside the installed tree.
checkRunpaths() {
  local file runpath entry
  while IFS= read -r -d '' file; do
    head -c4 "$file" | grep -q ELF || continue
    runpath="$(readelf -d "$file" | sed -n 's/.*(\(RUNPATH\|RPATH\)).*\[\(.*\)\]/\2/p')"
    for entry in ${runpath//:/ }; do
      [[ "$entry" == '$ORIGIN'* ]] || fail "${file#"$1"} searches $entry for libraries"
    done
  done < <(find "$1" -type f -print0)
}

checkUnitAndMenu() {
  local root="$1" work="$2" verdict
  local unit="$root/usr/lib/systemd/system/orvane-server.service" desktop="$root/usr/share/applications/orvane.desktop"
  if command -v systemd-analyze >/dev/null; then
    sed "s|^ExecStart=/|ExecStart=$root/|" "$unit" > "$work/orvane-server.service"
    verdict="$(systemd-analyze verify "$work/orvane-server.service" 2>&1)" && [ -z "$verdict" ] ||
      fail "the service unit does not verify: $verdict"
  fi
  [ -f "$desktop" ] || fail "the menu entry is not installed"
  verdict="$(desktop-file-validate "$desktop" 2>&1)" || fail "the menu entry does not validate: $verdict"
  [ -x "$root/usr/bin/$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")" ] || fail "the menu entry's program is not installed"
  [ -f "$root/usr/share/icons/hicolor/scalable/apps/$(sed -n 's/^Icon=//p' "$desktop").svg" ] ||
    fail "the menu entry's icon is not installed"
}

# Inside the throw-away copy: install, check what the maintainer scripts did, run, purge.
installedCheck() {
  local wants=/etc/systemd/system/multi-user.target.wants/orvane-server.service
  dpkg -i "$1"/*.deb > /tmp/dpkg.log 2>&1 || { cat /tmp/dpkg.log >&2; fail "dpkg could not install the packages"; }
  getent passwd orvane >/dev/null || fail "the server's install made no user orvane"
  [ "$(stat -c '%U:%G %a' /etc/orvane/OrvaneS.ini)" = "root:orvane 640" ] || fail "OrvaneS.ini is not root:orvane 640"
  [ "$(stat -c '%U' /var/lib/orvane /var/log/orvane | sort -u)" = orvane ] || fail "orvane does not own its folders"
  [ -L "$wants" ] || fail "the install did not enable the service"
  # An upgrade (here: the same version again) leaves a service the administrator disabled disabled.
  rm "$wants"
  dpkg -i "$1"/orvane-server_*.deb > /tmp/dpkg.log 2>&1 || { cat /tmp/dpkg.log >&2; fail "dpkg could not upgrade the server"; }
  [ ! -L "$wants" ] || fail "the upgrade enabled the service again"
  useradd --no-create-home clerk
  work="$(mktemp -d)"
  chmod 755 "$work"
  runInstalled "" "$work" orvane clerk
  # A removal masks the service; installing the server again unmasks it, or it could never start.
  local unit=/etc/systemd/system/orvane-server.service
  dpkg -r orvane-server > /tmp/dpkg.log 2>&1 || { cat /tmp/dpkg.log >&2; fail "dpkg could not remove the server"; }
  [ "$(readlink "$unit")" = /dev/null ] || fail "the removal did not mask the service"
  dpkg -i "$1"/orvane-server_*.deb > /tmp/dpkg.log 2>&1 || { cat /tmp/dpkg.log >&2; fail "dpkg could not install the server again"; }
  [ ! -L "$unit" ] || fail "installing the server again after its removal left the service masked"
  dpkg --purge orvane-server orvane-client orvane-common > /tmp/dpkg.log 2>&1 ||
    { cat /tmp/dpkg.log >&2; fail "dpkg could not purge the packages"; }
  [ ! -e /var/log/orvane ] && [ ! -e /etc/orvane ] && [ ! -L "$wants" ] || fail "the purge left the log, configuration or service"
  [ -f /var/lib/orvane/orvane.db ] || fail "the purge removed the server's data"
  grep -q "databases in /var/lib/orvane and the user orvane are kept" /tmp/dpkg.log ||
    fail "the purge did not say that it kept the data"
}

# Runs this script's --installed step in an overlay over this system, in a mount namespace of its
# own: whatever dpkg and the programs change there is discarded. Answers 77 when mounts are refused.
overlayCheck() {
  local layer="$1/overlay"
  shift
  mkdir -p "$layer/upper" "$layer/work" "$layer/merged"
  unshare --mount true 2>/dev/null || return 77
  unshare --mount --propagation private bash -euc '
    layer="$1" script="$2"
    shift 2
    merged="$layer/merged"
    mount -t overlay overlay -o "lowerdir=/,upperdir=$layer/upper,workdir=$layer/work" "$merged" 2>/dev/null || exit 77
    mount -t proc proc "$merged/proc"
    mount --rbind /dev "$merged/dev"
    mount -t tmpfs tmpfs "$merged/tmp"
    mkdir -p "$merged/tmp/check/scripts" "$merged/tmp/check/debs"
    cp "$script" "$merged/tmp/check/scripts/"
    cp "$@" "$merged/tmp/check/debs/"
    exec chroot "$merged" /tmp/check/scripts/package-check.sh --installed /tmp/check/debs
  ' _ "$layer" "$(pwd)/scripts/package-check.sh" "$@"
}

unset LD_LIBRARY_PATH ORVANE_SETTINGS XDG_CONFIG_HOME XDG_DATA_HOME DISPLAY WAYLAND_DISPLAY
if [ "${1:-}" = "--installed" ]; then
  installedCheck "$2"
  exit 0
fi

debs=(build/packages/*.deb)
[ -f "${debs[0]}" ] || fail "no packages in build/packages: run scripts/package.sh first"
debs=("${debs[@]/#/$(pwd)/}")
work="$(mktemp -d)"
root="$work/root"
ours=""
for deb in "${debs[@]}"; do
  dpkg-deb -x "$deb" "$root"
  ours+=" $(dpkg-deb -f "$deb" Package)=$(dpkg-deb -f "$deb" Version)"
done

checkDependencies "${debs[@]}"
checkRunpaths "$root"
checkUnitAndMenu "$root" "$work"
runInstalled "$root" "$work" "" ""
echo "packages checked unpacked: ${ours# }"

status=0
overlayCheck "$work" "${debs[@]}" || status=$?
case $status in
  0) echo "packages checked installed and purged in a copy of this system" ;;
  77) echo "mounts are not allowed here: the packages were not installed with dpkg" ;;
  *) exit "$status" ;;
esac
