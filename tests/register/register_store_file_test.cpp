// The register's suite against the user's file.
#include "register_stores.h"
#include "support/fixture_database.h"

namespace threadgauge::testing {
namespace {

class FileUnderTest : public StoreUnderTest {
 public:
  GaugeRegister Open() override { return Opened(GaugeRegister::Open(folder_.path() / "r.db")); }
  bool Kept(const std::string& sql) override {
    return TryExecSql(folder_.path() / "r.db", sql) == 0;
  }
  std::string WithoutGuards(const std::string& sql) const override {
    return "DROP TRIGGER readings_fixed; " + sql +
           "; CREATE TRIGGER readings_fixed BEFORE UPDATE ON readings BEGIN "
           "SELECT RAISE(ABORT, '检定记录不可修改'); END";
  }
  GaugeRegister OpenAnother() override {
    return Opened(GaugeRegister::Open(folder_.path() / "another.db"));
  }

 private:
  TemporaryFolder folder_;
};

std::unique_ptr<StoreUnderTest> MakeFile() { return std::make_unique<FileUnderTest>(); }

INSTANTIATE_TEST_SUITE_P(File, RegisterStores, ::testing::Values(&MakeFile));

}  // namespace
}  // namespace threadgauge::testing
