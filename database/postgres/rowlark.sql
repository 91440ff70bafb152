-- Rowlark's server side for PostgreSQL: the index-tag catalogue and the function QueryRows that the
-- dynamic provider calls through the OLE DB layer as
--   SELECT * FROM queryrows('T', 'G', 'I', 'K', n, 'F', D, 'A', 'B', E)
-- with the ten arguments bound as parameters (texts as text, numbers as bigint).
--
-- Installs into the schema public; running the file again replaces every function and keeps the
-- catalogue's rows, brought up to date in place. Needs a UTF8 database. Tables are found through the
-- caller's search_path. A superuser's install also adds two event triggers that keep the catalogue
-- with its tables as they are renamed, moved and dropped.
--
-- An index tag is a named order of a table: an expression over its columns and its key field. Each tag
-- owns one real unique B-tree index on (normalised value, key) that QueryRows walks:
--   text tags:   the value as text without trailing white space (blank, tab, LF, VT, FF, CR), NULL as '',
--                in byte order (COLLATE "C"), so a trimmed index text finds its row again, or in the
--                Russian order (COLLATE public.rowlark_ru, below) when the tag was added so;
--   number tags: the value as numeric, NULL as 0.
-- Table and tag names match in any ASCII letter case.

SET client_min_messages = warning;  -- a second install's "already exists, skipping" is expected

-- ---------------------------------------------------------------------------------------------------
-- Helpers

-- ASCII letters to lower case only: lower() would follow the database's locale and fold Cyrillic too.
CREATE OR REPLACE FUNCTION public.rowlark_ascii_lower(name text) RETURNS text
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE
AS $$ SELECT translate(name, 'ABCDEFGHIJKLMNOPQRSTUVWXYZ', 'abcdefghijklmnopqrstuvwxyz') $$;

-- A text in apostrophes, as the messages show names and values (nothing doubled: it is for reading).
CREATE OR REPLACE FUNCTION public.rowlark_quoted(value text) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE
AS $$ SELECT '''' || coalesce(value, '') || '''' $$;

-- Every character code page 1251 holds, as a regular expression over a whole text. U+0098 stands
-- for the byte 0x98 that the code page leaves unassigned, as the host's conversion maps it.
CREATE OR REPLACE FUNCTION public.rowlark_cp1251_pattern() RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE
AS $$ SELECT '^[\u0001-\u007F\u0098\u00A0\u00A4\u00A6\u00A7\u00A9\u00AB-\u00AE\u00B0\u00B1\u00B5-\u00B7\u00BB'
             '\u0401-\u040C\u040E-\u044F\u0451-\u045C\u045E\u045F\u0490\u0491\u2013\u2014\u2018-\u201A'
             '\u201C-\u201E\u2020-\u2022\u2026\u2030\u2039\u203A\u20AC\u2116\u2122]*$' $$;

-- True when every character of value reaches the host's code page as itself.
CREATE OR REPLACE FUNCTION public.rowlark_fits_code_page(value text) RETURNS boolean
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE
AS $$ SELECT value ~ public.rowlark_cp1251_pattern() $$;

-- The index text QueryRows hands out is a token the provider keeps in code page 1251 and sends back:
-- a character the code page lacks travels as ¤HEX; (its code point), the escape ¤ itself as ¤¤, and
-- every other text is its own token.
CREATE OR REPLACE FUNCTION public.rowlark_index_token(value text) RETURNS text
LANGUAGE plpgsql IMMUTABLE STRICT PARALLEL SAFE
AS $$
DECLARE
    token text := '';
    ch text;
BEGIN
    IF strpos(value, '¤') = 0 AND public.rowlark_fits_code_page(value) THEN
        RETURN value;
    END IF;
    FOREACH ch IN ARRAY regexp_split_to_array(value, '') LOOP
        IF ch = '¤' THEN
            token := token || '¤¤';
        ELSIF public.rowlark_fits_code_page(ch) THEN
            token := token || ch;
        ELSE
            token := token || '¤' || upper(to_hex(ascii(ch))) || ';';
        END IF;
    END LOOP;
    RETURN token;
END
$$;

-- The value an index token stands for. Raises for a ¤ that starts no escape, and for an escape of a
-- character no text of this database can hold (U+0000, a byte that is not UTF-8).
CREATE OR REPLACE FUNCTION public.rowlark_index_value(token text) RETURNS text
LANGUAGE plpgsql IMMUTABLE STRICT PARALLEL SAFE
AS $$
DECLARE
    value text := '';
    rest text := token;
    at integer;
    digits text;
    point bigint;
    what constant text := 'QueryRows argument 3 (start index text) ' || public.rowlark_quoted(token);
BEGIN
    LOOP
        at := strpos(rest, '¤');
        IF at = 0 THEN
            RETURN value || rest;
        END IF;
        value := value || left(rest, at - 1);
        rest := substr(rest, at + 1);
        IF left(rest, 1) = '¤' THEN
            value := value || '¤';
            rest := substr(rest, 2);
            CONTINUE;
        END IF;
        IF rest ~ '^x[0-9A-F]+;' THEN
            RAISE EXCEPTION USING ERRCODE = 'invalid_parameter_value', MESSAGE = what ||
                ' escapes a byte that is not UTF-8, which no text of this database holds';
        END IF;
        digits := substring(rest FROM '^([0-9A-F]+);');
        point := CASE WHEN length(ltrim(digits, '0')) <= 6 THEN ('x' || lpad(digits, 8, '0'))::bit(32)::bigint END;
        IF point IS NULL OR point > 1114111 OR point BETWEEN 55296 AND 57343 THEN
            RAISE EXCEPTION USING ERRCODE = 'invalid_parameter_value', MESSAGE = what ||
                ' is not an index text that QueryRows gave: a ¤ there starts none of ¤¤, ¤code;, ¤xHH;';
        END IF;
        IF point = 0 THEN
            RAISE EXCEPTION USING ERRCODE = 'invalid_parameter_value', MESSAGE = what ||
                ' escapes U+0000, which no text of this database holds';
        END IF;
        value := value || chr(point::integer);
        rest := substr(rest, length(digits) + 2);
    END LOOP;
END
$$;

-- The least text above every text that begins with prefix, in code point (= UTF-8 byte) order; NULL
-- when there is none. "value <= B or begins with B" is "value < rowlark_text_above(B)".
CREATE OR REPLACE FUNCTION public.rowlark_text_above(prefix text) RETURNS text
LANGUAGE plpgsql IMMUTABLE STRICT PARALLEL SAFE
AS $$
DECLARE
    rest text := prefix;
    point integer;
BEGIN
    WHILE rest <> '' LOOP
        point := ascii(right(rest, 1));
        IF point < 1114111 THEN
            point := point + 1;
            IF point = 55296 THEN point := 57344; END IF;  -- past the surrogates, which are no characters
            RETURN left(rest, -1) || chr(point);
        END IF;
        rest := left(rest, -1);
    END LOOP;
    RETURN NULL;
END
$$;

