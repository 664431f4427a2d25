CREATE OR REPLACE PROCEDURE SP_FILOMAR_ROWUNLOCKALL (
    v_return      IN OUT SMALLINT,
    v_lock_handle IN     FILOMAR.FILOMAR_ROWLOCK.LOCK_HANDLE%TYPE)
AS
    -- Releases all record locks that the calling host holds under one lock
    -- handle. 1 done, 0 failure.
    v_host V$SESSION.CLIENT_INFO%TYPE;
BEGIN
    v_host := CLIENTINFO();
    DELETE FROM filomar_rowlock
     WHERE LOCK_HANDLE = v_lock_handle
       AND REPLACE(LOCK_HOST, ' ', '') = v_host;
    v_return := 1;
    COMMIT;
EXCEPTION
    WHEN OTHERS THEN
        v_return := 0;
        ROLLBACK;
END SP_FILOMAR_ROWUNLOCKALL;
