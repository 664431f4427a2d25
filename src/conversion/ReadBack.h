// What a converted database must show, taken before its first step and checked after its
// steps and again after its commit, so that "completed" is only ever said of a database that
// reads back as converted.
//
// Before the steps: the records of each record file that the conversion scans whole (SACT,
// VERS, COMP) are counted, and the letter files still under their 4.0 names are listed with
// the 5.0 name each must receive. A scan rewrites records but never adds or removes one, so a
// count that differs afterwards means records were lost or invented.
//
// Both checks need the database selected for the record library, as convertdb leaves it.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace filomar {

struct ReadBackPlan {
  std::vector<std::pair<short, long>> recordCounts;      // file number, records
  std::vector<std::pair<std::string, std::string>> letterRenames;  // full old path, full new path
};

// Counts and lists as described above. A record file that cannot be counted is given -1, and
// the checks then report it.
ReadBackPlan PlanReadBack();

// Inside the database transaction, before the commit: the version record reads "500A", every
// scanned record file holds as many records as before, and no planned letter rename will be
// refused by something in the way of its new name (a directory of that name). "" when all
// holds, else why not, naming the record file or letter file.
std::string CheckBeforeCommit(const ReadBackPlan& plan);

// After the commit, as the store and the data directory now hold it: the version record reads
// "500A", the record counts are as before, and every planned letter file exists under its new
// name (a regular file) and no longer under its old one. "" when all holds, else why not.
std::string CheckAfterCommit(const ReadBackPlan& plan);

}  // namespace filomar
