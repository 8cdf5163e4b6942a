-- The gauge register on a workshop's PostgreSQL server, version 1: the tables of the local
-- file, the people who sign in with their roles, every change of a gauge in its history, and
-- the tolerance tables the workshop publishes. Run once by the database's owner
-- (threadgauge-cli register init-server), in one transaction.

CREATE TABLE schema_version (version integer NOT NULL);
INSERT INTO schema_version VALUES (1);

-- Four roles, each with the rights of the one before: the server, not the program, says
-- who may do what. Roles belong to the whole server, so a second register on it finds them
-- made already.
DO $$
DECLARE
  roles text[] := ARRAY['threadgauge_viewer', 'threadgauge_inspector', 'threadgauge_keeper',
                        'threadgauge_admin'];
BEGIN
  FOR i IN 1 .. array_length(roles, 1) LOOP
    -- Another register made at the same moment may make the role first.
    BEGIN
      EXECUTE format('CREATE ROLE %I NOLOGIN', roles[i]);
    EXCEPTION WHEN duplicate_object OR unique_violation THEN
      NULL;
    END;
    IF i > 1 THEN
      EXECUTE format('GRANT %I TO %I', roles[i - 1], roles[i]);
    END IF;
  END LOOP;
END $$;

-- Who a login is: the name shown as 检定员 and in the history.
CREATE TABLE people (
  login text PRIMARY KEY,
  display_name text NOT NULL
);

CREATE TABLE gauges (
  id bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY,
  number text NOT NULL UNIQUE,
  thread text NOT NULL,
  kind text NOT NULL,
  length text NOT NULL DEFAULT '',
  maker text NOT NULL DEFAULT '',
  serial text NOT NULL DEFAULT '',
  since text NOT NULL DEFAULT '',
  interval_months integer NOT NULL DEFAULT 12 CHECK (interval_months > 0),
  department text NOT NULL DEFAULT '',
  keeper text NOT NULL DEFAULT '',
  state text NOT NULL DEFAULT '在用' CHECK (state IN ('在用', '停用', '封存', '报废')),
  notes text NOT NULL DEFAULT '',
  -- Who changed the gauge last and when: a keeper's change of a gauge someone else changed
  -- since it was read is refused, naming them.
  changed_by text NOT NULL DEFAULT '',
  changed_at timestamptz NOT NULL DEFAULT now(),
  revision integer NOT NULL DEFAULT 1
);

-- A record's number is the register's: the next after the last, taken under a lock, so the
-- chain of record hashes links each to the one before.
CREATE TABLE records (
  id bigint PRIMARY KEY,
  gauge_id bigint NOT NULL REFERENCES gauges(id),
  date text NOT NULL,
  inspector text NOT NULL DEFAULT '',
  inspector_login text NOT NULL DEFAULT session_user,
  temperature double precision NOT NULL DEFAULT 20,
  method text NOT NULL CHECK (method IN ('wires', 'balls', 'checks')),
  element double precision,
  element_certificate text NOT NULL DEFAULT '',
  major double precision,
  notes text NOT NULL DEFAULT '',
  replaces bigint REFERENCES records(id),
  thread text NOT NULL, kind text NOT NULL, length text NOT NULL,
  database_file text NOT NULL, database_hash text NOT NULL,
  program_version text NOT NULL,
  limit_low double precision, limit_high double precision, wear_limit double precision,
  has_wear_limit integer NOT NULL,
  limits_note text NOT NULL DEFAULT '',
  verdict text NOT NULL, verdict_text text NOT NULL, margin_um double precision,
  created text NOT NULL,
  uncertainty double precision,
  acceptance integer NOT NULL DEFAULT 0,
  imported integer NOT NULL DEFAULT 0,
  margin_limit text NOT NULL DEFAULT '',
  coverage_k double precision,
  instrument text NOT NULL DEFAULT '',
  instrument_number text NOT NULL DEFAULT '',
  instrument_certificate text NOT NULL DEFAULT '',
  instrument_valid_until text NOT NULL DEFAULT '',
  wear_side double precision,
  tolerance_version integer,
  hash text NOT NULL DEFAULT ''
);

CREATE TABLE readings (
  record_id bigint NOT NULL REFERENCES records(id),
  seq integer NOT NULL,
  value double precision NOT NULL,
  pitch_diameter double precision NOT NULL,
  position text NOT NULL DEFAULT '',
  PRIMARY KEY (record_id, seq)
);

