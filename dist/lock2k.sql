IF OBJECT_ID('SP_FILOMAR_ROWLOCK') IS NOT NULL DROP PROCEDURE SP_FILOMAR_ROWLOCK
IF OBJECT_ID('SP_FILOMAR_TBLLOCK') IS NOT NULL DROP PROCEDURE SP_FILOMAR_TBLLOCK
IF OBJECT_ID('SP_FILOMAR_IS_SIGNED_ON') IS NOT NULL DROP PROCEDURE SP_FILOMAR_IS_SIGNED_ON
IF OBJECT_ID('SP_FILOMAR_HOSTUNLOCK') IS NOT NULL DROP PROCEDURE SP_FILOMAR_HOSTUNLOCK
IF OBJECT_ID('SP_FILOMAR_ROWUNLOCK') IS NOT NULL DROP PROCEDURE SP_FILOMAR_ROWUNLOCK
IF OBJECT_ID('SP_FILOMAR_ROWUNLOCKALL') IS NOT NULL DROP PROCEDURE SP_FILOMAR_ROWUNLOCKALL
IF OBJECT_ID('SP_FILOMAR_ROWUNLOCKTBLALL') IS NOT NULL DROP PROCEDURE SP_FILOMAR_ROWUNLOCKTBLALL
IF OBJECT_ID('SP_FILOMAR_TBLUNLOCK') IS NOT NULL DROP PROCEDURE SP_FILOMAR_TBLUNLOCK
go
/* Locks of the product's client programs. A lock belongs to a host (HOST_NAME() of the session
   that took it) and, within the host, to the lock handle the client passes. A host is live
   while the server holds a session of the product's account from it; the locks of a host
   that is not live are stale and are removed by the next request that meets them. Lines are
   joined by blanks when the script is sent, so comments use this form only. */
CREATE PROCEDURE SP_FILOMAR_ROWLOCK
  @v_return smallint OUTPUT, @v_lock_handle integer, @v_lock_table varchar(30), @v_lock_key varchar(255),
  @v_lock_user varchar(30) OUTPUT, @v_lock_host varchar(64) OUTPUT
AS
BEGIN
  SET NOCOUNT ON
  DECLARE @holder_user varchar(30), @holder_host varchar(64), @holder_handle integer
  SELECT @holder_user = LOCK_USER, @holder_host = LOCK_HOST, @holder_handle = LOCK_HANDLE
    FROM filomar_rowlock WHERE LOCK_TABLE = @v_lock_table AND LOCK_KEY = @v_lock_key
  IF @holder_host IS NOT NULL AND RTRIM(@holder_host) = HOST_NAME()
  BEGIN
    SET @v_return = 1
    RETURN
  END
  IF @holder_host IS NOT NULL
  BEGIN
    IF EXISTS (SELECT 1 FROM sys.dm_exec_sessions WHERE host_name = RTRIM(@holder_host) AND login_name = 'filomar')
    BEGIN
      SET @v_lock_user = RTRIM(@holder_user)
      SET @v_lock_host = RTRIM(@holder_host)
      SET @v_return = 0
      RETURN
    END
    DELETE FROM filomar_tbllock WHERE LOCK_HOST = @holder_host
    DELETE FROM filomar_rowlock WHERE LOCK_HOST = @holder_host
  END
  BEGIN TRY
    INSERT INTO filomar_rowlock (LOCK_HANDLE, LOCK_TABLE, LOCK_KEY, LOCK_DATE, LOCK_USER, LOCK_HOST)
      VALUES (@v_lock_handle, @v_lock_table, @v_lock_key, GETDATE(), UPPER(@v_lock_user), HOST_NAME())
    SET @v_return = 1
  END TRY
  BEGIN CATCH
    SELECT @v_lock_user = RTRIM(LOCK_USER), @v_lock_host = LOCK_HOST
      FROM filomar_rowlock WHERE LOCK_TABLE = @v_lock_table AND LOCK_KEY = @v_lock_key
    SET @v_return = 0
  END CATCH
END
go
CREATE PROCEDURE SP_FILOMAR_TBLLOCK
  @v_return smallint OUTPUT, @v_lock_handle integer, @v_lock_table varchar(30), @v_lock_exclusive char(1),
  @v_lock_user varchar(30)
AS
BEGIN
  SET NOCOUNT ON
  DECLARE @first_host varchar(64)
  SELECT TOP 1 @first_host = LOCK_HOST FROM filomar_tbllock WHERE LOCK_TABLE = @v_lock_table
  IF @first_host IS NOT NULL AND NOT EXISTS
      (SELECT 1 FROM sys.dm_exec_sessions WHERE host_name = RTRIM(@first_host) AND login_name = 'filomar')
  BEGIN
    DELETE FROM filomar_tbllock WHERE LOCK_HOST = @first_host
    DELETE FROM filomar_rowlock WHERE LOCK_HOST = @first_host
  END
  BEGIN TRY
    IF @v_lock_exclusive = 'Y'
    BEGIN
      IF EXISTS (SELECT 1 FROM filomar_tbllock WHERE LOCK_TABLE = @v_lock_table)
        SET @v_return = 0
      ELSE
      BEGIN
        INSERT INTO filomar_tbllock (LOCK_HANDLE, LOCK_TABLE, LOCK_HOST, LOCK_EXCLUSIVE, LOCK_COUNT, LOCK_DATE, LOCK_USER)
          VALUES (@v_lock_handle, @v_lock_table, HOST_NAME(), 'Y', 1, GETDATE(), UPPER(@v_lock_user))
        SET @v_return = 1
      END
      RETURN
    END
    IF EXISTS (SELECT 1 FROM filomar_tbllock WHERE LOCK_TABLE = @v_lock_table AND LOCK_EXCLUSIVE = 'Y')
      RETURN
    UPDATE filomar_tbllock SET LOCK_COUNT = LOCK_COUNT + 1
      WHERE LOCK_TABLE = @v_lock_table AND REPLACE(LOCK_HOST, ' ', '') = HOST_NAME()
    IF @@ROWCOUNT = 0
      INSERT INTO filomar_tbllock (LOCK_HANDLE, LOCK_TABLE, LOCK_HOST, LOCK_EXCLUSIVE, LOCK_COUNT, LOCK_DATE, LOCK_USER)
        VALUES (@v_lock_handle, @v_lock_table, HOST_NAME(), 'N', 1, GETDATE(), UPPER(@v_lock_user))
    SET @v_return = 1
  END TRY
  BEGIN CATCH
    SET @v_return = -1
  END CATCH
