#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <string>
#include <vector>

extern char** environ;

namespace bench {

// Runs a program with args, its output to /dev/null, and returns its wall-clock time in
// milliseconds, or a negative number when it did not end with status 0 (or 1, when
// allowed: "something was left").
inline double TimedRun(const std::vector<std::string>& args, bool leftAllowed = false) {
  std::vector<std::string> words = args;
  std::vector<char*> argv;
  for (std::string& word : words) {
    argv.push_back(word.data());
  }
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  const auto start = std::chrono::steady_clock::now();
  pid_t child = 0;
  const int spawned = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ);
  int status = 0;
  if (spawned == 0) {
    waitpid(child, &status, 0);
  }
  const std::chrono::duration<double, std::milli> elapsed =
      std::chrono::steady_clock::now() - start;
  posix_spawn_file_actions_destroy(&actions);
  const bool ok = spawned == 0 && WIFEXITED(status) &&
                  (WEXITSTATUS(status) == 0 || (leftAllowed && WEXITSTATUS(status) == 1));
  return ok ? elapsed.count() : -1;
}

}  // namespace bench