CREATE TABLE check_results (
  record_id bigint NOT NULL REFERENCES records(id),
  seq integer NOT NULL,  -- the order they were entered
  plug text NOT NULL,
  passed integer NOT NULL,
  gauge_number text NOT NULL DEFAULT '',
  PRIMARY KEY (record_id, plug)
);

CREATE TABLE settings (key text PRIMARY KEY, value text NOT NULL);

-- Every change of a gauge, field by field: written by the server, never by the program.
CREATE TABLE gauge_history (
  id bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY,
  gauge_number text NOT NULL,
  at timestamptz NOT NULL DEFAULT now(),
  login text NOT NULL DEFAULT session_user,
  field text NOT NULL,
  before text,
  after text
);

-- The workshop's tolerance tables, each publication a numbered version never changed.
CREATE TABLE tolerance_versions (
  version integer GENERATED ALWAYS AS IDENTITY PRIMARY KEY,
  published_at timestamptz NOT NULL DEFAULT now(),
  published_by text NOT NULL DEFAULT session_user,
  file_name text NOT NULL,
  hash text NOT NULL,
  content bytea NOT NULL
);

CREATE INDEX records_of_gauge ON records(gauge_id, date);
-- The due list reads every record's facts in this order, from the index alone.
CREATE INDEX records_due ON records(gauge_id, id)
  INCLUDE (date, verdict, kind, replaces, wear_limit, wear_side);
CREATE INDEX history_of_gauge ON gauge_history(gauge_number, at);

-- Records, their readings and check results are never changed or deleted, whoever asks.
CREATE FUNCTION refuse_change() RETURNS trigger LANGUAGE plpgsql AS $$
BEGIN
  RAISE EXCEPTION '检定记录不可修改' USING ERRCODE = 'P0001';
END $$;
CREATE TRIGGER records_fixed BEFORE UPDATE OR DELETE ON records
  FOR EACH ROW EXECUTE FUNCTION refuse_change();
CREATE TRIGGER readings_fixed BEFORE UPDATE OR DELETE ON readings
  FOR EACH ROW EXECUTE FUNCTION refuse_change();
CREATE TRIGGER check_results_fixed BEFORE UPDATE OR DELETE ON check_results
  FOR EACH ROW EXECUTE FUNCTION refuse_change();
CREATE TRIGGER tolerance_versions_fixed BEFORE UPDATE OR DELETE ON tolerance_versions
  FOR EACH ROW EXECUTE FUNCTION refuse_change();
CREATE TRIGGER records_not_emptied BEFORE TRUNCATE ON records
  FOR EACH STATEMENT EXECUTE FUNCTION refuse_change();

-- The 检定员 of a record on the server is the signed-in person, not what was typed; a
-- history imported from elsewhere keeps its own, and so does a register the database's
-- owner moves here whole.
CREATE FUNCTION sign_record() RETURNS trigger LANGUAGE plpgsql SECURITY DEFINER
  SET search_path = public AS $$
BEGIN
  NEW.inspector_login := session_user;
  IF NEW.imported = 0 AND session_user <> (SELECT r.rolname FROM pg_class c
      JOIN pg_roles r ON r.oid = c.relowner WHERE c.oid = 'records'::regclass) THEN
    NEW.inspector := coalesce((SELECT display_name FROM people WHERE login = session_user),
                              session_user);
  END IF;
  RETURN NEW;
END $$;
CREATE TRIGGER records_signed BEFORE INSERT ON records
  FOR EACH ROW EXECUTE FUNCTION sign_record();

-- A gauge's change is stamped and written into its history, field by field.
CREATE FUNCTION stamp_gauge() RETURNS trigger LANGUAGE plpgsql AS $$
BEGIN
  NEW.changed_by := session_user;
  NEW.changed_at := now();
  IF TG_OP = 'UPDATE' THEN
    IF NEW.id IS DISTINCT FROM OLD.id THEN
      RAISE EXCEPTION '量规的内部编号不可修改' USING ERRCODE = 'P0001';
    END IF;
    NEW.revision := OLD.revision + 1;
  END IF;
  RETURN NEW;
END $$;
CREATE TRIGGER gauges_stamped BEFORE INSERT OR UPDATE ON gauges
  FOR EACH ROW EXECUTE FUNCTION stamp_gauge();

CREATE FUNCTION record_gauge_history() RETURNS trigger LANGUAGE plpgsql SECURITY DEFINER
  SET search_path = public AS $$
DECLARE
  field text;
  before_value text;
  after_value text;
