#!/usr/bin/env bash
# Loads the sample invoice database into a PostgreSQL database, so that the report
# definitions of examples/reports run on it through ODBC and print what they print on the
# SQLite file.
#
# usage: load_sample_pg.sh [SAMPLE.sqlite]   (default: examples/sample/invoices.sqlite, made
#                                              by make_sample_db.sh when it is missing)
#
# The server comes from the usual libpq variables (PGHOST, PGPORT, PGUSER, PGPASSWORD,
# PGDATABASE), else from the private test server (scripts/test-db.sh start; its env file
# sourced). Tables cities, customers and invoices are replaced. Amounts are numeric(12,2)
# and invoice dates are dates; the view invoice_lines gives the columns of the SQLite view
# of that name, the date as its ISO text there too, so one definition serves both.
# Prints the ODBC connection string (without the password: give it as Pwd=...).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
sample=${1:-$here/invoices.sqlite}
command -v sqlite3 >/dev/null || { echo "load_sample_pg: sqlite3 is missing" >&2; exit 1; }
command -v psql >/dev/null || { echo "load_sample_pg: psql is missing (apt-get install postgresql-client)" >&2; exit 1; }
[ -f "$sample" ] || bash "$here/make_sample_db.sh" "$sample" >/dev/null

export PGHOST=${PGHOST:-${QOR_TEST_PG_HOST:-}}
export PGPORT=${PGPORT:-${QOR_TEST_PG_PORT:-5432}}
export PGUSER=${PGUSER:-${QOR_TEST_PG_USER:-}}
export PGPASSWORD=${PGPASSWORD:-${QOR_TEST_PG_PASSWORD:-}}
export PGDATABASE=${PGDATABASE:-${QOR_TEST_PG_DATABASE:-}}
[ -n "$PGHOST" ] || { echo "load_sample_pg: no server: set PGHOST or source the env file of scripts/test-db.sh start" >&2; exit 1; }

export PGOPTIONS="-c client_min_messages=warning"
pg() { psql -X -q -v ON_ERROR_STOP=1 "$@"; }
# One table's rows from SQLite as CSV into the PostgreSQL table of that name.
copy() {
  local table=$1 columns=$2
  sqlite3 -csv "$sample" "SELECT $columns FROM $table ORDER BY id" |
    pg -c "\\copy $table ($columns) FROM STDIN WITH (FORMAT csv)"
}

pg <<'SQL'
DROP VIEW IF EXISTS invoice_lines;
DROP TABLE IF EXISTS invoices, customers, cities;
CREATE TABLE cities (
  id          integer PRIMARY KEY,
  postal_code varchar(10) NOT NULL,
  name        varchar(60) NOT NULL,
  region      varchar(20) NOT NULL
);
CREATE TABLE customers (
  id      integer PRIMARY KEY,
  name    varchar(120) NOT NULL UNIQUE,
  city_id integer NOT NULL REFERENCES cities(id)
);
CREATE TABLE invoices (
  id          integer PRIMARY KEY,
  number      varchar(20) NOT NULL UNIQUE,
  date        date NOT NULL,
  customer_id integer NOT NULL REFERENCES customers(id),
  amount      numeric(12,2) NOT NULL,
  vat_rate    integer NOT NULL,
  vat         numeric(12,2) NOT NULL,
  total       numeric(12,2) NOT NULL
);
SQL
copy cities "id, postal_code, name, region"
copy customers "id, name, city_id"
copy invoices "id, number, date, customer_id, amount, vat_rate, vat, total"
pg <<'SQL'
CREATE INDEX invoices_customer ON invoices(customer_id);
CREATE INDEX invoices_date ON invoices(date);
CREATE VIEW invoice_lines AS
SELECT i.id, i.number, to_char(i.date, 'YYYY-MM-DD')::varchar(10) AS date,
       extract(year FROM i.date)::integer AS year,
       cu.name AS customer, ci.name AS city, ci.postal_code, ci.region,
       i.amount, i.vat_rate, i.vat, i.total
FROM invoices i
JOIN customers cu ON cu.id = i.customer_id
JOIN cities ci ON ci.id = cu.city_id;
ANALYZE;
SQL
echo "Driver={PostgreSQL Unicode};Servername=$PGHOST;Port=$PGPORT;Database=$PGDATABASE;Uid=$PGUSER"
