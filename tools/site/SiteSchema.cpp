#include "SiteSchema.h"

#include "site/PgConnection.h"
#include "site/SiteError.h"

namespace {

// Tables, grants and policies. The administrator (the role that runs this)
// owns everything and so is the only one that reads the audit trail or
// changes the schema; a gate reaches the tables through the grants to
// vostrel_gates, and row security keeps it to its own name: site.current_gate()
// is the gate of the role logged in.
constexpr const char* kSchema = R"sql(
CREATE SCHEMA IF NOT EXISTS site;
REVOKE ALL ON SCHEMA site FROM PUBLIC;
DO $$ BEGIN
  IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = 'vostrel_gates') THEN
    CREATE ROLE vostrel_gates NOLOGIN;
  END IF;
END $$;
GRANT USAGE ON SCHEMA site TO vostrel_gates;
-- The database is the site's: nobody but the administrator makes objects in it.
DO $$ BEGIN
  EXECUTE format('REVOKE TEMPORARY ON DATABASE %I FROM PUBLIC', current_database());
END $$;

CREATE TABLE IF NOT EXISTS site.meta (
  key text PRIMARY KEY,
  value text NOT NULL
);
INSERT INTO site.meta VALUES ('schema_version', '1') ON CONFLICT DO NOTHING;

-- One row per gate; its role logs in with the certificate named after it.
CREATE TABLE IF NOT EXISTS site.gates (
  name text PRIMARY KEY CHECK (name ~ '^[a-z][a-z0-9_]{0,39}$'),
  role name NOT NULL UNIQUE,
  added_at timestamptz NOT NULL DEFAULT now(),
  removed_at timestamptz
);

-- The site's register. id is chosen by the gate that adds the record, so
-- arrivals at two gates never collide; version counts the changes, for
-- compare-and-set. The texts are the register's, byte for byte (null stays
-- null); written is the register's 日期.
CREATE TABLE IF NOT EXISTS site.records (
  id uuid PRIMARY KEY,
  category text, name text, identity_number text, mobile text, telephone text,
  reason text, address text, arrival text, departure text, remarks text, written text,
  in_gate text NOT NULL REFERENCES site.gates(name),
  out_gate text REFERENCES site.gates(name),
  changed_by text NOT NULL REFERENCES site.gates(name),
  version integer NOT NULL DEFAULT 1,
  source_number bigint,
  UNIQUE (in_gate, source_number)
);

-- What the gates pull: every change in order. change_id is the pushing
-- gate's key, so a change pushed twice is there once.
CREATE TABLE IF NOT EXISTS site.changes (
  seq bigserial PRIMARY KEY,
  change_id uuid NOT NULL UNIQUE,
  gate text NOT NULL REFERENCES site.gates(name),
  kind text NOT NULL CHECK (kind IN ('add', 'modify', 'depart', 'delete', 'clear', 'delete_before', 'import')),
  record_id uuid,
  at timestamptz NOT NULL DEFAULT now()
);
CREATE INDEX IF NOT EXISTS changes_record ON site.changes (record_id);
-- The records a "清空" or a deletion of old records removed, for the gates
-- that pull it.
ALTER TABLE site.changes ADD COLUMN IF NOT EXISTS records uuid[];

CREATE TABLE IF NOT EXISTS site.watch_list (
  id uuid PRIMARY KEY,
  identity_number text, name text, reason text,
  added_by text NOT NULL REFERENCES site.gates(name),
  added_at timestamptz NOT NULL DEFAULT now(),
  version integer NOT NULL DEFAULT 1
);

CREATE TABLE IF NOT EXISTS site.audit (
  id bigserial PRIMARY KEY,
  at timestamptz NOT NULL DEFAULT now(),
  gate text NOT NULL,
  action text NOT NULL,
  record_id uuid,
  detail jsonb
);

-- Registers uploaded by vostrel-site import, by the SHA-256 of the file.
CREATE TABLE IF NOT EXISTS site.imports (
  file_sha256 text PRIMARY KEY,
  gate text NOT NULL REFERENCES site.gates(name),
  records integer NOT NULL,
  imported_at timestamptz NOT NULL DEFAULT now()
);

