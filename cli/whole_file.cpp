#include "cli/whole_file.h"

#include "platform/utf8.h"
#include "tables/database_files.h"
#include "words/message_words.h"

namespace threadgauge {

std::optional<std::string> WriteWhole(
    const std::filesystem::path& file,
    const std::function<std::optional<std::string>(const std::filesystem::path&)>& write) {
  const std::filesystem::path temporary = TemporaryBeside(file);
  if (auto error = write(temporary)) {
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
    return error;
  }
  std::error_code ec;
  std::filesystem::rename(temporary, file, ec);
  if (!ec) return std::nullopt;
  std::filesystem::remove(temporary, ec);
  return Say({MessageCode::FileUnwritableBecause, {Utf8(file)}, {FileErrorReason(ec)}});
}

}  // namespace threadgauge
