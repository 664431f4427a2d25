CREATE OR REPLACE PROCEDURE SP_FILOMAR_ROWUNLOCK (
    v_return      IN OUT SMALLINT,
    v_lock_handle IN     FILOMAR.FILOMAR_ROWLOCK.LOCK_HANDLE%TYPE,
    v_lock_table  IN     FILOMAR.FILOMAR_ROWLOCK.LOCK_TABLE%TYPE,
    v_lock_key    IN     FILOMAR.FILOMAR_ROWLOCK.LOCK_KEY%TYPE)
AS
    -- Releases the calling host's lock of one record under one lock handle.
    -- 0 done, -1 failure.
    v_host V$SESSION.CLIENT_INFO%TYPE;
BEGIN
    v_host := CLIENTINFO();
    DELETE FROM filomar_rowlock
     WHERE LOCK_HANDLE = v_lock_handle
       AND LOCK_TABLE = v_lock_table
       AND LOCK_KEY = v_lock_key
       AND REPLACE(LOCK_HOST, ' ', '') = v_host;
    v_return := 0;
    COMMIT;
EXCEPTION
    WHEN OTHERS THEN
        v_return := -1;
        ROLLBACK;
END SP_FILOMAR_ROWUNLOCK;