END
go
CREATE PROCEDURE SP_FILOMAR_IS_SIGNED_ON
  @v_return smallint OUTPUT, @v_lock_handle integer, @v_user_name varchar(30)
AS
BEGIN
  SET NOCOUNT ON
  DECLARE @host varchar(64)
  BEGIN TRY
    SELECT TOP 1 @host = LOCK_HOST FROM filomar_tbllock WHERE LOCK_USER = @v_user_name
    IF @host IS NULL
    BEGIN
      SET @v_return = 0
      RETURN
    END
    IF EXISTS (SELECT 1 FROM sys.dm_exec_sessions WHERE host_name = REPLACE(@host, ' ', '') AND login_name = 'filomar')
      SET @v_return = 1
    ELSE
    BEGIN
      DELETE FROM filomar_tbllock WHERE LOCK_HOST = @host
      DELETE FROM filomar_rowlock WHERE LOCK_HOST = @host
      SET @v_return = 0
    END
  END TRY
  BEGIN CATCH
    SET @v_return = -1
  END CATCH
END
go
CREATE PROCEDURE SP_FILOMAR_HOSTUNLOCK
  @v_return smallint OUTPUT
AS
BEGIN
  SET NOCOUNT ON
  BEGIN TRY
    DELETE FROM filomar_rowlock WHERE REPLACE(LOCK_HOST, ' ', '') = HOST_NAME()
    DELETE FROM filomar_tbllock WHERE REPLACE(LOCK_HOST, ' ', '') = HOST_NAME()
    SET @v_return = 0
  END TRY
  BEGIN CATCH
    SET @v_return = -1
  END CATCH
END
go
CREATE PROCEDURE SP_FILOMAR_ROWUNLOCK
  @v_return smallint OUTPUT, @v_lock_handle integer, @v_lock_table varchar(30), @v_lock_key varchar(255)
AS
BEGIN
  SET NOCOUNT ON
  BEGIN TRY
    DELETE FROM filomar_rowlock WHERE LOCK_HANDLE = @v_lock_handle AND LOCK_TABLE = @v_lock_table
      AND LOCK_KEY = @v_lock_key AND REPLACE(LOCK_HOST, ' ', '') = HOST_NAME()
    SET @v_return = 0
  END TRY
  BEGIN CATCH
    SET @v_return = -1
  END CATCH
END
go
CREATE PROCEDURE SP_FILOMAR_ROWUNLOCKALL
  @v_return smallint OUTPUT, @v_lock_handle integer
AS
BEGIN
  SET NOCOUNT ON
  BEGIN TRY
    DELETE FROM filomar_rowlock WHERE LOCK_HANDLE = @v_lock_handle AND REPLACE(LOCK_HOST, ' ', '') = HOST_NAME()
    SET @v_return = 1
  END TRY
  BEGIN CATCH
    SET @v_return = 0
  END CATCH
END
go
CREATE PROCEDURE SP_FILOMAR_ROWUNLOCKTBLALL
  @v_return smallint OUTPUT, @v_lock_handle integer, @v_lock_table varchar(30)
AS
BEGIN
  SET NOCOUNT ON
  BEGIN TRY
    DELETE FROM filomar_rowlock WHERE LOCK_HANDLE = @v_lock_handle AND LOCK_TABLE = @v_lock_table
      AND REPLACE(LOCK_HOST, ' ', '') = HOST_NAME()
    SET @v_return = 1
  END TRY
  BEGIN CATCH
    SET @v_return = 0
  END CATCH
END
go
CREATE PROCEDURE SP_FILOMAR_TBLUNLOCK
  @v_return smallint OUTPUT, @v_lock_handle integer, @v_lock_table varchar(30)
AS
BEGIN
  SET NOCOUNT ON
  DECLARE @count integer
  BEGIN TRY
    DELETE FROM filomar_tbllock WHERE LOCK_TABLE = @v_lock_table AND LOCK_EXCLUSIVE = 'Y'
      AND LOCK_HANDLE = @v_lock_handle AND REPLACE(LOCK_HOST, ' ', '') = HOST_NAME()
    IF @@ROWCOUNT > 0
    BEGIN
      SET @v_return = 0
      RETURN
    END
    SELECT @count = LOCK_COUNT FROM filomar_tbllock
      WHERE LOCK_TABLE = @v_lock_table AND REPLACE(LOCK_HOST, ' ', '') = HOST_NAME()
    IF @count > 1
      UPDATE filomar_tbllock SET LOCK_COUNT = LOCK_COUNT - 1
        WHERE LOCK_TABLE = @v_lock_table AND REPLACE(LOCK_HOST, ' ', '') = HOST_NAME()
    ELSE
      DELETE FROM filomar_tbllock WHERE LOCK_TABLE = @v_lock_table AND REPLACE(LOCK_HOST, ' ', '') = HOST_NAME()
    SET @v_return = 1
  END TRY
  BEGIN CATCH
    SET @v_return = 0
  END CATCH
END
go
