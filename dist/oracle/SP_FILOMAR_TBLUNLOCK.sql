CREATE OR REPLACE PROCEDURE SP_FILOMAR_TBLUNLOCK (
    v_return      IN OUT SMALLINT,
    v_lock_handle IN     FILOMAR_TBLLOCK.LOCK_HANDLE%TYPE,
    v_lock_table  IN     FILOMAR_TBLLOCK.LOCK_TABLE%TYPE)
AS
    -- Releases a table lock of the calling host: its exclusive lock under
    -- v_lock_handle (0), or else one of its shared locks (1). 0 on failure.
    v_host  V$SESSION.CLIENT_INFO%TYPE;
    v_count FILOMAR_TBLLOCK.LOCK_COUNT%TYPE;
BEGIN
    v_host := CLIENTINFO();
    DELETE FROM filomar_tbllock
     WHERE LOCK_TABLE = v_lock_table
       AND LOCK_HANDLE = v_lock_handle
       AND LOCK_EXCLUSIVE = 'Y'
       AND REPLACE(LOCK_HOST, ' ', '') = v_host;
    IF SQL%ROWCOUNT > 0 THEN
        v_return := 0;
        COMMIT;
        RETURN;
    END IF;

    BEGIN
        SELECT LOCK_COUNT INTO v_count
          FROM filomar_tbllock
         WHERE LOCK_TABLE = v_lock_table
           AND REPLACE(LOCK_HOST, ' ', '') = v_host;
    EXCEPTION
        WHEN NO_DATA_FOUND THEN
            v_count := 0;
    END;
    IF v_count > 1 THEN
        UPDATE filomar_tbllock
           SET LOCK_COUNT = LOCK_COUNT - 1
         WHERE LOCK_TABLE = v_lock_table
           AND REPLACE(LOCK_HOST, ' ', '') = v_host;
    ELSE
        DELETE FROM filomar_tbllock
         WHERE LOCK_TABLE = v_lock_table
           AND REPLACE(LOCK_HOST, ' ', '') = v_host;
    END IF;
    COMMIT;
    v_return := 1;
EXCEPTION
    WHEN OTHERS THEN
        ROLLBACK;
        v_return := 0;
END SP_FILOMAR_TBLUNLOCK;