-- The gate of the role that logged in (inside the push functions too, which
-- run as the administrator).
CREATE OR REPLACE FUNCTION site.current_gate() RETURNS text
  LANGUAGE sql STABLE AS
$$ SELECT name FROM site.gates WHERE role = session_user AND removed_at IS NULL $$;
REVOKE ALL ON FUNCTION site.current_gate() FROM PUBLIC;
GRANT EXECUTE ON FUNCTION site.current_gate() TO vostrel_gates;

GRANT SELECT ON site.gates, site.records, site.changes, site.watch_list TO vostrel_gates;
GRANT INSERT ON site.records TO vostrel_gates;
GRANT INSERT ON site.changes, site.watch_list, site.audit TO vostrel_gates;
GRANT USAGE ON SEQUENCE site.changes_seq_seq, site.audit_id_seq TO vostrel_gates;

ALTER TABLE site.gates ENABLE ROW LEVEL SECURITY;
ALTER TABLE site.records ENABLE ROW LEVEL SECURITY;
ALTER TABLE site.changes ENABLE ROW LEVEL SECURITY;
ALTER TABLE site.watch_list ENABLE ROW LEVEL SECURITY;
ALTER TABLE site.audit ENABLE ROW LEVEL SECURITY;

DO $$
DECLARE
  p text[];
BEGIN
  FOREACH p SLICE 1 IN ARRAY ARRAY[
    ['gates', 'gate_reads_gates', 'SELECT', 'USING (true)'],
    ['records', 'gate_reads_records', 'SELECT', 'USING (true)'],
    ['records', 'gate_adds_as_itself', 'INSERT',
     'WITH CHECK (in_gate = site.current_gate() AND changed_by = site.current_gate()'
     ' AND (out_gate IS NULL OR out_gate = site.current_gate()))'],
    ['changes', 'gate_reads_changes', 'SELECT', 'USING (true)'],
    ['changes', 'gate_logs_as_itself', 'INSERT', 'WITH CHECK (gate = site.current_gate())'],
    ['watch_list', 'gate_reads_watch_list', 'SELECT', 'USING (true)'],
    ['watch_list', 'gate_watches_as_itself', 'INSERT', 'WITH CHECK (added_by = site.current_gate())'],
    ['audit', 'gate_audits_as_itself', 'INSERT', 'WITH CHECK (gate = site.current_gate())']
  ] LOOP
    IF NOT EXISTS (SELECT FROM pg_policies WHERE schemaname = 'site' AND tablename = p[1] AND policyname = p[2]) THEN
      EXECUTE format('CREATE POLICY %I ON site.%I FOR %s TO vostrel_gates %s', p[2], p[1], p[3], p[4]);
    END IF;
  END LOOP;
END $$;
)sql";

// Every writer of site.changes takes the changes lock first, so changes
// commit in the order of their seq and a gate that pulled up to one seq
// never misses a smaller one that committed later.
//
// How a gate's changes reach the site, each keyed by the gate's change id:
// pushed again, it changes nothing and answers as the first time. An arrival
// runs with the gate's own rights, so row security applies. A departure, a
// change and a delete are decided here (first writer, version, audit row), so
// they run with the administrator's rights: a gate cannot update or delete a
// record any other way, and the site takes one of them from a gate by revoking
// the function. The texts are the eleven of a record after its number: 分类 to
// 备注 and 日期.
constexpr const char* kPushFunctions = R"sql(
-- An arrival as the first gates pushed it, without their record number: the
-- add below with none, answering with the change's seq.
CREATE OR REPLACE FUNCTION site.push_add(p_change uuid, p_record uuid, p_texts text[]) RETURNS bigint
  LANGUAGE plpgsql AS $$
BEGIN
  PERFORM site.push_add(p_change, p_record, NULL::bigint, p_texts);
  RETURN (SELECT seq FROM site.changes WHERE change_id = p_change);
END $$;

-- A departure: the first gate to record one wins. Returns the departure that
-- stands; both the accepted and a refused one go into the audit trail.
CREATE OR REPLACE FUNCTION site.push_depart(p_change uuid, p_record uuid, p_departure text) RETURNS text
  LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $$
DECLARE
  g text := site.current_gate();
  standing text;
