create table a (x int)
GO
go

create index i on a(x)
  go
last