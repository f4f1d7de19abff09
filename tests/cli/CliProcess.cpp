#include "CliProcess.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <stdexcept>

#include "TempFolder.h"

namespace hv::test {
namespace {

// A pipe whose reading end already holds text (small enough for the pipe's buffer), its
// writing end closed, so that the reader meets the end after it.
int PipeHolding(const std::string& text) {
  int ends[2];
  if (pipe(ends) != 0 ||
      write(ends[1], text.data(), text.size()) != static_cast<ssize_t>(text.size())) {
    throw std::runtime_error("pipe for the command line");
  }
  close(ends[1]);
  return ends[0];
}

}  // namespace

CliResult RunCli(const std::filesystem::path& folder, const std::vector<std::string>& args,
                 const std::string& input, const std::string& descriptor3) {
  const TempFolder capture;
  const std::filesystem::path outPath = capture / "out";
  const std::filesystem::path errPath = capture / "err";
  const int inFd = PipeHolding(input);
  const int fd3 = PipeHolding(descriptor3);

  std::vector<std::string> words{HUSHVAULT_CLI};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& word : words) {
    argv.push_back(word.data());
  }
  argv.push_back(nullptr);

  const pid_t child = fork();
  if (child == 0) {
    const int outFd = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int errFd = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(inFd, 0);
    dup2(outFd, 1);
    dup2(errFd, 2);
    if (fd3 != 3) {
      dup2(fd3, 3);
    }
    if (chdir(folder.c_str()) != 0) {
      _exit(126);
    }
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(inFd);
  close(fd3);
  int wait = 0;
  waitpid(child, &wait, 0);
  CliResult result;
  result.status = WIFEXITED(wait) ? WEXITSTATUS(wait) : -1;
  result.out = ReadFile(outPath);
  result.err = ReadFile(errPath);
  return result;
}

}  // namespace hv::test
