// The step routines that convertdb calls for one database, behind one interface so that the
// sequence can be run with other routines (tests record the calls). ProductSteps are the
// product's own routines (conversion/steps/).
//
// When a step runs, the record library's current database is the one being converted; steps
// that talk to the server open their own connection and write their server errors to the log.
#pragma once

#include <string>

#include "conversion/ConversionLog.h"

namespace filomar {

class ConversionSteps {
 public:
  virtual ~ConversionSteps() = default;
  virtual void UpdateTablesSQL5(const std::string& dbName, const std::string& prefix) = 0;
  virtual void UpdateTablesORACLE5(const std::string& dbName, const std::string& prefix) = 0;
  virtual void CreateOracleLockProcedures() = 0;
  virtual void UpdateOraclePrivs() = 0;
  virtual void UpdateCONF() = 0;
  // The results of the two letter steps are not used by the sequence.
  virtual void renameLetters() = 0;
  virtual void convertLettersInDB() = 0;
  virtual void ConvertCodes() = 0;
  virtual void ConvertSact() = 0;
  virtual void ConvertFilters() = 0;
  virtual void ConvertVers() = 0;
  virtual void ConvertComp() = 0;
};

// The product's routines, writing to `log`.
class ProductSteps : public ConversionSteps {
 public:
  explicit ProductSteps(ConversionLog& log) : log_(log) {}

  void UpdateTablesSQL5(const std::string& dbName, const std::string& prefix) override;
  void UpdateTablesORACLE5(const std::string& dbName, const std::string& prefix) override;
  void CreateOracleLockProcedures() override;
  void UpdateOraclePrivs() override;
  void UpdateCONF() override;
  void renameLetters() override;
  void convertLettersInDB() override;
  void ConvertCodes() override;
  void ConvertSact() override;
  void ConvertFilters() override;
  void ConvertVers() override;
  void ConvertComp() override;

 private:
  ConversionLog& log_;
};

}  // namespace filomar
