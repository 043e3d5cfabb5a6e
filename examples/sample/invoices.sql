-- The sample invoice database: Belgian cities, customers and two years of invoices.
-- Every "random" choice comes from a linear congruential generator with a fixed seed, so the
-- same rows come out on every run.
PRAGMA journal_mode = OFF;
PRAGMA page_size = 4096;
BEGIN;

CREATE TABLE cities (
  id          INTEGER PRIMARY KEY,
  postal_code TEXT NOT NULL,
  name        TEXT NOT NULL,
  region      TEXT NOT NULL
);
INSERT INTO cities (id, postal_code, name, region) VALUES
  (1, '1000', 'Brussel', 'Brussel'),          (2, '1070', 'Anderlecht', 'Brussel'),
  (3, '1180', 'Uccle', 'Brussel'),            (4, '2000', 'Antwerpen', 'Vlaanderen'),
  (5, '9000', 'Gent', 'Vlaanderen'),          (6, '8000', 'Brugge', 'Vlaanderen'),
  (7, '3000', 'Leuven', 'Vlaanderen'),        (8, '2800', 'Mechelen', 'Vlaanderen'),
  (9, '3500', 'Hasselt', 'Vlaanderen'),       (10, '8500', 'Kortrijk', 'Vlaanderen'),
  (11, '9300', 'Aalst', 'Vlaanderen'),        (12, '1800', 'Vilvoorde', 'Vlaanderen'),
  (13, '2300', 'Turnhout', 'Vlaanderen'),     (14, '3600', 'Genk', 'Vlaanderen'),
  (15, '8400', 'Oostende', 'Vlaanderen'),     (16, '9100', 'Sint-Niklaas', 'Vlaanderen'),
  (17, '2500', 'Lier', 'Vlaanderen'),         (18, '8800', 'Roeselare', 'Vlaanderen'),
  (19, '9200', 'Dendermonde', 'Vlaanderen'),  (20, '3800', 'Sint-Truiden', 'Vlaanderen'),
  (21, '2200', 'Herentals', 'Vlaanderen'),    (22, '8900', 'Ieper', 'Vlaanderen'),
  (23, '3200', 'Aarschot', 'Vlaanderen'),     (24, '9400', 'Ninove', 'Vlaanderen'),
  (25, '2400', 'Mol', 'Vlaanderen'),          (26, '3290', 'Diest', 'Vlaanderen'),
  (27, '4000', 'Liège', 'Wallonie'),          (28, '5000', 'Namur', 'Wallonie'),
  (29, '6000', 'Charleroi', 'Wallonie'),      (30, '7000', 'Mons', 'Wallonie'),
  (31, '1300', 'Wavre', 'Wallonie'),          (32, '1400', 'Nivelles', 'Wallonie'),
  (33, '7500', 'Tournai', 'Wallonie'),        (34, '4800', 'Verviers', 'Wallonie'),
  (35, '6700', 'Arlon', 'Wallonie'),          (36, '5500', 'Dinant', 'Wallonie'),
  (37, '1348', 'Louvain-la-Neuve', 'Wallonie'), (38, '4500', 'Huy', 'Wallonie'),
  (39, '6900', 'Marche-en-Famenne', 'Wallonie'), (40, '7700', 'Mouscron', 'Wallonie');

-- The generator: x(n+1) = (1103515245 x(n) + 12345) mod 2^31, seed 20250101; the upper
-- bits (x / 65536) are used, the low bits of this generator being poor.
CREATE TEMP TABLE rnd (i INTEGER PRIMARY KEY, x INTEGER NOT NULL);
WITH RECURSIVE seq(i, x) AS (
  SELECT 1, 20250101
  UNION ALL
  SELECT i + 1, (1103515245 * x + 12345) % 2147483648 FROM seq WHERE i < 13000
)
INSERT INTO rnd SELECT i, x / 65536 FROM seq;

CREATE TEMP TABLE surnames (k INTEGER PRIMARY KEY, s TEXT);
INSERT INTO surnames (k, s) VALUES
  (0, 'Peeters'), (1, 'Janssens'), (2, 'Maes'), (3, 'Jacobs'), (4, 'Mertens'),
  (5, 'Willems'), (6, 'Claes'), (7, 'Goossens'), (8, 'Wouters'), (9, 'De Smet'),
  (10, 'Dubois'), (11, 'Lambert'), (12, 'Dupont'), (13, 'Martin'), (14, 'Simon'),
  (15, 'Leclercq'), (16, 'Hermans'), (17, 'Vermeulen'), (18, 'Van den Broeck'),
  (19, 'Desmet'), (20, 'Michiels'), (21, 'Declercq'), (22, 'Lemaire'), (23, 'Renard'),
  (24, 'Vandenberghe');
