CREATE OR REPLACE FUNCTION CLIENTINFO
RETURN VARCHAR2
AS
    -- The client information of the calling session: the name of the client
    -- computer that registered it through SP_SET_CLIENT_INFO.
    v_client_info V$SESSION.CLIENT_INFO%TYPE;
BEGIN
    SELECT CLIENT_INFO INTO v_client_info
      FROM V$SESSION
     WHERE AUDSID = USERENV('SESSIONID');
    RETURN v_client_info;
END CLIENTINFO;
