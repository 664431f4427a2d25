CREATE OR REPLACE PROCEDURE SP_FILOMAR_ROWLOCK (
    v_return      IN OUT SMALLINT,
    v_lock_handle IN     FILOMAR_ROWLOCK.LOCK_HANDLE%TYPE,
    v_lock_table  IN     FILOMAR_ROWLOCK.LOCK_TABLE%TYPE,
    v_lock_key    IN     FILOMAR_ROWLOCK.LOCK_KEY%TYPE,
    v_lock_user   IN OUT FILOMAR_ROWLOCK.LOCK_USER%TYPE,
    v_lock_host   IN OUT FILOMAR_ROWLOCK.LOCK_HOST%TYPE)
AS
    -- Locks one record (v_lock_table, v_lock_key) for the calling host.
    -- 1 granted, 0 refused; a refusal because of a live holder returns the
    -- holder's user and host in v_lock_user and v_lock_host.
    --
    -- 12-Jun-2001  A holder is live while its host has at least one session of
    --              the FILOMAR account. The session lookup accepts exactly one
    --              session (SELECT INTO) as well as several (TOO_MANY_ROWS), so
    --              that a lock held by a client made of a single program is
    --              respected as well as one held by a client with several
    --              sessions. Only a host without any session is stale.
    v_rowid         ROWID;
    v_holder_handle FILOMAR_ROWLOCK.LOCK_HANDLE%TYPE;
    v_holder_table  FILOMAR_ROWLOCK.LOCK_TABLE%TYPE;
    v_holder_key    FILOMAR_ROWLOCK.LOCK_KEY%TYPE;
    v_holder_date   FILOMAR_ROWLOCK.LOCK_DATE%TYPE;
    v_holder_user   FILOMAR_ROWLOCK.LOCK_USER%TYPE;
    v_holder_host   FILOMAR_ROWLOCK.LOCK_HOST%TYPE;
    v_audsid        V$SESSION.AUDSID%TYPE;
    v_live          BOOLEAN;
    v_message       VARCHAR2(200);
BEGIN
    BEGIN
        SELECT ROWID INTO v_rowid
          FROM filomar_rowlock
         WHERE LOCK_TABLE = v_lock_table
           AND LOCK_KEY = v_lock_key;
    EXCEPTION
        WHEN NO_DATA_FOUND THEN
            -- The record is free: take it. Losing the race for it to another
            -- client shows as a duplicate key.
            BEGIN
                INSERT INTO filomar_rowlock
                       (LOCK_HANDLE, LOCK_TABLE, LOCK_KEY, LOCK_DATE, LOCK_USER, LOCK_HOST)
                VALUES (v_lock_handle, v_lock_table, v_lock_key, SYSDATE, UPPER(v_lock_user), CLIENTINFO());
                COMMIT;
                v_return := 1;
            EXCEPTION
                WHEN DUP_VAL_ON_INDEX THEN
                    ROLLBACK;
                    SELECT LOCK_HOST, LOCK_USER, LOCK_DATE, LOCK_HANDLE, LOCK_KEY, LOCK_TABLE
                      INTO v_holder_host, v_holder_user, v_holder_date, v_holder_handle, v_holder_key, v_holder_table
                      FROM filomar_rowlock
                     WHERE LOCK_TABLE = v_lock_table
                       AND LOCK_KEY = v_lock_key;
                    IF v_holder_host = v_lock_host
                       AND v_holder_user = v_lock_user
                       AND v_holder_handle = v_lock_handle
                       AND v_holder_key = v_lock_key
                       AND v_holder_table = v_lock_table THEN
                        -- The winner is the caller itself.
                        v_return := 1;
                    ELSE
                        v_lock_user := RTRIM(v_holder_user, ' ');
                        v_lock_host := v_holder_host;
                        DBMS_OUTPUT.PUT_LINE('Already locked by ' || v_lock_user || ' since '
                                             || TO_CHAR(v_holder_date, 'DD-MON-YY HH24:MI:SS'));
                        v_return := 0;
                    END IF;
            END;
            RETURN;
    END;

    SELECT LOCK_USER, LOCK_HOST
      INTO v_holder_user, v_holder_host
      FROM filomar_rowlock
     WHERE ROWID = v_rowid;

    IF RTRIM(v_holder_host, ' ') = CLIENTINFO() THEN
        -- Every program on the same host works under a lock of that host.
        v_return := 1;
        RETURN;
    END IF;

    BEGIN
        SELECT AUDSID INTO v_audsid
          FROM V$SESSION
         WHERE CLIENT_INFO = RTRIM(v_holder_host, ' ')
           AND USERNAME = 'FILOMAR';
        v_live := TRUE;
    EXCEPTION
        WHEN TOO_MANY_ROWS THEN
            v_live := TRUE;
        WHEN NO_DATA_FOUND THEN
            v_live := FALSE;
    END;

    IF v_live THEN
        v_lock_user := RTRIM(v_holder_user, ' ');
        v_lock_host := RTRIM(v_holder_host, ' ');
        v_return := 0;
        RETURN;
    END IF;

    -- The holder's host has no session left: its locks are stale.
    DELETE FROM filomar_tbllock WHERE LOCK_HOST = v_holder_host;
    DELETE FROM filomar_rowlock WHERE LOCK_HOST = v_holder_host;
    COMMIT;

    BEGIN
        INSERT INTO filomar_rowlock
               (LOCK_HANDLE, LOCK_TABLE, LOCK_KEY, LOCK_DATE, LOCK_USER, LOCK_HOST)
        VALUES (v_lock_handle, v_lock_table, v_lock_key, SYSDATE, UPPER(v_lock_user), CLIENTINFO());
        COMMIT;
        v_return := 1;
    EXCEPTION
        WHEN DUP_VAL_ON_INDEX THEN
            -- Another client took the record after the clean-up.
            ROLLBACK;
            v_return := 0;
    END;
EXCEPTION
    WHEN OTHERS THEN
        -- More than one lock row for the record included.
        ROLLBACK;
        v_message := 'There has been a severe problem with the locking, tell the system administrator';
        v_return := 0;
END SP_FILOMAR_ROWLOCK;
