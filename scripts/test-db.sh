#!/usr/bin/env bash
# A private PostgreSQL server for the tests: its own cluster under one temporary folder,
# listening only on a Unix socket in that folder (no TCP port), the system's clusters left
# alone.
#
#   scripts/test-db.sh start    start it (or reuse the running one); prints the path of an
#                               env file to source (QOR_TEST_PG_*, QOR_TEST_ODBC_PG)
#   scripts/test-db.sh stop     stop the server this script started, remove its folder
#   scripts/test-db.sh status   exit 0 and print the env file when it answers
#
# The cluster has one role, "qor" (a superuser, password $QOR_TEST_PG_PASSWORD, checked with
# scram-sha-256 on the socket too) and one database, "qortest" (UTF-8). root cannot run
# postgres: as root the cluster belongs to the "postgres" user.
#
# Several callers may run start at once (test binaries in parallel): a lock serialises them
# and all but the first reuse the running server. The folder is $QOR_TEST_DB_DIR, default
# /tmp/qor-test-db-<uid>.
set -euo pipefail

root="${QOR_TEST_DB_DIR:-/tmp/qor-test-db-$(id -u)}"
lock="$root.lock"
envfile="$root/env"
port=5432            # only names the socket file: nothing listens on TCP
role=qor
database=qortest
password=qor-test-password

log() { echo "test-db: $*" >&2; }

pgbin() {
  local b
  for b in /usr/lib/postgresql/*/bin; do
    [ -x "$b/$1" ] && { echo "$b/$1"; return 0; }
  done
  command -v "$1" 2>/dev/null && return 0
  log "$1 is missing (install postgresql: scripts/setup.sh --tests)"
  exit 1
}

# Runs a command as the owner of the cluster.
as_owner() {
  if [ "$(id -u)" -eq 0 ]; then
    runuser -u postgres -- "$@"
  else
    "$@"
  fi
}

answers() {
  [ -S "$root/.s.PGSQL.$port" ] &&
    PGPASSWORD=$password "$(pgbin psql)" -h "$root" -p "$port" -U "$role" -d "$database" \
      -Atqc 'SELECT 1' >/dev/null 2>&1
}

running() { [ -f "$envfile" ] && answers; }

stop_server() {
  [ -f "$root/data/postmaster.pid" ] || return 0
  as_owner "$(pgbin pg_ctl)" -D "$root/data" -m fast -w -t 30 stop >/dev/null 2>&1 || true
}

start() {
  if running; then
    echo "$envfile"
    return 0
  fi
  stop_server
  rm -rf "$root"
  mkdir -p "$root"
  if [ "$(id -u)" -eq 0 ]; then
    id postgres >/dev/null 2>&1 || { log "the postgres user is missing (install postgresql)"; exit 1; }
    chown postgres: "$root"
  fi
  chmod 755 "$root"
  local pwfile="$root/pwfile"
  as_owner sh -c "umask 077; echo '$password' >'$pwfile'"
  if ! as_owner "$(pgbin initdb)" -D "$root/data" -U "$role" --pwfile="$pwfile" -E UTF8 \
      --locale=C.UTF-8 -A scram-sha-256 >"$root/initdb.log" 2>&1; then
    log "initdb failed:"; cat "$root/initdb.log" >&2; return 1
  fi
  rm -f "$pwfile"
  # Its own session, so that a test runner's signals do not reach it; the lock's descriptor
  # stays behind so that later callers are not blocked by the server.
  if ! as_owner setsid "$(pgbin pg_ctl)" -D "$root/data" -l "$root/server.log" -w -t 60 \
      -o "-c listen_addresses='' -c unix_socket_directories='$root' -p $port -c fsync=off" \
      start </dev/null >/dev/null 2>&1 9>&-; then
    log "the server did not start:"; cat "$root/server.log" >&2 2>/dev/null || true; return 1
  fi
  PGPASSWORD=$password "$(pgbin psql)" -h "$root" -p "$port" -U "$role" -d postgres -Atq \
    -c "CREATE DATABASE $database ENCODING 'UTF8' TEMPLATE template0" >/dev/null
  if ! answers; then
    log "the server does not answer on $root"; stop_server; return 1
  fi
  cat >"$envfile.tmp" <<EOF
export QOR_TEST_DB_DIR=$root
export QOR_TEST_PG_HOST=$root
export QOR_TEST_PG_PORT=$port
export QOR_TEST_PG_USER=$role
export QOR_TEST_PG_PASSWORD=$password
export QOR_TEST_PG_DATABASE=$database
export QOR_TEST_ODBC_PG='Driver={PostgreSQL Unicode};Servername=$root;Port=$port;Database=$database;Uid=$role;Pwd=\${QOR_TEST_PG_PASSWORD}'
EOF
  mv "$envfile.tmp" "$envfile"
  log "running on $root/.s.PGSQL.$port"
  echo "$envfile"
}

stop() {
  stop_server
  rm -rf "$root"
}

status() {
  if running; then
    echo "$envfile"
  else
    log "not running"
    return 1
  fi
}

cmd=${1:-}
case "$cmd" in
  start|stop|status)
    exec 9>"$lock"
    if ! flock -w 120 9; then
      log "another start or stop holds $lock"
      exit 1
    fi
    "$cmd"
    ;;
  *)
    echo "usage: $0 start|stop|status" >&2
    exit 2
    ;;
esac
