CREATE OR REPLACE PROCEDURE SP_FILOMAR_TBLLOCK (
    v_return         IN OUT SMALLINT,
    v_lock_handle    IN     FILOMAR_TBLLOCK.LOCK_HANDLE%TYPE,
    v_lock_table     IN     FILOMAR_TBLLOCK.LOCK_TABLE%TYPE,
    v_lock_exclusive IN     FILOMAR_TBLLOCK.LOCK_EXCLUSIVE%TYPE,
    v_lock_user      IN     FILOMAR_TBLLOCK.LOCK_USER%TYPE)
AS
    -- Locks table v_lock_table for the calling host: exclusively when
    -- v_lock_exclusive is 'Y', shared otherwise. A host holds one row per
    -- table; its repeated shared locks are counted in LOCK_COUNT.
    -- 1 granted, 0 refused, -1 conflict or failure.
    CURSOR c_holders IS
        SELECT LOCK_HOST
          FROM filomar_tbllock
         WHERE LOCK_TABLE = v_lock_table;
    e_process_lock EXCEPTION;  -- go on to grant or refuse the request
    e_exclusive    EXCEPTION;  -- the table is free for an exclusive lock
    v_holder_host  FILOMAR_TBLLOCK.LOCK_HOST%TYPE;
    v_holder_found BOOLEAN;
    v_row_handle   FILOMAR_TBLLOCK.LOCK_HANDLE%TYPE;
    v_row_table    FILOMAR_TBLLOCK.LOCK_TABLE%TYPE;
    v_row_host     FILOMAR_TBLLOCK.LOCK_HOST%TYPE;
    v_row_user     FILOMAR_TBLLOCK.LOCK_USER%TYPE;
    v_row_date     FILOMAR_TBLLOCK.LOCK_DATE%TYPE;
    v_audsid       V$SESSION.AUDSID%TYPE;
    v_rows         INTEGER;
    v_message      VARCHAR2(200);
BEGIN
    BEGIN
        -- Stale check of the first holder of the table only.
        OPEN c_holders;
        FETCH c_holders INTO v_holder_host;
        v_holder_found := c_holders%FOUND;
        CLOSE c_holders;
        IF v_holder_found THEN
            BEGIN
                SELECT AUDSID INTO v_audsid
                  FROM V$SESSION
                 WHERE CLIENT_INFO = v_holder_host
                   AND USERNAME = 'FILOMAR';
            EXCEPTION
                WHEN TOO_MANY_ROWS THEN
                    NULL;
                WHEN NO_DATA_FOUND THEN
                    DELETE FROM filomar_tbllock WHERE LOCK_HOST = v_holder_host;
                    DELETE FROM filomar_rowlock WHERE LOCK_HOST = v_holder_host;
                    COMMIT;
            END;
        END IF;

        IF v_lock_exclusive = 'Y' THEN
            SELECT COUNT(*) INTO v_rows
              FROM filomar_tbllock
             WHERE LOCK_TABLE = v_lock_table;
            IF v_rows = 0 THEN
                RAISE e_exclusive;
            END IF;
        END IF;
        RAISE e_process_lock;
    EXCEPTION
        WHEN e_exclusive THEN
            BEGIN
                INSERT INTO filomar_tbllock
                       (LOCK_HANDLE, LOCK_TABLE, LOCK_HOST, LOCK_EXCLUSIVE, LOCK_COUNT, LOCK_DATE, LOCK_USER)
                VALUES (v_lock_handle, v_lock_table, CLIENTINFO(), 'Y', 1, SYSDATE, UPPER(v_lock_user));
                COMMIT;
                v_return := 1;
            EXCEPTION
                WHEN DUP_VAL_ON_INDEX THEN
                    ROLLBACK;
                    SELECT LOCK_HANDLE, LOCK_TABLE, LOCK_HOST, LOCK_USER, LOCK_DATE
                      INTO v_row_handle, v_row_table, v_row_host, v_row_user, v_row_date
                      FROM filomar_tbllock
                     WHERE LOCK_TABLE = v_lock_table;
                    IF v_row_host = v_holder_host
                       AND v_row_user = v_lock_user
                       AND v_row_handle = v_lock_handle
                       AND v_row_table = v_lock_table THEN
                        v_return := 1;
                    ELSE
                        v_message := 'Already locked by ' || v_row_user || ' since ' || v_row_date;
                        v_return := -1;
                    END IF;
                WHEN OTHERS THEN
                    ROLLBACK;
                    v_return := 0;
            END;
        WHEN e_process_lock THEN
            IF v_lock_exclusive = 'Y' THEN
                -- The table carries a lock, possibly one of the caller's own.
                v_return := 0;
            ELSE
                SELECT COUNT(*) INTO v_rows
                  FROM filomar_tbllock
                 WHERE LOCK_TABLE = v_lock_table
                   AND LOCK_EXCLUSIVE = 'Y';
                IF v_rows = 0 THEN
                    UPDATE filomar_tbllock
                       SET LOCK_COUNT = LOCK_COUNT + 1
                     WHERE LOCK_TABLE = v_lock_table
                       AND REPLACE(LOCK_HOST, ' ', '') = CLIENTINFO();
                    IF SQL%ROWCOUNT = 0 THEN
                        INSERT INTO filomar_tbllock
                               (LOCK_HANDLE, LOCK_TABLE, LOCK_HOST, LOCK_EXCLUSIVE, LOCK_COUNT, LOCK_DATE, LOCK_USER)
                        VALUES (v_lock_handle, v_lock_table, CLIENTINFO(), 'N', 1, SYSDATE, UPPER(v_lock_user));
                    END IF;
                    COMMIT;
                    v_return := 1;
                ELSE
                    -- Exclusively locked, by any host, the caller's included.
                    v_return := 0;
                END IF;
            END IF;
    END;
EXCEPTION
    WHEN OTHERS THEN
        ROLLBACK;
        v_message := 'There has been a severe problem with the locking, tell the system administrator';
        v_return := -1;
END SP_FILOMAR_TBLLOCK;
