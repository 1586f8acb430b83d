#!/usr/bin/env bash
# Checks the packages in build/packages/ (scripts/package.sh) as installed, so that a missing
# install rule fails: unpacks them into a temporary root, checks that every dependency they
# declare is installed on this machine and that no installed binary looks for libraries outside
# its own package tree, then runs from the unpacked files only: the server's --init-demo on its
# installed configuration (pointed into the root), the server itself, the client's smoke run
# against it through the launcher, which makes a new user's client folder, and the server's
# stop on SIGTERM.
# Usage: scripts/package-check.sh
set -euo pipefail
cd "$(dirname "$0")/.."

debs=(build/packages/*.deb)
[ -f "${debs[0]}" ] || { echo "no packages in build/packages: run scripts/package.sh first" >&2; exit 1; }
work="$(mktemp -d)"
server_pid=""
cleanup() {
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
root="$work/root"
fail() { echo "package check: $*" >&2; exit 1; }

ours=""
for deb in "${debs[@]}"; do
  dpkg-deb -x "$deb" "$root"
  ours+=" $(dpkg-deb -f "$deb" Package)=$(dpkg-deb -f "$deb" Version)"
done

# One alternative of a dependency: "name[:arch] [(op version)]".
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

for deb in "${debs[@]}"; do
  IFS=',' read -ra groups <<<"$(dpkg-deb -f "$deb" Depends Pre-Depends | sed 's/^[A-Za-z-]*: //' | paste -sd,)"
  for group in "${groups[@]}"; do
    IFS='|' read -ra alternatives <<<"$group"
    ok=false
    for alternative in "${alternatives[@]}"; do satisfied "$alternative" && { ok=true; break; }; done
    $ok || fail "$(basename "$deb") depends on '${group# }', which is not installed here"
  done
done

# Every ELF file's search path stays inside the installed tree.
while IFS= read -r -d '' file; do
  head -c4 "$file" | grep -q ELF || continue
  runpath="$(readelf -d "$file" | sed -n 's/.*(\(RUNPATH\|RPATH\)).*\[\(.*\)\]/\2/p')"
  for entry in ${runpath//:/ }; do
    [[ "$entry" == '$ORIGIN'* ]] || fail "${file#"$root"} searches $entry for libraries"
  done
done < <(find "$root" -type f -print0)

# The installed configuration names folders the package must ship.
config="$root/etc/orvane/OrvaneS.ini"
[ -f "$config" ] || fail "/etc/orvane/OrvaneS.ini is not installed"
data="$(sed -n 's/^Path=//p' "$config")"
log="$(sed -n 's/^File=//p' "$config")"
[ -d "$root$data" ] || fail "the data folder $data of OrvaneS.ini is not installed"
[ -d "$root$(dirname "$log")" ] || fail "the log folder of $log is not installed"
unit="$root/usr/lib/systemd/system/orvane-server.service"
[ -f "$unit" ] || fail "the service unit is not installed"
exec_start="$(sed -n 's/^ExecStart=\([^ ]*\).*/\1/p' "$unit")"
[ -x "$root$exec_start" ] || fail "the service unit starts $exec_start, which is not installed"

if command -v systemd-analyze >/dev/null; then
  sed "s|^ExecStart=/|ExecStart=$root/|" "$unit" > "$work/orvane-server.service"
  verdict="$(systemd-analyze verify "$work/orvane-server.service" 2>&1)" && [ -z "$verdict" ] ||
    fail "the service unit does not verify: $verdict"
fi

# The server's postinst, its commands recorded instead of run: a new install makes the user and
# enables the service without starting it; an upgrade keeps the user and the enabled state.
dpkg-deb -e build/packages/orvane-server_*.deb "$work/control"
mkdir -p "$work/stubs"
for command in adduser getent chown chmod dpkg-statoverride systemctl deb-systemd-helper deb-systemd-invoke; do
  printf '#!/bin/sh\necho "%s $*" >> "$STUB_LOG"\n[ "%s" != getent ] || exit "$GETENT_STATUS"\n' "$command" "$command" \
    > "$work/stubs/$command"
  chmod +x "$work/stubs/$command"
done
postinst() { STUB_LOG="$work/$1.log" GETENT_STATUS="$2" PATH="$work/stubs:$PATH" sh "$work/control/postinst" configure "${@:3}"; }
postinst install 2
postinst upgrade 0 0.0.1
grep -q "^adduser --system .* orvane$" "$work/install.log" || fail "the server's postinst makes no system user"
grep -q "^deb-systemd-helper enable orvane-server.service$" "$work/install.log" || fail "the server's postinst enables no service"
! grep -qE "^deb-systemd-invoke (start|restart)|^systemctl .*start" "$work/install.log" || fail "the server's postinst starts the service"
! grep -qE "^adduser|^deb-systemd-helper enable" "$work/upgrade.log" || fail "an upgrade makes the user or enables the service again"

desktop="$root/usr/share/applications/orvane.desktop"
[ -f "$desktop" ] || fail "the menu entry is not installed"
verdict="$(desktop-file-validate "$desktop" 2>&1)" || fail "the menu entry does not validate: $verdict"
[ -x "$root/usr/bin/$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")" ] || fail "the menu entry's program is not installed"
[ -f "$root/usr/share/icons/hicolor/scalable/apps/$(sed -n 's/^Icon=//p' "$desktop").svg" ] ||
  fail "the menu entry's icon is not installed"

unset LD_LIBRARY_PATH ORVANE_SETTINGS XDG_CONFIG_HOME XDG_DATA_HOME DISPLAY WAYLAND_DISPLAY
export QT_QPA_PLATFORM=offscreen

# The server on its installed configuration, only moved into the root and onto a free local port.
sed -e 's/^Address=.*/Address=127.0.0.1/' -e 's/^Port=.*/Port=0/' -e "s|^Path=/|Path=$root/|" \
  -e "s|^File=/|File=$root/|" "$config" > "$work/OrvaneS.ini"
server="$root$exec_start"
"$server" --config "$work/OrvaneS.ini" --init-demo >/dev/null || fail "orvane-server --init-demo failed"
"$server" --config "$work/OrvaneS.ini" > "$work/server.out" 2>&1 &
server_pid=$!
port=""
for _ in $(seq 1 100); do
  port="$(sed -n 's/.*listening on 127\.0\.0\.1:\([0-9]*\).*/\1/p' "$work/server.out")"
  [ -n "$port" ] && break
  kill -0 "$server_pid" 2>/dev/null || { cat "$work/server.out" >&2; fail "orvane-server did not start"; }
  sleep 0.1
done
[ -n "$port" ] || fail "orvane-server did not report its port"

# A new user: the installed OrvaneC.ini in the client folder (pointed at the server's port), the
# rest made by the launcher on its first start.
export HOME="$work/home"
client="$HOME/.local/share/orvane"
mkdir -p "$client"
sed "s/^ServerPort=.*/ServerPort=$port/" "$root/etc/orvane/OrvaneC.ini" > "$client/OrvaneC.ini"
printf 'demo\n' > "$work/password"
if ! "$root/usr/bin/orvane" --user ZT --company PRTest50 --password-file "$work/password" --open TAVI52 --smoke \
    > "$work/client.out" 2>&1; then
  cat "$work/client.out" >&2
  fail "the client's smoke run failed"
fi
grep -q "^ClientPath=$client\$" "$HOME/.config/orvane/settings.ini" || fail "the launcher wrote no settings file"
[ -f "$client/Language" ] || fail "the client folder's Language file leads to no installed file"

kill -TERM "$server_pid"
status=0
wait "$server_pid" || status=$?
server_pid=""
[ "$status" -eq 0 ] || fail "orvane-server ended with $status on SIGTERM"
grep -q "stopped" "$root$log" || fail "orvane-server did not log its stop"
echo "packages checked: ${ours# }"
