#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace threadgauge {

// A program run as a separate process, as a user runs it.
struct ProgramRun {
  int exit = -1;  // -1 when it could not be started or did not end normally
  std::string out;
  std::string err;
};

// Runs `argv` (the program first, found on PATH) with no shell in between, each argument
// passed as it is. `environment` sets (or, for nothing, removes) variables for the child.
ProgramRun RunProgram(
    const std::vector<std::string>& argv,
    const std::vector<std::pair<std::string, std::optional<std::string>>>& environment = {});

// A program started and not waited for, its output thrown away: ended at once, as a power
// cut or the task manager ends it.
class RunningProgram {
 public:
  explicit RunningProgram(const std::vector<std::string>& argv);
  ~RunningProgram();
  RunningProgram(const RunningProgram&) = delete;
  RunningProgram& operator=(const RunningProgram&) = delete;
  bool started() const { return started_; }
  // Ends it without warning and waits for it; true when it was killed, false when it had
  // ended by itself before.
  bool Kill();
  // The system's number for the process.
  std::uint64_t id() const { return id_; }

 private:
  bool started_ = false;
  std::uint64_t id_ = 0;
  bool ended_ = false;
  std::intptr_t handle_ = 0;  // the process id, or on Windows its handle
};

// A folder (or a file) that no one may write into while the object lives, root included (root
// writes anywhere the permissions forbid, so then the folder is made immutable with chattr).
class ReadOnlyFolder {
 public:
  explicit ReadOnlyFolder(std::string path);
  ~ReadOnlyFolder();
  ReadOnlyFolder(const ReadOnlyFolder&) = delete;
  ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

 private:
  std::string path_;
  bool immutable_ = false;
};

// Sets (or, for nothing, removes) an environment variable of this process.
void SetEnvironment(const std::string& name, const std::optional<std::string>& value);

}  // namespace threadgauge
