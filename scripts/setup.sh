#!/usr/bin/env bash
# Installs every Debian package the project needs to build, test and run.
# Idempotent: when everything is present it prints nothing and changes nothing.
#   setup.sh           what building and running need
#   setup.sh --tests   also what only the test suite needs
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config git
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libqt6svg6
  libgl-dev libxkbcommon-dev
  libharfbuzz-dev libfontconfig-dev libfreetype-dev zlib1g-dev libdeflate-dev
  libcups2-dev cups cups-client cups-filters cups-ipp-utils
  libxlsxwriter-dev
  libsqlite3-dev sqlite3
  unixodbc-dev odbc-postgresql libsqliteodbc odbc-mdbtools
  fonts-liberation2 fonts-dejavu-core
  poppler-utils qpdf
  libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev
  libcairo2-dev libpango1.0-dev
  python3 python3-openpyxl
  python3-dev pybind11-dev python3-pytest
  xvfb xauth
)
# Only the tests use these: LibreOffice Calc recalculates exported workbooks.
if [ "${1:-}" = "--tests" ]; then
  PACKAGES+=(libreoffice-calc-nogui)
  # The private PostgreSQL server of the ODBC tests (scripts/test-db.sh).
  PACKAGES+=(postgresql)
fi

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "setup: these packages are missing and installing them needs root: ${missing[*]}" >&2
    exit 1
  fi
  echo "setup: installing ${missing[*]}" >&2
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq >/dev/null
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
