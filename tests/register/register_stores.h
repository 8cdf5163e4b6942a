#pragma once

// The register's suite runs against every store: the user's file and a workshop's server.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "register/gauge_register.h"

namespace threadgauge::testing {

// One register of a store, made empty for the test.
class StoreUnderTest {
 public:
  virtual ~StoreUnderTest() = default;
  // The register, opened again each time as another program or a later session would.
  virtual GaugeRegister Open() = 0;
  // A statement sent past the program by someone with the rights of the store's owner;
  // whether the store kept its effect.
  virtual bool Kept(const std::string& sql) = 0;
  // `sql` run with the guards that keep records unchanged switched off, and back on.
  virtual std::string WithoutGuards(const std::string& sql) const = 0;
  // Another empty register of the same store, for a copy.
  virtual GaugeRegister OpenAnother() = 0;
};

using StoreMaker = std::unique_ptr<StoreUnderTest> (*)();

class RegisterStores : public ::testing::TestWithParam<StoreMaker> {
 protected:
  void SetUp() override { store_ = GetParam()(); }
  std::unique_ptr<StoreUnderTest> store_;
};

// A register that opened, or the test's failure.
GaugeRegister Opened(std::variant<GaugeRegister, RegisterError> opened);

}  // namespace threadgauge::testing
