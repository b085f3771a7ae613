-- The tables of a geosig catalog, in the order they were introduced. A new catalog runs every
-- section; an older one runs the sections after its version, and PRAGMA user_version then
-- holds the last section's number. Catalogs of version 1 carry their version only in the
-- schema_version table, which stays at 1: geosig before version 2 still reads and writes the
-- catalog, and the triggers of version 2 count its changes too.

-- version 1
CREATE TABLE schema_version(version INTEGER NOT NULL);
INSERT INTO schema_version(version) VALUES (1);
CREATE TABLE parts(
  id INTEGER PRIMARY KEY AUTOINCREMENT,  -- never reused: a file read again gets a new id
  path TEXT NOT NULL UNIQUE,             -- absolute, without . and ..
  fingerprint TEXT,                      -- base64 SHA-256 of the bytes, as `geosig fingerprint`; null if unreadable
  size INTEGER,                          -- bytes
  format TEXT,                           -- the reader's name, as in `describe`
  options TEXT NOT NULL,                 -- the tessellation options the file was read with
  status TEXT NOT NULL CHECK (status IN ('ok', 'failed')),
  error TEXT,                            -- why it failed, one line; null when ok
  descriptors TEXT,                      -- the `descriptors` object of `describe --json`
  norm REAL,                             -- the signature's size term
  terms BLOB,                            -- 10 little-endian IEEE floats: principal values, extents, symmetries, area
  coarse BLOB);                          -- the occupancy pooled to 8^3 cells, 64 bytes
CREATE INDEX parts_by_fingerprint ON parts(fingerprint);
CREATE TABLE occupancies(
  part INTEGER PRIMARY KEY REFERENCES parts(id) ON DELETE CASCADE,
  depth INTEGER NOT NULL,                -- 5
  cells BLOB NOT NULL);                  -- (2^depth)^3 bits: cell (x, y, z) is bit x + n(y + nz), n = 2^depth,
                                         -- of little-endian 64-bit words

-- version 2
-- A counter of the changes to parts, whoever makes them: a search index saved beside the
-- catalog records the count it reflects, and a resident catalog polls it.
CREATE TABLE catalog_state(changes INTEGER NOT NULL);
INSERT INTO catalog_state(changes) VALUES (0);
CREATE TRIGGER parts_inserted AFTER INSERT ON parts BEGIN UPDATE catalog_state SET changes = changes + 1; END;
CREATE TRIGGER parts_deleted AFTER DELETE ON parts BEGIN UPDATE catalog_state SET changes = changes + 1; END;
CREATE TRIGGER parts_updated AFTER UPDATE ON parts BEGIN UPDATE catalog_state SET changes = changes + 1; END;

-- version 3
-- Three more global terms: how near each part's occupancy comes to its mirror image through
-- each principal plane. They are measured on the occupancy the catalog holds, by a function
-- geosig gives its connections. terms is then 13 floats: principal values, extents,
-- symmetries, area, mirror similarities.
-- (|| makes text of blobs: the cast keeps the bytes a blob.)
UPDATE parts
  SET terms = CAST(terms || (SELECT geosig_mirror_similarities(depth, cells) FROM occupancies WHERE part = parts.id) AS BLOB)
  WHERE status = 'ok' AND length(terms) = 40;

-- version 4
-- Three more global terms: how far each part's surface is from symmetric about each principal
-- plane. They are measured on the surface, which the catalog does not hold: parts signed
-- before get -1 (not measured) and the next `geosig index` reads their files again.
-- terms is then 16 floats: ..., mirror similarities, asymmetries.
UPDATE parts
  SET terms = CAST(terms || X'000080BF000080BF000080BF' AS BLOB)
  WHERE status = 'ok' AND length(terms) = 52;

-- version 5
-- One more global term: the spacing of features repeated along each part's first principal
-- axis. It is measured on the surface: parts signed before get -1 (not measured) and the next
-- `geosig index` reads their files again. terms is then 17 floats: ..., asymmetries, pitch.
UPDATE parts
  SET terms = CAST(terms || X'000080BF' AS BLOB)
  WHERE status = 'ok' AND length(terms) = 64;
