CREATE OR REPLACE PROCEDURE SP_FILOMAR_ROWUNLOCKTBLALL (
    v_return      IN OUT SMALLINT,
    v_lock_handle IN     FILOMAR.FILOMAR_ROWLOCK.LOCK_HANDLE%TYPE,
    v_lock_table  IN     FILOMAR.FILOMAR_ROWLOCK.LOCK_TABLE%TYPE)
AS
    -- Releases the record locks of one table that the calling host holds
    -- under one lock handle. 1 done, 0 failure.
    v_host V$SESSION.CLIENT_INFO%TYPE;
BEGIN
    v_host := CLIENTINFO();
    DELETE FROM filomar_rowlock
     WHERE LOCK_HANDLE = v_lock_handle
       AND LOCK_TABLE = v_lock_table
       AND REPLACE(LOCK_HOST, ' ', '') = v_host;
    v_return := 1;
    COMMIT;
EXCEPTION
    WHEN OTHERS THEN
        v_return := 0;
        ROLLBACK;
END SP_FILOMAR_ROWUNLOCKTBLALL;