-- The Russian order of text tags: ICU's "ru" rules at their default strength (letters without regard
-- to case, Ё with Е, case only to break ties) and the bytes last (deterministic), exactly as the SQLite
-- collation rowlark_ru of database/collation compares.
CREATE COLLATION IF NOT EXISTS public.rowlark_ru (provider = icu, locale = 'ru-RU', deterministic = true);

-- The pattern of a text that reads as one number: a whole number or a decimal fraction, with an
-- optional exponent.
CREATE OR REPLACE FUNCTION public.rowlark_number_pattern() RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE
AS $$ SELECT '^-?([0-9]+(\.[0-9]*)?|\.[0-9]+)([eE][+-]?[0-9]{1,3})?$'::text $$;

-- A text that reads as one number.
CREATE OR REPLACE FUNCTION public.rowlark_is_number(value text) RETURNS boolean
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE
AS $$ SELECT value ~ public.rowlark_number_pattern() $$;

-- The SQL of a tag's value over its table, as its index holds it (see the top of this file). The
-- expression stands alone on its lines, so a trailing "--" comment cannot hide what follows it.
CREATE OR REPLACE FUNCTION public.rowlark_tag_value_sql(expression text, kind text, text_order text) RETURNS text
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE
AS $$
SELECT CASE kind
    WHEN 'number' THEN 'coalesce(((' || E'\n' || expression || E'\n' || '))::numeric, 0)'
    ELSE 'coalesce(rtrim(((' || E'\n' || expression || E'\n' || '))::text, E'' \t\n\x0B\f\r''), '''') COLLATE '
         || CASE text_order WHEN 'russian' THEN 'public.rowlark_ru' ELSE '"C"' END
END
$$;

-- The same for a tag in byte order.
CREATE OR REPLACE FUNCTION public.rowlark_tag_value_sql(expression text, kind text) RETURNS text
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE
AS $$ SELECT public.rowlark_tag_value_sql(expression, kind, 'bytes') $$;

-- ---------------------------------------------------------------------------------------------------
-- The catalogue

CREATE TABLE IF NOT EXISTS public.rowlark_index_tags (
    table_schema text NOT NULL,                 -- the table's schema
    table_name text NOT NULL,                   -- the table's name as the database holds it
    tag text NOT NULL,                          -- the tag's name as it was added
    expression text NOT NULL,                   -- SQL over the table's columns, as it was added
    key_field text NOT NULL,                    -- the key column's name as the table declares it
    kind text NOT NULL CHECK (kind IN ('text', 'number')),
    index_name text NOT NULL,                   -- the B-tree index serving the tag, in table_schema
    PRIMARY KEY (table_schema, table_name, tag)
);
-- How a text tag's values compare ('bytes' or 'russian'); tags of an older catalogue stay in byte order.
ALTER TABLE public.rowlark_index_tags ADD COLUMN IF NOT EXISTS text_order text NOT NULL DEFAULT 'bytes'
    CHECK (text_order IN ('bytes', 'russian'));
-- The table itself: its tags follow it through a rename or a move to another schema (the names above
-- are kept as the server names it now) and go with it when it is dropped.
ALTER TABLE public.rowlark_index_tags ADD COLUMN IF NOT EXISTS table_oid regclass;
-- The order the tags were added in: a row's place in the table changes whenever it is written again.
ALTER TABLE public.rowlark_index_tags ADD COLUMN IF NOT EXISTS added bigint GENERATED ALWAYS AS IDENTITY;
CREATE UNIQUE INDEX IF NOT EXISTS rowlark_index_tags_by_name
    ON public.rowlark_index_tags (table_schema, table_name, public.rowlark_ascii_lower(tag));

-- Brings the rows of the given tables up to date with them: the names of a table renamed or moved,
-- and no row for a table that is gone. Rows of other tables are left alone.
CREATE OR REPLACE FUNCTION public.rowlark_index_tags_follow(tables oid[]) RETURNS void
LANGUAGE sql VOLATILE
AS $$
DELETE FROM public.rowlark_index_tags r
WHERE r.table_oid = ANY (tables) AND NOT EXISTS (SELECT FROM pg_class c WHERE c.oid = r.table_oid);
UPDATE public.rowlark_index_tags r SET table_schema = n.nspname, table_name = c.relname
FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace
WHERE c.oid = r.table_oid AND r.table_oid = ANY (tables)
  AND (r.table_schema, r.table_name) IS DISTINCT FROM (n.nspname::text, c.relname::text);
$$;

-- A catalogue of an earlier version knew its tables by name only. Each of its rows is tied to the
-- table its index is on (by the index's name, in the row's schema first): the tag's own table, even
-- one renamed since. A row without its index served no table of its own (the table was dropped, or
-- dropped and made again) and goes. Of two rows of one table and tag (the tag added again under the
-- table's new name) the one under the table's present name stays, and the other's index goes too.
DO $$
DECLARE
    extra record;
BEGIN
    IF NOT EXISTS (SELECT FROM public.rowlark_index_tags r WHERE r.table_oid IS NULL) THEN
        RETURN;
    END IF;
    UPDATE public.rowlark_index_tags r SET table_oid = (
        SELECT i.indrelid FROM pg_class c JOIN pg_index i ON i.indexrelid = c.oid
        JOIN pg_namespace n ON n.oid = c.relnamespace
        WHERE c.relname = r.index_name ORDER BY n.nspname = r.table_schema DESC, c.oid LIMIT 1)
    WHERE r.table_oid IS NULL;
    DELETE FROM public.rowlark_index_tags r WHERE r.table_oid IS NULL;
    FOR extra IN
        SELECT ranked.row_place, ranked.index_name, ranked.nspname FROM (
            SELECT r.ctid AS row_place, r.index_name, n.nspname, row_number() OVER (
                       PARTITION BY r.table_oid, public.rowlark_ascii_lower(r.tag)
                       ORDER BY (r.table_schema, r.table_name) = (n.nspname::text, c.relname::text) DESC, r.added DESC) AS place
            FROM public.rowlark_index_tags r JOIN pg_class c ON c.oid = r.table_oid
            JOIN pg_namespace n ON n.oid = c.relnamespace) ranked
        WHERE ranked.place > 1
    LOOP
        DELETE FROM public.rowlark_index_tags r WHERE r.ctid = extra.row_place;
        EXECUTE format('DROP INDEX IF EXISTS %I.%I', extra.nspname, extra.index_name);
    END LOOP;
    PERFORM public.rowlark_index_tags_follow(ARRAY(SELECT r.table_oid FROM public.rowlark_index_tags r));
END
$$;
ALTER TABLE public.rowlark_index_tags ALTER COLUMN table_oid SET NOT NULL;
CREATE UNIQUE INDEX IF NOT EXISTS rowlark_index_tags_by_table
    ON public.rowlark_index_tags (table_oid, public.rowlark_ascii_lower(tag));

-- Keeps the catalogue with its tables as the server changes them: after ALTER TABLE (a rename, a move
-- to another schema) or ALTER SCHEMA (a rename) the rows of those tables follow them; after a drop, the
-- rows of every table dropped go. A definer's function: whoever may change a table may have no right
-- to write the catalogue.
CREATE OR REPLACE FUNCTION public.rowlark_index_tags_follow_ddl() RETURNS event_trigger
LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, pg_temp
AS $$
DECLARE
    tables oid[];
BEGIN
    IF to_regclass('public.rowlark_index_tags') IS NULL THEN
        RETURN;  -- the catalogue itself is gone
    END IF;
    IF TG_EVENT = 'sql_drop' THEN
        tables := ARRAY(SELECT d.objid FROM pg_event_trigger_dropped_objects() d
                        WHERE d.classid = 'pg_class'::regclass AND d.objsubid = 0);
    ELSE
        tables := ARRAY(SELECT d.objid FROM pg_event_trigger_ddl_commands() d WHERE d.classid = 'pg_class'::regclass
                        UNION ALL
                        SELECT c.oid FROM pg_event_trigger_ddl_commands() d JOIN pg_class c ON c.relnamespace = d.objid
                        WHERE d.classid = 'pg_namespace'::regclass);
    END IF;
    IF cardinality(tables) > 0 THEN
        PERFORM public.rowlark_index_tags_follow(tables);
    END IF;
END
$$;

-- Only a superuser may make event triggers. Without them the catalogue still knows each tag's table
-- by itself, and its names are brought up to date when a tag of that table is added.
DO $$
BEGIN
    IF NOT (SELECT r.rolsuper FROM pg_roles r WHERE r.rolname = current_user) THEN
        RAISE WARNING USING MESSAGE = 'rowlark.sql: installed without event triggers (a superuser makes them): '
            || 'the index-tag catalogue names a renamed table by its old name until a tag of it is added, '
            || 'and keeps the rows of a dropped table';
        RETURN;
    END IF;
    IF NOT EXISTS (SELECT FROM pg_event_trigger e WHERE e.evtname = 'rowlark_index_tags_follow_alter') THEN
        CREATE EVENT TRIGGER rowlark_index_tags_follow_alter ON ddl_command_end
            WHEN TAG IN ('ALTER TABLE', 'ALTER SCHEMA') EXECUTE FUNCTION public.rowlark_index_tags_follow_ddl();
    END IF;
    IF NOT EXISTS (SELECT FROM pg_event_trigger e WHERE e.evtname = 'rowlark_index_tags_follow_drop') THEN
        CREATE EVENT TRIGGER rowlark_index_tags_follow_drop ON sql_drop
            EXECUTE FUNCTION public.rowlark_index_tags_follow_ddl();
    END IF;
END
$$;

-- The table a name means for the caller: visible through the search_path, in any ASCII letter case
-- (the exact spelling first). NULL when there is none. PL/pgSQL so that the search of pg_class is
-- planned once per session and only run when the exact spelling finds nothing: every QueryRows call
-- comes through here.
CREATE OR REPLACE FUNCTION public.rowlark_find_table(table_name text) RETURNS regclass
LANGUAGE plpgsql STABLE STRICT
AS $$
DECLARE
    found regclass := to_regclass(quote_ident(table_name));  -- straight from the catalogue's cache
BEGIN
    IF found IS NULL THEN
        SELECT c.oid::regclass INTO found
        FROM pg_class c
        WHERE c.relkind IN ('r', 'p')
          AND public.rowlark_ascii_lower(c.relname) = public.rowlark_ascii_lower(table_name)
          AND pg_table_is_visible(c.oid)
        ORDER BY c.relname
        LIMIT 1;
    END IF;
    RETURN found;
END
$$;

-- Adds a tag and builds its index; all or nothing (one statement). Answers the index's name.
-- Refuses an unknown table or key field, an empty tag name or expression, an unknown kind, a tag that
-- exists already, an expression the server refuses in an index or that is not exactly one value, and
-- a key field that is not unique within the expression's values. text_order 'russian' orders a text tag in
-- the Russian order (rowlark_ru); 'bytes' in code point order.
DROP FUNCTION IF EXISTS public.rowlark_add_index_tag(text, text, text, text, text);
CREATE OR REPLACE FUNCTION public.rowlark_add_index_tag(table_name text, tag text, expression text,
                                                        key_field text, kind text DEFAULT 'text',
                                                        text_order text DEFAULT 'bytes') RETURNS text
LANGUAGE plpgsql
AS $$
DECLARE
    where_ constant text := 'index tag ' || public.rowlark_quoted(tag) || ' of table ' ||
                            public.rowlark_quoted(table_name) || ': ';
    found regclass;
    schema_ text;
    relname_ text;
    key_ text;
    key_sql text;
    index_ text;
    probe refcursor;
    columns integer;
BEGIN
    IF tag IS NULL OR tag = '' THEN
        RAISE EXCEPTION 'index tag of table %: the tag name is empty', public.rowlark_quoted(table_name);
    END IF;
    IF expression IS NULL OR expression !~ '[^ \t\r\n]' THEN
        RAISE EXCEPTION '%the key expression is empty', where_;
    END IF;
    IF kind IS NULL OR kind NOT IN ('text', 'number') THEN
        RAISE EXCEPTION '%the kind must be text or number, got %', where_, public.rowlark_quoted(kind);
    END IF;
    IF text_order IS NULL OR text_order NOT IN ('bytes', 'russian') THEN
        RAISE EXCEPTION '%the order must be bytes or russian, got %', where_, public.rowlark_quoted(text_order);
    END IF;
    IF kind = 'number' AND text_order = 'russian' THEN
        RAISE EXCEPTION '%a number tag orders by number; the Russian order is for text tags', where_;
    END IF;
    found := public.rowlark_find_table(table_name);
    IF found IS NULL THEN
        RAISE EXCEPTION USING ERRCODE = 'undefined_table',
            MESSAGE = 'index tag: unknown table ' || public.rowlark_quoted(table_name);
    END IF;
    SELECT n.nspname, c.relname INTO schema_, relname_
    FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace WHERE c.oid = found;
    IF schema_ = 'public' AND relname_ = 'rowlark_index_tags' THEN
        RAISE EXCEPTION '%the tag catalogue takes no tags', where_;
    END IF;
    SELECT a.attname, CASE WHEN t.typcollation <> 0 THEN format('(%I COLLATE "C")', a.attname)
                           ELSE format('%I', a.attname) END
    INTO key_, key_sql
    FROM pg_attribute a JOIN pg_type t ON t.oid = a.atttypid
    WHERE a.attrelid = found AND a.attnum > 0 AND NOT a.attisdropped
      AND public.rowlark_ascii_lower(a.attname) = public.rowlark_ascii_lower(key_field)
    ORDER BY a.attname = key_field DESC LIMIT 1;
    IF key_ IS NULL THEN
        RAISE EXCEPTION '%table has no key field %', where_, public.rowlark_quoted(key_field);
    END IF;
    -- The expression is spliced into the index and into every walk, so it must be one value over the
    -- table: a cursor takes exactly one statement, so a ";" that ends it is refused here, unrun.
    BEGIN
        OPEN probe FOR EXECUTE format('SELECT (%s' || E'\n' || ') FROM %I.%I LIMIT 0', expression, schema_, relname_);
        CLOSE probe;
    EXCEPTION WHEN OTHERS THEN
        RAISE EXCEPTION '%the key expression is refused: %', where_, SQLERRM;
    END;
    -- Rows under this table's name may be another table's (renamed or dropped where no event trigger
    -- keeps the catalogue): they follow their own table first.
    PERFORM public.rowlark_index_tags_follow(ARRAY(
        SELECT r.table_oid FROM public.rowlark_index_tags r
        WHERE r.table_oid = found OR (r.table_schema, r.table_name) = (schema_, relname_)));
    -- A tag whose index is gone (dropped by hand) is stale: its row goes first.
    DELETE FROM public.rowlark_index_tags r
    WHERE r.table_oid = found
      AND public.rowlark_ascii_lower(r.tag) = public.rowlark_ascii_lower(rowlark_add_index_tag.tag)
      AND to_regclass(format('%I.%I', schema_, r.index_name)) IS NULL;
    IF EXISTS (SELECT FROM public.rowlark_index_tags r
               WHERE r.table_oid = found
                 AND public.rowlark_ascii_lower(r.tag) = public.rowlark_ascii_lower(rowlark_add_index_tag.tag)) THEN
        RAISE EXCEPTION USING ERRCODE = 'duplicate_object', MESSAGE = where_ || 'the tag exists already';
    END IF;
    -- A readable name within the 63 bytes a name may have; the digest keeps long names apart, and the
    -- table's oid a new table of a name apart from the table that had it before (its indexes kept theirs).
    index_ := left('rowlark_tag_' || public.rowlark_ascii_lower(relname_) || '_' || public.rowlark_ascii_lower(tag), 50)
              || '_' || left(md5(schema_ || '.' || relname_ || '.' || public.rowlark_ascii_lower(tag) || '.'
                                 || found::oid::text), 8);
    INSERT INTO public.rowlark_index_tags (table_schema, table_name, tag, expression, key_field, kind, index_name,
                                           text_order, table_oid)
    VALUES (schema_, relname_, tag, expression, key_, kind, index_, rowlark_add_index_tag.text_order, found);
    BEGIN
        -- Unique: a walk by (value, key) only visits every row once if no two rows share both.
        EXECUTE format('CREATE UNIQUE INDEX %I ON %I.%I ((%s), %s)', index_, schema_, relname_,
                       public.rowlark_tag_value_sql(expression, kind, rowlark_add_index_tag.text_order), key_sql);
    EXCEPTION WHEN OTHERS THEN
        RAISE EXCEPTION '%the index cannot be built: %', where_, SQLERRM;
    END;
    SELECT i.indnatts INTO columns FROM pg_index i WHERE i.indexrelid = format('%I.%I', schema_, index_)::regclass;
    IF columns <> 2 THEN
        RAISE EXCEPTION '%the key expression must be one value, got %', where_, public.rowlark_quoted(expression);
    END IF;
    RETURN index_;
END
$$;

-- Every tag of the tables the caller sees by name, ordered by table then tag (ASCII letter case ignored),
-- with the order of its texts ('bytes' or 'russian'; 'bytes' for a number tag).
DO $$
BEGIN
    -- An older one answered no text_order, and the type of an answer cannot be replaced in place: only
    -- it is dropped, so that sessions listing tags while the file is installed again never miss it.
    IF EXISTS (SELECT FROM pg_proc p WHERE p.oid = to_regprocedure('public.rowlark_index_tag_list()')
               AND NOT 'text_order' = ANY (p.proargnames)) THEN
        DROP FUNCTION public.rowlark_index_tag_list();
    END IF;
END
$$;
CREATE OR REPLACE FUNCTION public.rowlark_index_tag_list()
RETURNS TABLE (table_name text, tag text, expression text, key_field text, kind text, index_name text,
               text_order text)
LANGUAGE sql STABLE
AS $$
SELECT c.relname::text, r.tag, r.expression, r.key_field, r.kind, r.index_name, r.text_order
FROM public.rowlark_index_tags r JOIN pg_class c ON c.oid = r.table_oid
WHERE public.rowlark_find_table(c.relname) = r.table_oid
ORDER BY public.rowlark_ascii_lower(c.relname), public.rowlark_ascii_lower(r.tag)
$$;

-- Removes a tag and its index (an index already gone is no obstacle); the table's rows are never
-- touched. Answers the index's name. Refuses an unknown tag.
CREATE OR REPLACE FUNCTION public.rowlark_drop_index_tag(table_name text, tag text) RETURNS text
LANGUAGE plpgsql
AS $$
DECLARE
    found regclass := public.rowlark_find_table(table_name);
    dropped public.rowlark_index_tags;
    schema_ text;
BEGIN
    DELETE FROM public.rowlark_index_tags r
    WHERE r.table_oid = found
      AND public.rowlark_ascii_lower(r.tag) = public.rowlark_ascii_lower(rowlark_drop_index_tag.tag)
    RETURNING r.* INTO dropped;
    IF dropped IS NULL THEN
        RAISE EXCEPTION USING ERRCODE = 'undefined_object', MESSAGE = 'index tag ' || public.rowlark_quoted(tag) ||
            ' of table ' || public.rowlark_quoted(table_name) || ': no such tag';
    END IF;
    -- The index moved with its table.
    SELECT n.nspname INTO schema_ FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace WHERE c.oid = found;
    EXECUTE format('DROP INDEX IF EXISTS %I.%I', schema_, dropped.index_name);
    RETURN dropped.index_name;
END
$$;

-- ---------------------------------------------------------------------------------------------------
-- QueryRows
--
-- A call is checked (rowlark_queryrows_check), its tag and key column found (rowlark_queryrows_tag) and
-- its start and bounds read (rowlark_queryrows_bounds). The session keeps what the look-up found with
-- a stamp of what it was made from (rowlark_queryrows_stamps), so that the next call of the tag is
-- served without it while the stamp holds (see queryrows). The walk itself depends only on the tag, the
-- call's shape (where it starts, its direction, which bounds it has) and the count: its statement is
-- prepared once per session under a name made of all of these (rowlark_queryrows_prepared) and run
-- again with the next window's start, so neither its text nor its plan is made anew per call. The
-- count stays a constant of the text: with it known the server's own plan is the walk of the index.

-- The start value the index text i stands for, once the arguments are checked: raises for an argument
-- that is NULL or out of its range (the first by position), then for an index text QueryRows never gave.
CREATE OR REPLACE FUNCTION public.rowlark_queryrows_check(t text, g text, i text, k text, n bigint, f text,
                                                         d bigint, a text, b text, e bigint) RETURNS text
LANGUAGE plpgsql IMMUTABLE
AS $$
DECLARE
    names constant text[] := ARRAY['table', 'index tag', 'start index text', 'start key', 'count',
                                   'key field', 'direction', 'filter from', 'filter to', 'inclusive'];
    missing integer;
BEGIN
    IF t IS NULL OR g IS NULL OR i IS NULL OR k IS NULL OR n IS NULL OR f IS NULL OR d IS NULL OR a IS NULL
       OR b IS NULL OR e IS NULL THEN
        missing := array_position(ARRAY[t IS NULL, g IS NULL, i IS NULL, k IS NULL, n IS NULL, f IS NULL,
                                        d IS NULL, a IS NULL, b IS NULL, e IS NULL], true);
        RAISE EXCEPTION USING ERRCODE = 'null_value_not_allowed', MESSAGE = format('QueryRows argument %s (%s) must be %s, got NULL',
            missing, names[missing], CASE WHEN missing IN (5, 7, 10) THEN 'a whole number' ELSE 'a quoted text' END);
    END IF;
    IF n < 0 THEN
        RAISE EXCEPTION USING ERRCODE = 'invalid_parameter_value',
            MESSAGE = 'QueryRows argument 5 (count) must be 0 or more, got ' || n;
    END IF;
    IF d NOT IN (0, 1) THEN
        RAISE EXCEPTION USING ERRCODE = 'invalid_parameter_value',
            MESSAGE = 'QueryRows argument 7 (direction) must be 1 or 0, got ' || d;
    END IF;
    IF e NOT IN (0, 1) THEN
        RAISE EXCEPTION USING ERRCODE = 'invalid_parameter_value',
            MESSAGE = 'QueryRows argument 10 (inclusive) must be 1 or 0, got ' || e;
    END IF;
    RETURN public.rowlark_index_value(i);
END
$$;

-- What a tag's walk was made from, as one text that changes whenever any of it changes: the table's
-- schema and name as they are now (the walk names them; from the server's cache, always qualified),
-- the key column's type by name, the versions (xmin) of the key column's row in pg_attribute (name,
-- type, collation) and of the tag's row in the catalogue, with its place (ctid) and name: a tag
-- dropped and added again is another row. No row when the key column or the catalogue row of that
-- table is gone. An update of a catalogue row always writes a new version, so an equal text means that
-- nothing it covers has changed. Reads only by key (an index, a ctid).
CREATE OR REPLACE FUNCTION public.rowlark_queryrows_stamps(table_oid oid, key_name text, catalogue_row tid)
RETURNS TABLE (stamp text)
LANGUAGE sql STABLE  -- inlined into its caller's query
AS $$
SELECT concat_ws(' ', (pg_identify_object('pg_class'::regclass, r.table_oid, 0)).identity,
                 format_type(att.atttypid, NULL), att.xmin, r.xmin, r.ctid, r.tag)
FROM pg_attribute att CROSS JOIN public.rowlark_index_tags r
WHERE att.attrelid = rowlark_queryrows_stamps.table_oid AND att.attname = key_name AND att.attnum > 0
  AND NOT att.attisdropped AND r.ctid = catalogue_row AND r.table_oid = rowlark_queryrows_stamps.table_oid
$$;

-- The tag g of the table t names, with its key column as the table declares it; raises when the table,
-- the tag or the key column is unknown, or f is not the tag's key field. One look-up of the catalogue.
-- Also answers the table's oid, the tag's catalogue row and its stamp (rowlark_queryrows_stamps).
DO $$
BEGIN
    -- An older one answered no stamp, and the type of an answer cannot be replaced in place: only it
    -- is dropped, so that sessions calling QueryRows while the file is installed again never miss it.
    IF EXISTS (SELECT FROM pg_proc p WHERE p.oid = to_regprocedure('public.rowlark_queryrows_tag(text, text, text)')
               AND NOT 'stamp' = ANY (p.proargnames)) THEN
        DROP FUNCTION public.rowlark_queryrows_tag(text, text, text);
    END IF;
END
$$;
CREATE OR REPLACE FUNCTION public.rowlark_queryrows_tag(
    t text, g text, f text,
    OUT table_schema text, OUT table_name text, OUT tag text, OUT expression text, OUT kind text,
    OUT text_order text, OUT key_field text, OUT key_name text, OUT key_type text, OUT key_collates boolean,
    OUT key_numeric boolean, OUT table_oid oid, OUT catalogue_row tid, OUT stamp text)
LANGUAGE plpgsql STABLE
AS $$
DECLARE
    found regclass := public.rowlark_find_table(t);
BEGIN
    IF found IS NULL THEN
        RAISE EXCEPTION USING ERRCODE = 'undefined_table', MESSAGE = 'QueryRows: unknown table ' || public.rowlark_quoted(t);
    END IF;
    -- One query, the key column by scalar look-ups: a join of the catalogues plans far worse.
    SELECT (SELECT ns.nspname FROM pg_class c JOIN pg_namespace ns ON ns.oid = c.relnamespace WHERE c.oid = found),
           (SELECT c.relname FROM pg_class c WHERE c.oid = found),
           r.tag, r.expression, r.kind, r.text_order, r.key_field, a_.attname,
           format_type(a_.atttypid, NULL), (SELECT ty.typcollation <> 0 FROM pg_type ty WHERE ty.oid = a_.atttypid),
           a_.atttypid IN (21, 23, 20, 1700, 700, 701),  -- int2, int4, int8, numeric, float4, float8
           r.ctid
    INTO table_schema, table_name, tag, expression, kind, text_order, key_field, key_name, key_type, key_collates,
         key_numeric, catalogue_row
    FROM public.rowlark_index_tags r
    LEFT JOIN LATERAL (SELECT a.attname, a.atttypid FROM pg_attribute a WHERE a.attrelid = found
                       AND a.attname = r.key_field AND a.attnum > 0 AND NOT a.attisdropped) a_ ON true
    WHERE r.table_oid = found AND public.rowlark_ascii_lower(r.tag) = public.rowlark_ascii_lower(g);
    IF tag IS NULL THEN
        RAISE EXCEPTION USING ERRCODE = 'undefined_object', MESSAGE = 'QueryRows: table ' || public.rowlark_quoted(t) ||
            ' has no index tag ' || public.rowlark_quoted(g);
    END IF;
    IF public.rowlark_ascii_lower(f) <> public.rowlark_ascii_lower(key_field) THEN
        RAISE EXCEPTION USING ERRCODE = 'invalid_parameter_value', MESSAGE = 'QueryRows: key field ' ||
            public.rowlark_quoted(f) || ' is not the key field ' || public.rowlark_quoted(key_field) ||
            ' of index tag ' || public.rowlark_quoted(tag);
    END IF;
    IF key_name IS NULL THEN
        RAISE EXCEPTION USING ERRCODE = 'undefined_column', MESSAGE = 'QueryRows: table ' ||
            public.rowlark_quoted(table_name) || ' has no key field ' || public.rowlark_quoted(key_field);
    END IF;
    table_oid := found;
    -- In this function's snapshot, as the look-up above: the stamp is never newer than what it found.
    SELECT s.stamp INTO stamp FROM public.rowlark_queryrows_stamps(found, key_name, catalogue_row) s;
END
$$;

-- Raises that value, given as what, is no number of the tag, which orders by a number.
CREATE OR REPLACE FUNCTION public.rowlark_queryrows_not_number(what text, value text, tag text) RETURNS boolean
LANGUAGE plpgsql VOLATILE
AS $$
BEGIN
    RAISE EXCEPTION USING ERRCODE = 'invalid_parameter_value', MESSAGE = 'QueryRows: ' || what || ' ' ||
        public.rowlark_quoted(value) || ' is not a number (index tag ' || public.rowlark_quoted(tag) ||
        ' orders by a number)';
END
$$;

-- The pattern a key of the key column's type matches (every text for a text key); NULL for a type
-- that only a cast can read. Numbers by pattern: a subtransaction per call would cost more than the
-- walk; a whole number too large for its column is left to the server's own message.
CREATE OR REPLACE FUNCTION public.rowlark_queryrows_key_pattern(key_type text) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE
AS $$
SELECT CASE WHEN key_type IN ('smallint', 'integer', 'bigint') THEN '^-?[0-9]+$'
            WHEN key_type IN ('numeric', 'real', 'double precision') THEN public.rowlark_number_pattern()
            WHEN key_type IN ('text', 'character varying') THEN '' END
$$;

-- True when k reads as a value of the key column's type.
CREATE OR REPLACE FUNCTION public.rowlark_queryrows_key_reads(k text, key_type text) RETURNS boolean
LANGUAGE plpgsql STABLE
AS $$
DECLARE
    pattern constant text := public.rowlark_queryrows_key_pattern(key_type);
BEGIN
    IF pattern IS NOT NULL THEN
        RETURN k ~ pattern;
    END IF;
    BEGIN
        EXECUTE format('SELECT CAST($1 AS %s)', key_type) USING k;
    EXCEPTION WHEN OTHERS THEN
        RETURN false;
    END;
    RETURN true;
END
$$;

-- Where a call starts and what bounds it: start 'none' (an end of the tag), 'value' (the first row at
-- start_value) or 'row' (the row of start_value and start_key); the bounds as the walk compares them,
-- NULL when there is none. Raises for a start or a bound that is no value of the tag or the key.
CREATE OR REPLACE FUNCTION public.rowlark_queryrows_bounds(
    tag text, kind text, text_order text, key_name text, key_type text, key_numeric boolean,
    start_value text, k text, a text, b text,
    OUT start text, OUT start_key text, OUT lower_bound text, OUT upper_bound text)
LANGUAGE plpgsql STABLE
AS $$
BEGIN
    start := CASE WHEN start_value = '' AND k = '' THEN 'none' WHEN k = '' AND key_numeric THEN 'value' ELSE 'row' END;
    IF kind = 'number' THEN
        -- Only a refusal calls the raising function: a PERFORM costs a query per call.
        IF start <> 'none' AND NOT public.rowlark_is_number(start_value) THEN
            PERFORM public.rowlark_queryrows_not_number('start index text', start_value, tag);
        END IF;
        IF a <> '' AND NOT public.rowlark_is_number(a) THEN
            PERFORM public.rowlark_queryrows_not_number('filter from', a, tag);
        END IF;
        IF b <> '' AND NOT public.rowlark_is_number(b) THEN
            PERFORM public.rowlark_queryrows_not_number('filter to', b, tag);
        END IF;
        lower_bound := nullif(a, '');
        upper_bound := nullif(b, '');
    ELSE
        -- The tag holds its values trimmed; a lower bound padded like a field value keeps the word's rows.
        lower_bound := nullif(rtrim(a, E' \t\n\x0B\f\r'), '');
        upper_bound := public.rowlark_text_above(b);
        IF text_order = 'russian' THEN
            -- As database/collation bounds it: the lower bound keeps the rows that differ from it only by
            -- case or Ё; U+FFFF sorts after every character, so B and it is above every text beginning with B.
            lower_bound := least(lower_bound COLLATE public.rowlark_ru,
                                 replace(lower(lower_bound COLLATE public.rowlark_ru), 'ё', 'е'));
            upper_bound := nullif(b, '') || U&'\FFFF';
        END IF;
    END IF;
    -- The start key names the start row, the empty text too (a text key can be empty); only a number
    -- key, never empty, reads an empty start key as a start at the value alone.
    IF start = 'row' THEN
        start_key := k;
        IF NOT public.rowlark_queryrows_key_reads(k, key_type) THEN
            RAISE EXCEPTION USING ERRCODE = 'invalid_parameter_value', MESSAGE = 'QueryRows: start key ' ||
                public.rowlark_quoted(k) || ' is not a value of key field ' || public.rowlark_quoted(key_name) ||
                ' (' || key_type || ')';
        END IF;
    END IF;
END
$$;

-- The walk of one call shape over a tag's index: its answer (key, index token) with parameters
-- $1 the start value, $2 the start key, $3 the lower bound, $4 the upper bound (all text). It seeks by
-- a row-value comparison on (value, key) in the index's order (both descending backwards) and stops
-- after count rows: never a scan or a sort. A key the host's code page cannot carry fails the walk.
CREATE OR REPLACE FUNCTION public.rowlark_queryrows_statement(
    table_schema text, table_name text, expression text, kind text, text_order text, key_name text,
    key_type text, key_collates boolean, start text, forward boolean, inclusive boolean, lower boolean,
    upper boolean, count bigint) RETURNS text
LANGUAGE plpgsql IMMUTABLE
AS $$
DECLARE
    value_ constant text := public.rowlark_tag_value_sql(expression, kind, text_order);
    key_ constant text := CASE WHEN key_collates THEN format('(%I COLLATE "C")', key_name) ELSE format('%I', key_name) END;
    cast_ constant text := CASE WHEN kind = 'number' THEN '::numeric' ELSE '' END;
    op constant text := CASE WHEN forward THEN '>' ELSE '<' END || CASE WHEN inclusive THEN '=' ELSE '' END;
    dir constant text := CASE WHEN forward THEN '' ELSE ' DESC' END;
    conditions text[] := '{}';
BEGIN
    IF start = 'row' THEN
        conditions := conditions || format('(%s, %s) %s ($1%s, CAST($2 AS %s))', value_, key_, op, cast_, key_type);
    ELSIF start = 'value' THEN
        conditions := conditions || format('%s %s $1%s', value_, op, cast_);
    END IF;
    IF lower THEN
        conditions := conditions || format('%s >= $3%s', value_, cast_);
    END IF;
    IF upper THEN
        conditions := conditions || format('%s %s $4%s', value_, CASE WHEN kind = 'number' THEN '<=' ELSE '<' END, cast_);
    END IF;
    -- The answer's columns get names no table column has: ORDER BY would take a bare output name first.
    -- The code page tests run inside the statement with the pattern as a constant (compiled once); a
    -- text of ASCII only (as many bytes as characters) fits without it, and only a value that fails it
    -- calls the token function.
    RETURN format('SELECT CASE WHEN octet_length(rowlark_key_text) <> length(rowlark_key_text)'
                  ' AND NOT rowlark_key_text ~ %L THEN public.rowlark_queryrows_refuse_key(rowlark_key_text)'
                  ' ELSE rowlark_key_text END, CASE WHEN octet_length(rowlark_value_text) = length(rowlark_value_text)'
                  ' OR rowlark_value_text ~ %L AND strpos(rowlark_value_text, %L) = 0'
                  ' THEN rowlark_value_text ELSE public.rowlark_index_token(rowlark_value_text) END'
                  ' FROM (SELECT (%I)::text AS rowlark_key_text, %s AS rowlark_value_text'
                  ' FROM %I.%I%s ORDER BY %s%s, %s%s LIMIT %s) AS rowlark_walk',
                  public.rowlark_cp1251_pattern(), public.rowlark_cp1251_pattern(), '¤',
                  key_name,
                  CASE WHEN kind = 'number' THEN format('trim_scale(%s)::text', value_) ELSE value_ END,
                  table_schema, table_name,
                  CASE WHEN cardinality(conditions) = 0 THEN '' ELSE ' WHERE ' || array_to_string(conditions, ' AND ') END,
                  value_, dir, key_, dir, count);
END
$$;

-- Fails a walk at a key the host's code page cannot carry: no row query could find its row by it.
CREATE OR REPLACE FUNCTION public.rowlark_queryrows_refuse_key(key text) RETURNS text
LANGUAGE plpgsql VOLATILE
AS $$
BEGIN
    RAISE EXCEPTION USING ERRCODE = 'character_not_in_repertoire', MESSAGE = 'QueryRows: the key ' ||
        public.rowlark_quoted(public.rowlark_index_token(key)) ||
        ' holds a character that code page 1251 cannot carry (shown as ¤code;), so no row query could find its row by it';
END
$$;

-- A digest of everything a tag's walks depend on, so a tag added again with another expression gets
-- statements of their own. The first item changes whenever rowlark_queryrows_statement writes another
-- text: a session keeps what it prepared across a new install of this file.
CREATE OR REPLACE FUNCTION public.rowlark_queryrows_tag_digest(
    table_schema text, table_name text, expression text, kind text, text_order text, key_name text,
    key_type text, key_collates boolean) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE
AS $$
SELECT left(md5(concat_ws(E'\x01', 'walk 3', table_schema, table_name, expression, kind, text_order, key_name,
                          key_type, key_collates)), 24)
$$;

-- The name of the prepared walk of one call shape over the tag of that digest (at most 63 bytes, the
-- longest name the server keeps whole): the digest, the shape, the count.
CREATE OR REPLACE FUNCTION public.rowlark_queryrows_walk_name(digest text, start text, forward boolean,
                                                             inclusive boolean, lower boolean, upper boolean,
                                                             count bigint) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE
AS $$
SELECT 'rowlark_walk_' || digest || '_' || left(start, 1) || forward::integer::text || inclusive::integer::text
       || lower::integer::text || upper::integer::text || '_' || count::text  -- each a text: inlined, no call
$$;

-- What the setting of a walk the session prepared holds (rowlark_queryrows_prepared): "prepared" and
-- how many times queryrows found its walks let go before (rowlark.walks_let_go). Whatever lets go of
-- one walk (DEALLOCATE ALL, DISCARD ALL) lets go of them all, so counting the time once voids every
-- note written before it: the next call of any tag, as the tag may be by then, prepares its walk anew.
CREATE OR REPLACE FUNCTION public.rowlark_queryrows_walk_note() RETURNS text
LANGUAGE sql STABLE  -- inlined into its callers
AS $$ SELECT 'prepared ' || coalesce(nullif(current_setting('rowlark.walks_let_go', true), ''), '0') $$;

-- The name of the session's prepared statement for the walk rowlark_queryrows_statement makes of these
-- arguments (rowlark_queryrows_walk_name); prepared here on first use. A setting of the session
-- remembers each one prepared (rowlark_queryrows_walk_note), which costs less to ask than the list of
-- prepared statements; that list is asked only when the note is missing or void, as after a failed
-- transaction reset it or the session let go of its walks.
CREATE OR REPLACE FUNCTION public.rowlark_queryrows_prepared(
    table_schema text, table_name text, expression text, kind text, text_order text, key_name text,
    key_type text, key_collates boolean, start text, forward boolean, inclusive boolean, lower boolean,
    upper boolean, count bigint) RETURNS text
LANGUAGE plpgsql VOLATILE  -- PREPARE runs in volatile functions only
AS $$
DECLARE
    name_ constant text := public.rowlark_queryrows_walk_name(public.rowlark_queryrows_tag_digest(
        table_schema, table_name, expression, kind, text_order, key_name, key_type, key_collates),
        start, forward, inclusive, lower, upper, count);
BEGIN
    IF current_setting('rowlark.' || name_, true) IS DISTINCT FROM public.rowlark_queryrows_walk_note() THEN
        IF NOT EXISTS (SELECT FROM pg_prepared_statements p WHERE p.name = name_) THEN
            EXECUTE format('PREPARE %I (text, text, text, text) AS %s', name_, public.rowlark_queryrows_statement(
                table_schema => table_schema, table_name => table_name, expression => expression, kind => kind,
                text_order => text_order, key_name => key_name, key_type => key_type, key_collates => key_collates,
                start => start, forward => forward, inclusive => inclusive, lower => lower, upper => upper,
                count => count));
        END IF;
        PERFORM set_config('rowlark.' || name_, public.rowlark_queryrows_walk_note(), false);
    END IF;
    RETURN name_;
END
$$;

-- The session setting that keeps what queryrows needs to know of tag g of a table (by its oid) to run
-- a call without looking the tag up: an array of the tag's stamp, catalogue row, key column, key
-- field (ASCII letters in lower case), kind, whether the key is a number, the key's pattern
-- (rowlark_queryrows_key_pattern) and the digest of its walks. Valid while the stamp is:
-- rowlark_queryrows_stamps answers the same text.
CREATE OR REPLACE FUNCTION public.rowlark_queryrows_known_setting(table_oid oid, g text) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE
AS $$ SELECT 'rowlark.tag_' || table_oid::text || '_' || md5(g) $$;  -- each spelling of g a setting of its own

-- The checked call's walk: the prepared statement's name and its four parameters as literals of an
-- EXECUTE (a prepared statement takes no parameters of the statement that runs it). Keeps what the
-- look-up found for the next call (rowlark_queryrows_known_setting).
CREATE OR REPLACE FUNCTION public.rowlark_queryrows_execute(t text, g text, i text, k text, n bigint, f text,
                                                           d bigint, a text, b text, e bigint) RETURNS text
LANGUAGE plpgsql VOLATILE
AS $$
DECLARE
    start_value text;  -- what the start index text stands for
    tag_ record;
    at record;
BEGIN
    start_value := public.rowlark_queryrows_check(t, g, i, k, n, f, d, a, b, e);
    tag_ := public.rowlark_queryrows_tag(t, g, f);
    IF tag_.stamp IS NOT NULL THEN
        PERFORM set_config(public.rowlark_queryrows_known_setting(tag_.table_oid, g), ARRAY[
            tag_.stamp, tag_.catalogue_row::text, tag_.key_name, public.rowlark_ascii_lower(tag_.key_field), tag_.kind,
            tag_.key_numeric::text,
            public.rowlark_queryrows_key_pattern(tag_.key_type),
            public.rowlark_queryrows_tag_digest(tag_.table_schema, tag_.table_name, tag_.expression, tag_.kind,
                                               tag_.text_order, tag_.key_name, tag_.key_type, tag_.key_collates)
        ]::text, false);
    END IF;
    at := public.rowlark_queryrows_bounds(tag => tag_.tag, kind => tag_.kind, text_order => tag_.text_order,
        key_name => tag_.key_name, key_type => tag_.key_type, key_numeric => tag_.key_numeric,
        start_value => start_value, k => k, a => a, b => b);
    RETURN format('EXECUTE %I(%L, %L, %L, %L)', public.rowlark_queryrows_prepared(
        table_schema => tag_.table_schema, table_name => tag_.table_name, expression => tag_.expression,
        kind => tag_.kind, text_order => tag_.text_order, key_name => tag_.key_name, key_type => tag_.key_type,
        key_collates => tag_.key_collates, start => at.start, forward => d = 1, inclusive => e = 1,
        lower => at.lower_bound IS NOT NULL, upper => at.upper_bound IS NOT NULL, count => n),
        start_value, at.start_key, at.lower_bound, at.upper_bound);
END
$$;

-- QueryRows ('T', 'G', 'I', 'K', n, 'F', D, 'A', 'B', E): the keys of at most n rows of table T in the
-- order of index tag G, each with the tag's value ("key", "index_value", both plain text):
--   - start: index text I and key K as an earlier answer gave them; both empty start at the first row
--     (D = 1) or the last (D = 0). E = 1 puts the start row itself first; E = 0 starts strictly after it
--     (D = 1, ascending by value then key) or before it (D = 0, descending). Where the key is a number,
--     I with an empty K starts at the value I.
--   - filter: A, unless empty, is an inclusive lower bound; B, unless empty, keeps the rows whose value
--     is <= B or begins with B (text tags), or is <= B (number tags, which read I, A and B as numbers).
--   - the index value travels as a token (rowlark_index_token); a key the host's code page cannot hold
--     cannot travel at all and fails the call.
-- Volatile: it prepares its walk in the session (see above).
DROP FUNCTION IF EXISTS public.rowlark_queryrows_walk(text, text, text, text, text, bigint);
DROP FUNCTION IF EXISTS public.rowlark_queryrows_explain(text, text, text, text, text, bigint, boolean);
DROP FUNCTION IF EXISTS public.rowlark_queryrows_statement(text, text, text, text, bigint, text, bigint, text, text, bigint);
CREATE OR REPLACE FUNCTION public.queryrows(t text, g text, i text, k text, n bigint, f text, d bigint,
                                           a text, b text, e bigint)
RETURNS TABLE (key text, index_value text)
LANGUAGE plpgsql VOLATILE
AS $$
DECLARE
    found oid;
    known text[];  -- see rowlark_queryrows_known_setting
    start text;
    walk text;
    gone text;  -- the prepared walk a failed call found gone
BEGIN
    -- The common call (arguments in range, no filter, a plain index text, the table by its exact name,
    -- a tag this session met before and unchanged since, its walk prepared) goes straight to the walk:
    -- every test the checked road would make passes. Any other call takes the checked road.
    IF n >= 0 AND d IN (0, 1) AND e IN (0, 1) AND a = '' AND b = '' AND strpos(i, '¤') = 0 AND k IS NOT NULL
       AND f IS NOT NULL THEN
        found := to_regclass(quote_ident(t));
        known := nullif(current_setting(public.rowlark_queryrows_known_setting(found, g), true), '')::text[];
        start := CASE WHEN i = '' AND k = '' THEN 'none' WHEN k = '' AND known[6] = 'true' THEN 'value' ELSE 'row' END;
        SELECT public.rowlark_queryrows_walk_name(known[8], start, d = 1, e = 1, false, false, n) INTO walk
        FROM public.rowlark_queryrows_stamps(found, known[3], known[2]::tid) s
        WHERE s.stamp = known[1] AND public.rowlark_ascii_lower(f) = known[4]
          AND (known[5] = 'text' OR start = 'none' OR public.rowlark_is_number(i))
          AND (start <> 'row' OR k ~ known[7]);
        walk := CASE WHEN current_setting('rowlark.' || walk, true) = public.rowlark_queryrows_walk_note()
                     THEN format('EXECUTE %I(%L, %L, NULL, NULL)', walk, i, CASE WHEN start = 'row' THEN k END) END;
    END IF;
    walk := coalesce(walk, public.rowlark_queryrows_execute(t, g, i, k, n, f, d, a, b, e));
    RETURN QUERY EXECUTE walk;
EXCEPTION WHEN invalid_sql_statement_name OR syntax_error THEN
    -- The session let go of its prepared walks (DEALLOCATE ALL) behind their notes' back, unless the
    -- walk is still there and the error its own. (A statement that is gone "returns no tuples".)
    gone := substring(walk FROM '^EXECUTE (rowlark_walk_[0-9a-z_]+)\(');
    IF gone IS NULL OR EXISTS (SELECT FROM pg_prepared_statements p WHERE p.name = gone) THEN
        RAISE;
    END IF;
    -- Every note is void now (rowlark_queryrows_walk_note): the call is looked up again, and the tag
    -- may have changed meanwhile to one whose walk the session also prepared before.
    PERFORM set_config('rowlark.walks_let_go',
                       (coalesce(nullif(current_setting('rowlark.walks_let_go', true), ''), '0')::bigint + 1)::text, false);
    RETURN QUERY EXECUTE public.rowlark_queryrows_execute(t, g, i, k, n, f, d, a, b, e);
END
$$;

-- The plan of the statement QueryRows runs for these arguments: how the walk reads the index.
-- With run, the statement runs and the plan shows how many rows each step read (EXPLAIN ANALYZE).
CREATE OR REPLACE FUNCTION public.queryrows_explain(t text, g text, i text, k text, n bigint, f text, d bigint,
                                                   a text, b text, e bigint, run boolean DEFAULT false)
RETURNS SETOF text
LANGUAGE plpgsql VOLATILE  -- the server runs EXPLAIN in volatile functions only
AS $$
BEGIN
    RETURN QUERY EXECUTE CASE WHEN run THEN 'EXPLAIN (ANALYZE, COSTS OFF, TIMING OFF, SUMMARY OFF) ' ELSE 'EXPLAIN ' END
                         || public.rowlark_queryrows_execute(t, g, i, k, n, f, d, a, b, e);
END
$$;
