CREATE OR REPLACE PROCEDURE SP_FILOMAR_HOSTUNLOCK (
    v_return IN OUT SMALLINT)
AS
    -- Releases every row and table lock of the calling host.
    -- 0 done, -1 failure.
    v_host V$SESSION.CLIENT_INFO%TYPE;
BEGIN
    v_host := CLIENTINFO();
    DELETE FROM filomar_rowlock WHERE REPLACE(LOCK_HOST, ' ', '') = v_host;
    DELETE FROM filomar_tbllock WHERE REPLACE(LOCK_HOST, ' ', '') = v_host;
    v_return := 0;
    COMMIT;
EXCEPTION
    WHEN OTHERS THEN
        v_return := -1;
        ROLLBACK;
END SP_FILOMAR_HOSTUNLOCK;
