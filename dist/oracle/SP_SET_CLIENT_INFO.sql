CREATE OR REPLACE PROCEDURE SP_SET_CLIENT_INFO (
    v_return      IN OUT SMALLINT,
    v_lock_handle IN     FILOMAR_TBLLOCK.LOCK_HANDLE%TYPE,
    v_compname    IN     V$SESSION.CLIENT_INFO%TYPE)
AS
    -- Registers the client computer's name as the session's client
    -- information, the host of every lock the session takes. 'NOT_DEFINED'
    -- registers the session's machine name instead. v_return and
    -- v_lock_handle are not used.
    v_client_info V$SESSION.CLIENT_INFO%TYPE;
BEGIN
    IF v_compname = 'NOT_DEFINED' THEN
        v_client_info := SUBSTR(MACHINE(), 1, 50);
    ELSE
        v_client_info := v_compname;
    END IF;
    DBMS_APPLICATION_INFO.SET_CLIENT_INFO(v_client_info);
END SP_SET_CLIENT_INFO;
