#!/usr/bin/env bash
# A private CUPS spooler for the tests: its own cupsd on a free local port, every file
# under one temporary folder, the system's CUPS configuration left alone.
#
#   scripts/test-spooler.sh start    start it (or reuse the running one); prints the
#                                    path of an env file to source (CUPS_SERVER=...)
#   scripts/test-spooler.sh stop     stop the daemon this script started, remove its folder
#   scripts/test-spooler.sh status   exit 0 and print the env file when it answers
#
# Queues (PDF kept as submitted, written to $QOR_TEST_SPOOLER_OUT/<queue>.pdf):
#   PrinterA         Auto, Upper, Lower, Middle, Manual          (codes 7, 1, 2, 3, 4)
#   PrinterB         Cassette, LargeCapacity, Envelope, PhotoTray, Tray5 (14, 11, 5, 16, 17)
#   PrinterOneTray   Main                                        (16)
#   PrinterNoCopies  Auto, Upper, Lower; copies-supported 1-1 (*cupsMaxCopies: 1)
#
# Several callers may run start at once (test binaries in parallel): a lock serialises
# them and all but the first reuse the running daemon. The folder is
# $QOR_TEST_SPOOLER_DIR, default /tmp/qor-test-spooler-<uid>.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
templates="$here/cups"
root="${QOR_TEST_SPOOLER_DIR:-/tmp/qor-test-spooler-$(id -u)}"
lock="$root.lock"
envfile="$root/env"
QUEUES=(PrinterA PrinterB PrinterOneTray PrinterNoCopies)

log() { echo "test-spooler: $*" >&2; }

need() {
  command -v "$1" >/dev/null 2>&1 && return 0
  [ -x "/usr/sbin/$1" ] && return 0
  log "$1 is missing (install cups, cups-client: scripts/setup.sh)"
  exit 1
}

cupsd_bin() { command -v cupsd 2>/dev/null || echo /usr/sbin/cupsd; }
lpadmin_bin() { command -v lpadmin 2>/dev/null || echo /usr/sbin/lpadmin; }

# The pid of our daemon when it is alive, else nothing.
daemon_pid() {
  local pid
  [ -f "$root/daemon.pid" ] || return 1
  pid=$(cat "$root/daemon.pid")
  [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null || return 1
  grep -q cupsd "/proc/$pid/cmdline" 2>/dev/null || return 1
  echo "$pid"
}

port_of() { sed -n 's/^export CUPS_SERVER=localhost:\([0-9]*\)$/\1/p' "$envfile" 2>/dev/null; }

answers() {
  local port=$1
  [ -n "$port" ] && lpstat -h "localhost:$port" -r 2>/dev/null | grep -q 'is running'
}

running() {
  daemon_pid >/dev/null && [ -f "$envfile" ] && answers "$(port_of)"
}

free_port() {
  local p
  for p in $(shuf -i 20000-60000 -n 50); do
    if ! (exec 3<>"/dev/tcp/127.0.0.1/$p") 2>/dev/null; then
      echo "$p"
      return 0
    fi
  done
  log "no free local port found"
  return 1
}

stop_daemon() {
  local pid i
  pid=$(daemon_pid) || return 0
  kill -TERM "$pid" 2>/dev/null || true
  for i in $(seq 1 50); do
    kill -0 "$pid" 2>/dev/null || return 0
    sleep 0.1
  done
  kill -KILL "$pid" 2>/dev/null || true
}

add_queues() {
  local port=$1 q
  for q in "${QUEUES[@]}"; do
    "$(lpadmin_bin)" -h "localhost:$port" -p "$q" -E -v "file://$root/out/$q.pdf" \
      -P "$templates/ppd/$q.ppd" -D "$q test queue" 2>>"$root/log/lpadmin.log"
  done
  "$(lpadmin_bin)" -h "localhost:$port" -d PrinterA 2>>"$root/log/lpadmin.log"
}

start() {
  need cupsd; need lpadmin; need lpstat
  if running; then
    echo "$envfile"
    return 0
  fi
  stop_daemon
  rm -rf "$root"
  mkdir -p "$root"/{etc/ppd,etc/ssl,spool/tmp,run,cache,log,out}
  # Filters run as an unprivileged user: every folder must be reachable for it.
  chmod 755 "$root" "$root"/{etc,spool,run,cache,log}
  chmod 1777 "$root/spool/tmp" "$root/out"

  local user group sysgroup port
  if [ "$(id -u)" -eq 0 ]; then
    user=lp; group=lp; sysgroup=root
  else
    user=$(id -un); group=$(id -gn); sysgroup=$(id -gn)
  fi
  port=$(free_port)
  sed -e "s|@PORT@|$port|g" "$templates/cupsd.conf.in" >"$root/etc/cupsd.conf"
  sed -e "s|@DIR@|$root|g" -e "s|@USER@|$user|g" -e "s|@GROUP@|$group|g" \
      -e "s|@SYSGROUP@|$sysgroup|g" "$templates/cups-files.conf.in" >"$root/etc/cups-files.conf"

  # Its own session, so that a test runner's signals do not reach it; the lock's
  # descriptor stays behind so that later callers are not blocked by the daemon.
  setsid "$(cupsd_bin)" -f -c "$root/etc/cupsd.conf" -s "$root/etc/cups-files.conf" \
    </dev/null >"$root/log/cupsd.out" 2>&1 9>&- &
  echo $! >"$root/daemon.pid"

  local i
  for i in $(seq 1 100); do
    answers "$port" && break
    if ! kill -0 "$(cat "$root/daemon.pid")" 2>/dev/null; then
      log "cupsd exited at start:"; cat "$root/log/cupsd.out" "$root/log/error_log" >&2 2>/dev/null || true
      return 1
    fi
    sleep 0.1
  done
  if ! answers "$port"; then
    log "cupsd does not answer on port $port"; stop_daemon; return 1
  fi
  add_queues "$port"
  cat >"$envfile.tmp" <<EOF
export CUPS_SERVER=localhost:$port
export QOR_TEST_SPOOLER_DIR=$root
export QOR_TEST_SPOOLER_OUT=$root/out
export QOR_TEST_SPOOLER_PPDS=$templates/ppd
EOF
  mv "$envfile.tmp" "$envfile"
  log "running on localhost:$port (pid $(cat "$root/daemon.pid"))"
  echo "$envfile"
}

stop() {
  stop_daemon
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
    if ! flock -w 60 9; then
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
