// Primary keys of the record files.
//
// The primary key (key number 0) of a record is the first KeyLength(code) bytes of its
// 1536-byte buffer; records order by plain byte comparison of those bytes (memcmp).
//
//   CONF 3    CODE 11   UID 30    UDB 40    DB 10     SACT 14   CAL 2     STOP 20
//   VERS 40   COMP 40   MATR 10   FILT 40   WORD 30   THES 30   PHRA 30
//   every other file code of the file table: 20
#pragma once

namespace reclib {

// The key length of a blank-padded 4-byte file code ("PL  "), or 0 when the code is not one
// of the product's file codes (or is null).
short KeyLength(const char code[4]);

}  // namespace reclib
