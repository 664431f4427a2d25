CREATE TABLE std_db (
  db_name char(10) NOT NULL PRIMARY KEY,
  db_dir char(46) NULL,
  db_des char(30) NULL,
  db_img_dir char(30) NULL,
  db_prefix char(3) NULL,
  db_valid char(1) NULL,
  db_FTP_SERVER char(250) NULL,
  db_FTP_PORT char(10) NULL,
  db_FTP_PATH char(250) NULL,
  db_FTP_USERNAME char(50) NULL,
  db_FTP_USERPASSWD char(50) NULL)
go
CREATE TABLE std_uid (
  uid_userid char(30) NOT NULL PRIMARY KEY,
  uid_name char(30) NULL,
  uid_pwd binary(10) NULL,
  uid_pw1_date binary(6) NULL, uid_pw1_flag binary(1) NULL, uid_pw1_hash binary(10) NULL,
  uid_pw2_date binary(6) NULL, uid_pw2_flag binary(1) NULL, uid_pw2_hash binary(10) NULL,
  uid_pw3_date binary(6) NULL, uid_pw3_flag binary(1) NULL, uid_pw3_hash binary(10) NULL,
  uid_pw4_date binary(6) NULL, uid_pw4_flag binary(1) NULL, uid_pw4_hash binary(10) NULL,
  uid_pw5_date binary(6) NULL, uid_pw5_flag binary(1) NULL, uid_pw5_hash binary(10) NULL,
  uid_pwd_key binary(10) NULL,
  uid_flag1 binary(1) NULL,
  uid_flag2 binary(1) NULL,
  uid_flag3 binary(1) NULL)
go
CREATE TABLE std_udb (
  udb_uid char(30) NOT NULL,
  udb_dbname char(10) NOT NULL,
  udb_aono char(10) NULL,
  udb_dblevel char(10) NULL,
  udb_filler char(10) NULL,
  PRIMARY KEY (udb_uid, udb_dbname))
go
CREATE TABLE std_sec (
  sec_code binary(6) NOT NULL PRIMARY KEY,
  sec_name binary(30) NULL)
go
CREATE TABLE std_filter (
  filter_name char(30) NOT NULL,
  filter_userID char(30) NOT NULL,
  filter_file char(4) NULL,
  filter_public char(1) NULL,
  filter_text varchar(255) NULL,
  PRIMARY KEY (filter_name, filter_userID))
go
CREATE TABLE std_file (
  file_no char(20) NOT NULL PRIMARY KEY,
  file_title varchar(100) NULL,
  file_status char(10) NULL,
  file_opened datetime NULL)
go
CREATE TABLE std_docs (
  doc_no char(20) NOT NULL PRIMARY KEY,
  doc_file_no char(20) NULL,
  doc_title varchar(100) NULL,
  doc_date datetime NULL)
go
CREATE TABLE std_box (
  box_no char(20) NOT NULL PRIMARY KEY,
  box_locn char(20) NULL,
  box_status char(10) NULL)
go
CREATE TABLE filomar_rowlock (
  LOCK_HANDLE integer NULL,
  LOCK_TABLE varchar(30) NOT NULL,
  LOCK_KEY varchar(255) NOT NULL,
  LOCK_DATE datetime NULL,
  LOCK_USER varchar(30) NULL,
  LOCK_HOST varchar(64) NULL,
  UNIQUE (LOCK_TABLE, LOCK_KEY))
go
CREATE TABLE filomar_tbllock (
  LOCK_HANDLE integer NULL,
  LOCK_TABLE varchar(30) NOT NULL,
  LOCK_HOST varchar(64) NOT NULL,
  LOCK_EXCLUSIVE char(1) NULL,
  LOCK_COUNT integer NULL,
  LOCK_DATE datetime NULL,
  LOCK_USER varchar(30) NULL,
  UNIQUE (LOCK_TABLE, LOCK_HOST))
go