BEGIN
  PERFORM pg_advisory_xact_lock(7460091);
  IF g IS NULL THEN RAISE EXCEPTION 'not a gate of this site'; END IF;
  IF EXISTS (SELECT FROM site.changes WHERE change_id = p_change) THEN
    SELECT departure INTO standing FROM site.records WHERE id = p_record;
    RETURN standing;
  END IF;
  UPDATE site.records SET departure = p_departure, out_gate = g, changed_by = g, version = version + 1
    WHERE id = p_record AND coalesce(trim(departure), '') = ''
    RETURNING departure INTO standing;
  IF FOUND THEN
    INSERT INTO site.changes (change_id, gate, kind, record_id) VALUES (p_change, g, 'depart', p_record);
    INSERT INTO site.audit (gate, action, record_id, detail)
      VALUES (g, 'departure', p_record, jsonb_build_object('departure', p_departure));
    RETURN standing;
  END IF;
  SELECT departure INTO standing FROM site.records WHERE id = p_record;
  INSERT INTO site.changes (change_id, gate, kind, record_id) VALUES (p_change, g, 'depart', p_record);
  INSERT INTO site.audit (gate, action, record_id, detail)
    VALUES (g, 'departure refused', p_record, jsonb_build_object('departure', p_departure, 'standing', standing));
  RETURN standing;
END $$;

-- A change of a record's texts, accepted only when the record is still at
-- the version the gate changed; returns the new version, or null when it was
-- refused (kept in the audit trail).
CREATE OR REPLACE FUNCTION site.push_modify(p_change uuid, p_record uuid, p_version integer, p_texts text[])
  RETURNS integer LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $$
DECLARE
  g text := site.current_gate();
  v integer;
BEGIN
  PERFORM pg_advisory_xact_lock(7460091);
  IF g IS NULL THEN RAISE EXCEPTION 'not a gate of this site'; END IF;
  IF EXISTS (SELECT FROM site.changes WHERE change_id = p_change) THEN
    SELECT version INTO v FROM site.records WHERE id = p_record AND changed_by = g;
    RETURN v;
  END IF;
  UPDATE site.records SET category = p_texts[1], name = p_texts[2], identity_number = p_texts[3],
      mobile = p_texts[4], telephone = p_texts[5], reason = p_texts[6], address = p_texts[7],
      arrival = p_texts[8], departure = p_texts[9], remarks = p_texts[10], written = p_texts[11],
      changed_by = g, version = version + 1
    WHERE id = p_record AND version = p_version
    RETURNING version INTO v;
  INSERT INTO site.changes (change_id, gate, kind, record_id) VALUES (p_change, g, 'modify', p_record);
  IF v IS NULL THEN
    INSERT INTO site.audit (gate, action, record_id, detail)
      VALUES (g, 'change refused', p_record, jsonb_build_object('version', p_version, 'texts', to_jsonb(p_texts)));
  END IF;
  RETURN v;
END $$;

-- A delete of one record, or of every record (p_record null: "清空").
CREATE OR REPLACE FUNCTION site.push_delete(p_change uuid, p_record uuid) RETURNS void
  LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $$
DECLARE
  g text := site.current_gate();
  n bigint;
  gone uuid[];
BEGIN
  PERFORM pg_advisory_xact_lock(7460091);
  IF g IS NULL THEN RAISE EXCEPTION 'not a gate of this site'; END IF;
  IF EXISTS (SELECT FROM site.changes WHERE change_id = p_change) THEN RETURN; END IF;
  IF p_record IS NULL THEN
    WITH d AS (DELETE FROM site.records RETURNING id) SELECT array_agg(id), count(*) INTO gone, n FROM d;
  ELSE
    DELETE FROM site.records WHERE id = p_record;
    GET DIAGNOSTICS n = ROW_COUNT;
  END IF;
  INSERT INTO site.changes (change_id, gate, kind, record_id, records)
    VALUES (p_change, g, CASE WHEN p_record IS NULL THEN 'clear' ELSE 'delete' END, p_record, gone);
  INSERT INTO site.audit (gate, action, record_id, detail)
    VALUES (g, CASE WHEN p_record IS NULL THEN 'clear' ELSE 'delete' END, p_record, jsonb_build_object('records', n));
END $$;

