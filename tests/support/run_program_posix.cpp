// Starting a program as a user does, on POSIX systems: posix_spawn.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <map>

#include "platform/utf8.h"
#include "support/fixture_database.h"
#include "support/run_program.h"

extern char** environ;

namespace threadgauge {

ProgramRun RunProgram(
    const std::vector<std::string>& argv,
    const std::vector<std::pair<std::string, std::optional<std::string>>>& environment) {
  testing::TemporaryFolder folder;
  const std::string out_path = Utf8((folder.path() / "out"));
  const std::string err_path = Utf8((folder.path() / "err"));

  std::map<std::string, std::string> variables;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const char* eq = std::strchr(*entry, '=');
    if (eq != nullptr) variables[std::string(*entry, static_cast<size_t>(eq - *entry))] = eq + 1;
  }
  for (const auto& [name, value] : environment) {
    if (value) {
      variables[name] = *value;
    } else {
      variables.erase(name);
    }
  }
  std::vector<std::string> env_text;
  for (const auto& [name, value] : variables) env_text.push_back(name + "=" + value);
  std::vector<char*> env_pointers;
  for (std::string& text : env_text) env_pointers.push_back(text.data());
  env_pointers.push_back(nullptr);
  std::vector<std::string> arguments = argv;
  std::vector<char*> arg_pointers;
  for (std::string& text : arguments) arg_pointers.push_back(text.data());
  arg_pointers.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, out_path.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, err_path.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0600);
  pid_t pid = 0;
  const int started = posix_spawnp(&pid, arg_pointers[0], &actions, nullptr, arg_pointers.data(),
                                   env_pointers.data());
  posix_spawn_file_actions_destroy(&actions);
  ProgramRun run;
  if (started != 0) return run;
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
  }
  run.exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.out = testing::ReadBytes(out_path);
  run.err = testing::ReadBytes(err_path);
  return run;
}

RunningProgram::RunningProgram(const std::vector<std::string>& argv) {
  std::vector<std::string> arguments = argv;
  std::vector<char*> pointers;
  for (std::string& text : arguments) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  started_ = posix_spawnp(&pid, pointers[0], &actions, nullptr, pointers.data(), environ) == 0;
  posix_spawn_file_actions_destroy(&actions);
  handle_ = pid;
  id_ = static_cast<std::uint64_t>(pid);
}

bool RunningProgram::Kill() {
  if (!started_ || ended_) return false;
  kill(static_cast<pid_t>(handle_), SIGKILL);
  int status = 0;
  while (waitpid(static_cast<pid_t>(handle_), &status, 0) < 0) {
  }
  ended_ = true;
  return WIFSIGNALED(status);
}

RunningProgram::~RunningProgram() { Kill(); }

ReadOnlyFolder::ReadOnlyFolder(std::string path) : path_(std::move(path)) {
  if (geteuid() != 0) {
    chmod(path_.c_str(), 0555);
    return;
  }
  const ProgramRun run = RunProgram({"chattr", "+i", path_});
  immutable_ = run.exit == 0;
  EXPECT_TRUE(immutable_) << "cannot make " << path_ << " read-only: " << run.err;
}

ReadOnlyFolder::~ReadOnlyFolder() {
  if (immutable_) {
    RunProgram({"chattr", "-i", path_});
  } else {
    chmod(path_.c_str(), 0755);
  }
}

void SetEnvironment(const std::string& name, const std::optional<std::string>& value) {
  if (value) {
    setenv(name.c_str(), value->c_str(), 1);
  } else {
    unsetenv(name.c_str());
  }
}

}  // namespace threadgauge
