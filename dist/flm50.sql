Print 'Adding the 5.0 columns of the file records to xxx_file'
ALTER TABLE xxx_file ADD file_ucode1 char(10);
go
ALTER TABLE xxx_file ADD file_ucode2 char(10);
go
ALTER TABLE xxx_file ADD file_ucode3 char(10);
go
ALTER TABLE xxx_file ADD file_security char(6);
go
ALTER TABLE xxx_file ADD file_rcat_id char(10);
go
ALTER TABLE xxx_file ADD file_permanent char(1);
go
ALTER TABLE xxx_file ADD file_vital_type char(10);
go
ALTER TABLE xxx_file ADD file_supp_markup varchar(255);
go
ALTER TABLE xxx_file ADD file_last_review datetime;
go
ALTER TABLE xxx_file ADD file_next_review datetime;
go
ALTER TABLE xxx_file ADD file_user_box char(20);
go
Print 'Adding the 5.0 columns of the document records to xxx_docs'
ALTER TABLE xxx_docs ADD doc_ucode1 char(10);
go
ALTER TABLE xxx_docs ADD doc_ucode2 char(10);
go
ALTER TABLE xxx_docs ADD doc_ucode3 char(10);
go
ALTER TABLE xxx_docs ADD doc_supp_markup varchar(255);
go
ALTER TABLE xxx_docs ADD doc_media_type char(10);
go
ALTER TABLE xxx_docs ADD doc_format char(10);
go
ALTER TABLE xxx_docs ADD doc_pub_date datetime;
go
ALTER TABLE xxx_docs ADD doc_addressees varchar(255);
go
ALTER TABLE xxx_docs ADD doc_other_addressees varchar(255);
go
ALTER TABLE xxx_docs ADD doc_orig_org char(60);
go
ALTER TABLE xxx_docs ADD doc_vital_type char(10);
go
ALTER TABLE xxx_docs ADD doc_permanent char(1);
go
ALTER TABLE xxx_docs ADD doc_rcat_id char(10);
go
ALTER TABLE xxx_docs ADD doc_rcat char(30);
go
ALTER TABLE xxx_docs ADD doc_last_review datetime;
go
ALTER TABLE xxx_docs ADD doc_next_review datetime;
go
ALTER TABLE xxx_docs ADD doc_user_box char(20);
go
ALTER TABLE xxx_docs ADD doc_security char(6);
go
Print 'Adding the 5.0 columns of the box records to xxx_box'
ALTER TABLE xxx_box ADD box_security char(6);
go
ALTER TABLE xxx_box ADD box_space_no char(10);
go
ALTER TABLE xxx_box ADD box_permanent char(1);
go
ALTER TABLE xxx_box ADD box_rcat_id char(10);
go
ALTER TABLE xxx_box ADD box_rcat char(30);
go
ALTER TABLE xxx_box ADD box_last_review datetime;
go
ALTER TABLE xxx_box ADD box_next_review datetime;
go
Print 'Creating the tables of related files, documents and boxes'
CREATE TABLE xxx_relfile (relfile_file_no char(20) NOT NULL, relfile_related_no char(20) NOT NULL,
  PRIMARY KEY (relfile_file_no, relfile_related_no));
go
CREATE INDEX xxx_relfile_related ON xxx_relfile (relfile_related_no);
go
CREATE TABLE xxx_reldoc (reldoc_doc_no char(20) NOT NULL, reldoc_related_no char(20) NOT NULL,
  PRIMARY KEY (reldoc_doc_no, reldoc_related_no));
go
CREATE INDEX xxx_reldoc_related ON xxx_reldoc (reldoc_related_no);
go
CREATE TABLE xxx_relbox (relbox_box_no char(20) NOT NULL, relbox_related_no char(20) NOT NULL,
  PRIMARY KEY (relbox_box_no, relbox_related_no));
go
CREATE INDEX xxx_relbox_related ON xxx_relbox (relbox_related_no);
go
Print 'Creating the table of record categories'
CREATE TABLE xxx_rcat (rcat_id char(10) NOT NULL PRIMARY KEY, rcat_name char(30), rcat_retention char(10));
go
Print 'Adding the owner of saved filters (STANDARD database only)'
ALTER TABLE std_filter ADD filter_userID char(30);
go
Print 'The 5.0 tables are in place'