-- An arrival that the site may hold already: a gate's register imported by
-- vostrel-site import holds the record under the gate's record number
-- (p_source). Then nothing is added and the id of the imported record is
-- returned, for the gate to take; else p_record's.
CREATE OR REPLACE FUNCTION site.push_add(p_change uuid, p_record uuid, p_source bigint, p_texts text[]) RETURNS uuid
  LANGUAGE plpgsql AS $$
DECLARE
  g text := site.current_gate();
  r uuid;
BEGIN
  PERFORM pg_advisory_xact_lock(7460091);
  SELECT record_id INTO r FROM site.changes WHERE change_id = p_change;
  IF FOUND THEN RETURN r; END IF;
  SELECT id INTO r FROM site.records WHERE in_gate = g AND source_number = p_source;
  IF NOT FOUND THEN
    r := p_record;
    INSERT INTO site.records (id, category, name, identity_number, mobile, telephone, reason, address, arrival,
                              departure, remarks, written, in_gate, out_gate, changed_by, source_number)
      VALUES (p_record, p_texts[1], p_texts[2], p_texts[3], p_texts[4], p_texts[5], p_texts[6], p_texts[7],
              p_texts[8], p_texts[9], p_texts[10], p_texts[11], g,
              CASE WHEN coalesce(trim(p_texts[9]), '') = '' THEN NULL ELSE g END, g, p_source);
  END IF;
  INSERT INTO site.changes (change_id, gate, kind, record_id) VALUES (p_change, g, 'add', r);
  RETURN r;
END $$;

-- A deletion of old records at a gate: the records it deleted, as one change
-- that names them and one audit row with their count.
CREATE OR REPLACE FUNCTION site.push_delete_before(p_change uuid, p_records uuid[]) RETURNS void
  LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $$
DECLARE
  g text := site.current_gate();
  n bigint;
BEGIN
  PERFORM pg_advisory_xact_lock(7460091);
  IF g IS NULL THEN RAISE EXCEPTION 'not a gate of this site'; END IF;
  IF EXISTS (SELECT FROM site.changes WHERE change_id = p_change) THEN RETURN; END IF;
  DELETE FROM site.records WHERE id = ANY (p_records);
  GET DIAGNOSTICS n = ROW_COUNT;
  INSERT INTO site.changes (change_id, gate, kind, records) VALUES (p_change, g, 'delete_before', p_records);
  INSERT INTO site.audit (gate, action, detail) VALUES (g, 'delete_before', jsonb_build_object('records', n));
END $$;

-- Gates listening on "vostrel_site" learn that there are changes to pull;
-- one notice per transaction, however many changes it made.
CREATE OR REPLACE FUNCTION site.notify_change() RETURNS trigger LANGUAGE plpgsql AS $$
BEGIN
  PERFORM pg_notify('vostrel_site', '');
  RETURN NULL;
END $$;
CREATE OR REPLACE TRIGGER changes_notify AFTER INSERT ON site.changes
  FOR EACH STATEMENT EXECUTE FUNCTION site.notify_change();

REVOKE ALL ON FUNCTION site.push_add(uuid, uuid, text[]), site.push_add(uuid, uuid, bigint, text[]),
  site.push_depart(uuid, uuid, text), site.push_modify(uuid, uuid, integer, text[]), site.push_delete(uuid, uuid),
  site.push_delete_before(uuid, uuid[]) FROM PUBLIC;
GRANT EXECUTE ON FUNCTION site.push_add(uuid, uuid, text[]), site.push_add(uuid, uuid, bigint, text[]),
  site.push_depart(uuid, uuid, text), site.push_modify(uuid, uuid, integer, text[]), site.push_delete(uuid, uuid),
  site.push_delete_before(uuid, uuid[]) TO vostrel_gates;
)sql";

} // namespace

void CreateSiteSchema(PgConnection& admin)
{
    const PgResult encoding = admin.exec("SELECT pg_encoding_to_char(encoding) FROM pg_database "
                                         "WHERE datname = current_database()");
    if (encoding.text(0, 0) != QLatin1String("UTF8"))
        throw ESiteError(QStringLiteral("the site's database must use the encoding UTF8, not ") + encoding.text(0, 0));
    admin.exec("BEGIN");
    admin.exec(kSchema);
    admin.exec(kPushFunctions);
    admin.exec("COMMIT");
}
