CREATE OR REPLACE PROCEDURE SP_FILOMAR_IS_SIGNED_ON (
    v_return      IN OUT SMALLINT,
    v_lock_handle IN     FILOMAR_TBLLOCK.LOCK_HANDLE%TYPE,
    v_user_name   IN     FILOMAR_TBLLOCK.LOCK_USER%TYPE)
AS
    -- Tells whether user v_user_name is signed on: 1 signed on, 0 not signed
    -- on, -1 failure. A user is signed on while the host of his first table
    -- lock has a live session of the FILOMAR account; a host without one is
    -- stale and its locks are removed.
    CURSOR c_user_hosts IS
        SELECT LOCK_HOST
          FROM filomar_tbllock
         WHERE LOCK_USER = v_user_name;
    e_signed_on_ok  EXCEPTION;
    e_not_signed_on EXCEPTION;
    v_host          FILOMAR_TBLLOCK.LOCK_HOST%TYPE;
    v_host_found    BOOLEAN;
    v_sid           V$SESSION.SID%TYPE;
BEGIN
    BEGIN
        OPEN c_user_hosts;
        FETCH c_user_hosts INTO v_host;
        v_host_found := c_user_hosts%FOUND;
        CLOSE c_user_hosts;
        IF NOT v_host_found THEN
            RAISE e_not_signed_on;
        END IF;

        BEGIN
            SELECT SID INTO v_sid
              FROM V$SESSION
             WHERE CLIENT_INFO = REPLACE(v_host, ' ', '')
               AND USERNAME = 'FILOMAR';
            -- One live session: a client made of a single program.
            RAISE e_signed_on_ok;
        EXCEPTION
            WHEN TOO_MANY_ROWS THEN
                RAISE e_signed_on_ok;
            WHEN NO_DATA_FOUND THEN
                DELETE FROM filomar_tbllock WHERE LOCK_HOST = v_host;
                DELETE FROM filomar_rowlock WHERE LOCK_HOST = v_host;
                COMMIT;
                RAISE e_not_signed_on;
        END;
    EXCEPTION
        WHEN e_signed_on_ok THEN
            v_return := 1;
        WHEN e_not_signed_on THEN
            v_return := 0;
    END;
EXCEPTION
    WHEN OTHERS THEN
        ROLLBACK;
        v_return := -1;
END SP_FILOMAR_IS_SIGNED_ON;
