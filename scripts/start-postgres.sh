#!/usr/bin/env bash
# Makes sure a local PostgreSQL 15 cluster runs, that the calling OS user has a superuser role in it,
# and prints a libpq connection string for the tests (use it as ORVANE_TEST_PG).
# Idempotent: when the cluster already runs and the role exists it only checks.
# Usage: export ORVANE_TEST_PG="$(scripts/start-postgres.sh)"
set -euo pipefail

version=15
cluster=main
socket_dir=/var/run/postgresql
role="$(id -un)"

as_postgres() {
  if [ "$(id -u)" -eq 0 ]; then
    runuser -u postgres -- "$@"
  else
    sudo -u postgres "$@"
  fi
}

if ! command -v pg_ctlcluster >/dev/null || [ ! -x "/usr/lib/postgresql/$version/bin/postgres" ]; then
  echo "PostgreSQL $version is not installed (scripts/install-deps.sh installs it)" >&2
  exit 1
fi

if ! pg_lsclusters -h | awk -v v="$version" -v c="$cluster" '$1 == v && $2 == c { found = 1 } END { exit !found }'; then
  pg_createcluster "$version" "$cluster" >&2
fi

if ! pg_lsclusters -h | awk -v v="$version" -v c="$cluster" '$1 == v && $2 == c && $4 ~ /^online/ { up = 1 } END { exit !up }'; then
  pg_ctlcluster "$version" "$cluster" start >&2
fi

port="$(pg_lsclusters -h | awk -v v="$version" -v c="$cluster" '$1 == v && $2 == c { print $3 }')"

for _ in $(seq 1 50); do
  as_postgres psql -h "$socket_dir" -p "$port" -d postgres -tAc 'select 1' >/dev/null 2>&1 && break
  sleep 0.2
done

exists="$(as_postgres psql -h "$socket_dir" -p "$port" -d postgres -tAc \
  "select 1 from pg_roles where rolname = '${role//\'/\'\'}'")"
if [ "$exists" != "1" ]; then
  as_postgres psql -h "$socket_dir" -p "$port" -d postgres -qc "create role \"${role//\"/\"\"}\" login superuser" >&2
fi

echo "host=$socket_dir port=$port user=$role dbname=postgres"
