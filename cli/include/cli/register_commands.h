#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <vector>

namespace threadgauge {

// threadgauge-cli gauges add|list|show|retire|import|export: the gauge register.
int RunGaugesCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// threadgauge-cli inspect 编号 …: one inspection, decided and recorded.
int RunInspectCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// threadgauge-cli record ID --format pdf --out FILE: the record on paper.
int RunRecordCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// threadgauge-cli register init-server|add-user|set-role|list-users: the register on a
// workshop's server and its people; a new user's password is read from `in`.
int RunRegisterCommand(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                       std::ostream& err);

extern const char* const kGaugesHelp;
extern const char* const kInspectHelp;
extern const char* const kRecordHelp;

}  // namespace threadgauge