CREATE TEMP TABLE trades (k INTEGER PRIMARY KEY, s TEXT);
INSERT INTO trades (k, s) VALUES
  (0, 'Bouw'), (1, 'Elektro'), (2, 'Transport'), (3, 'Bakkerij'), (4, 'Garage'),
  (5, 'Drukkerij'), (6, 'Consult'), (7, 'Schrijnwerkerij en Interieur'), (8, 'Installaties'),
  (9, 'Logistics'), (10, 'Immo'), (11, 'Verzekeringen'), (12, 'Catering'),
  (13, 'Tuinaanleg en Groenonderhoud');
CREATE TEMP TABLE forms (k INTEGER PRIMARY KEY, s TEXT);
INSERT INTO forms (k, s) VALUES (0, 'NV'), (1, 'BV'), (2, 'CommV'), (3, 'SA'), (4, 'SRL'), (5, 'VOF');

-- 300 customers: surname and trade together are unique; legal form and city at random.
CREATE TABLE customers (
  id      INTEGER PRIMARY KEY,
  name    TEXT NOT NULL UNIQUE,
  city_id INTEGER NOT NULL REFERENCES cities(id)
);
INSERT INTO customers (id, name, city_id)
SELECT r.i,
       (SELECT s FROM surnames WHERE k = (r.i - 1) % 25) || ' ' ||
       (SELECT s FROM trades WHERE k = ((r.i - 1) / 25 + (r.i - 1) % 25) % 14) || ' ' ||
       (SELECT s FROM forms WHERE k = r.x % 6),
       1 + (r.x / 7) % 40
FROM rnd r WHERE r.i <= 300;

-- 3,000 invoices in 2025 and 2026, four generator values each (customer, day, amount,
-- VAT rate), numbered in date order.
CREATE TEMP TABLE draft AS
SELECT a.x % 300 + 1                                  AS customer_id,
       date('2025-01-01', '+' || (b.x % 730) || ' days') AS date,
       round(25 + c.x * 0.1475, 2)                    AS amount,
       CASE WHEN d.x % 10 < 7 THEN 21 WHEN d.x % 10 < 9 THEN 6 ELSE 12 END AS vat_rate,
       a.i                                            AS seq
FROM rnd a
JOIN rnd b ON b.i = a.i + 1
JOIN rnd c ON c.i = a.i + 2
JOIN rnd d ON d.i = a.i + 3
WHERE a.i > 1000 AND (a.i - 1001) % 4 = 0 AND a.i <= 1000 + 4 * 3000;

CREATE TABLE invoices (
  id          INTEGER PRIMARY KEY,
  number      TEXT NOT NULL UNIQUE,
  date        TEXT NOT NULL,              -- ISO date
  customer_id INTEGER NOT NULL REFERENCES customers(id),
  amount      REAL NOT NULL,              -- excluding VAT, euro
  vat_rate    INTEGER NOT NULL,           -- percent: 6, 12 or 21
  vat         REAL NOT NULL,
  total       REAL NOT NULL
);
INSERT INTO invoices (id, number, date, customer_id, amount, vat_rate, vat, total)
SELECT n, 'F' || substr(date, 1, 4) || '-' || printf('%05d', n), date, customer_id, amount,
       vat_rate, round(amount * vat_rate / 100.0, 2),
       round(amount + round(amount * vat_rate / 100.0, 2), 2)
FROM (SELECT row_number() OVER (ORDER BY date, seq) AS n, * FROM draft);

CREATE INDEX invoices_customer ON invoices(customer_id);
CREATE INDEX invoices_date ON invoices(date);

-- The rows the report definitions read: one invoice with its customer and city.
CREATE VIEW invoice_lines AS
SELECT i.id, i.number, i.date, CAST(substr(i.date, 1, 4) AS INTEGER) AS year,
       cu.name AS customer, ci.name AS city, ci.postal_code, ci.region,
       i.amount, i.vat_rate, i.vat, i.total
FROM invoices i
JOIN customers cu ON cu.id = i.customer_id
JOIN cities ci ON ci.id = cu.city_id;

COMMIT;
