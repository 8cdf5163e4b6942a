// The register's suite against a workshop's server, and what only a server promises: who
// did it, two people at once, a client killed or cut off half-way.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <regex>
#include <set>

#include "register/server_people.h"
#include "register/server_register.h"
#include "register_stores.h"
#include "support/test_server.h"
#include "words/message_words.h"

namespace threadgauge::testing {
namespace {

class ServerUnderTest : public StoreUnderTest {
 public:
  ServerUnderTest() : database_(FreshServerRegister("store")) {}
  GaugeRegister Open() override { return Opened(OpenServerRegister(OwnerUri(database_))); }
  bool Kept(const std::string& sql) override {
    return std::holds_alternative<PgResult>(Connected(OwnerUri(database_)).ExecScript(sql));
  }
  std::string WithoutGuards(const std::string& sql) const override {
    return "ALTER TABLE readings DISABLE TRIGGER readings_fixed; " + sql +
           "; ALTER TABLE readings ENABLE TRIGGER readings_fixed";
  }
  GaugeRegister OpenAnother() override {
    return Opened(OpenServerRegister(OwnerUri(FreshServerRegister("another"))));
  }

 private:
  std::string database_;
};

std::unique_ptr<StoreUnderTest> MakeServer() { return std::make_unique<ServerUnderTest>(); }

INSTANTIATE_TEST_SUITE_P(Server, RegisterStores, ::testing::Values(&MakeServer));

}  // namespace
}  // namespace threadgauge::testing