BEGIN
  IF TG_OP = 'INSERT' THEN
    INSERT INTO gauge_history (gauge_number, field, before, after)
      VALUES (NEW.number, '登记', NULL, NEW.number);
    RETURN NEW;
  END IF;
  FOREACH field IN ARRAY ARRAY['number', 'thread', 'kind', 'length', 'maker', 'serial',
                               'since', 'interval_months', 'department', 'keeper', 'state',
                               'notes'] LOOP
    EXECUTE format('SELECT ($1).%I::text, ($2).%I::text', field, field)
      INTO before_value, after_value USING OLD, NEW;
    IF before_value IS DISTINCT FROM after_value THEN
      INSERT INTO gauge_history (gauge_number, field, before, after)
        VALUES (NEW.number, field, before_value, after_value);
    END IF;
  END LOOP;
  RETURN NEW;
END $$;
CREATE TRIGGER gauges_history AFTER INSERT OR UPDATE ON gauges
  FOR EACH ROW EXECUTE FUNCTION record_gauge_history();

-- A gauge with records is never deleted: it is retired and keeps its history.
CREATE FUNCTION keep_gauge() RETURNS trigger LANGUAGE plpgsql AS $$
BEGIN
  IF EXISTS (SELECT 1 FROM records WHERE gauge_id = OLD.id) THEN
    RAISE EXCEPTION '有检定记录的量规不可删除，只能报废' USING ERRCODE = 'P0001';
  END IF;
  RETURN OLD;
END $$;
CREATE TRIGGER gauges_kept BEFORE DELETE ON gauges
  FOR EACH ROW EXECUTE FUNCTION keep_gauge();

-- The rights. Reading is everyone's; recording is the inspector's; the gauges are the
-- keeper's; people, settings and tolerance tables are the admin's.
REVOKE ALL ON ALL TABLES IN SCHEMA public FROM PUBLIC;
GRANT USAGE ON SCHEMA public TO threadgauge_viewer;
GRANT SELECT ON schema_version, people, gauges, records, readings, check_results, settings,
  gauge_history, tolerance_versions TO threadgauge_viewer;
GRANT INSERT ON records, readings, check_results TO threadgauge_inspector;
GRANT INSERT, UPDATE ON gauges TO threadgauge_keeper;
GRANT INSERT, UPDATE, DELETE ON people, settings TO threadgauge_admin;
GRANT INSERT ON tolerance_versions TO threadgauge_admin;

-- People are added and their roles changed through these two functions, run with the
-- owner's right to create roles: an admin needs no such right of their own. The password
-- arrives as its SCRAM verifier, made by the client; the plain password never reaches the
-- server.
CREATE FUNCTION add_person(login text, verifier text, role text, display_name text)
  RETURNS void LANGUAGE plpgsql SECURITY DEFINER SET search_path = public AS $$
BEGIN
  IF role NOT IN ('threadgauge_viewer', 'threadgauge_inspector', 'threadgauge_keeper',
                  'threadgauge_admin') THEN
    RAISE EXCEPTION 'unknown role %', role USING ERRCODE = '22023';
  END IF;
  EXECUTE format('CREATE ROLE %I LOGIN PASSWORD %L IN ROLE %I', login, verifier, role);
  INSERT INTO people VALUES (login, coalesce(nullif(display_name, ''), login));
END $$;

CREATE FUNCTION set_person_role(login text, role text)
  RETURNS void LANGUAGE plpgsql SECURITY DEFINER SET search_path = public AS $$
DECLARE
  each_role text;
BEGIN
  IF role NOT IN ('threadgauge_viewer', 'threadgauge_inspector', 'threadgauge_keeper',
                  'threadgauge_admin') THEN
    RAISE EXCEPTION 'unknown role %', role USING ERRCODE = '22023';
  END IF;
  IF NOT EXISTS (SELECT 1 FROM people p WHERE p.login = set_person_role.login) THEN
    RAISE EXCEPTION 'unknown person %', login USING ERRCODE = '42704';
  END IF;
  FOREACH each_role IN ARRAY ARRAY['threadgauge_viewer', 'threadgauge_inspector',
                                   'threadgauge_keeper', 'threadgauge_admin'] LOOP
    EXECUTE format('REVOKE %I FROM %I', each_role, login);
  END LOOP;
  EXECUTE format('GRANT %I TO %I', role, login);
END $$;

REVOKE ALL ON FUNCTION add_person(text, text, text, text), set_person_role(text, text)
  FROM PUBLIC;
GRANT EXECUTE ON FUNCTION add_person(text, text, text, text), set_person_role(text, text)
  TO threadgauge_admin;
