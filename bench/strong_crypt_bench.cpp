// Strong encryption of one large file (1 GiB unless a size in MiB is given) beside the
// compatible format, `age -p` (its passphrase typed into a pseudo-terminal) and
// `openssl enc -chacha20`, in one run. Each runs in a process of its own, so that its peak
// memory is its own. Key derivation is left out by also timing each on an empty file; the
// derivation alone is timed several times, since other programs may load the machine.
// Needs the Debian packages age and openssl.
//
//   strong_crypt_bench [folder] [MiB]
#include <fcntl.h>
#include <pty.h>
#include <sys/wait.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "CryptBenchSupport.h"
#include "RandomFile.h"
#include "crypt/FileCipher.h"
#include "crypt/StrongCipher.h"

namespace {

constexpr const char* kPassword = "benchmark password";

struct Run {
  double wall = 0;
  double cpu = 0;
  double peakMiB = 0;
  bool ok = false;
};

double Now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

Run Finish(pid_t child, double start) {
  int status = 0;
  rusage usage{};
  Run run;
  run.ok =
      wait4(child, &status, 0, &usage) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
  run.wall = Now() - start;
  const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
  run.cpu = seconds(usage.ru_utime) + seconds(usage.ru_stime);
  run.peakMiB = static_cast<double>(usage.ru_maxrss) / 1024.0;
  return run;
}

template <typename Work>
Run InChild(Work work) {
  const double start = Now();
  const pid_t child = fork();
  if (child == 0) {
    _exit(work() ? 0 : 1);
  }
  return Finish(child, start);
}

Run Program(std::vector<std::string> args) {
  const double start = Now();
  const pid_t child = fork();
  if (child == 0) {
    std::vector<char*> argv;
    for (std::string& word : args) {
      argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    const int quiet = open("/dev/null", O_WRONLY);
    dup2(quiet, STDOUT_FILENO);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  return Finish(child, start);
}

// age asks for the passphrase and its confirmation on the terminal: the child gets a
// pseudo-terminal, and each prompt is answered as it appears.
Run AgeEncrypt(const std::string& in, const std::string& out) {
  const double start = Now();
  int terminal = -1;
  const pid_t child = forkpty(&terminal, nullptr, nullptr, nullptr);
  if (child == 0) {
    execlp("age", "age", "-p", "-o", out.c_str(), in.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  std::string seen;
  std::size_t answered = 0;
  std::array<char, 256> buffer{};
  for (;;) {
    const ssize_t count = read(terminal, buffer.data(), buffer.size());
    if (count <= 0) {
      break;  // the child closed the terminal: it ended
    }
    seen.append(buffer.data(), static_cast<std::size_t>(count));
    std::size_t prompts = 0;
    for (std::size_t at = seen.find("passphrase"); at != std::string::npos;
         at = seen.find("passphrase", at + 1)) {
      ++prompts;
    }
    for (; answered < std::min<std::size_t>(prompts, 2); ++answered) {
      const std::string line = std::string(kPassword) + "\n";
      (void)!write(terminal, line.data(), line.size());
    }
  }
  close(terminal);
  return Finish(child, start);
}

// A plain output file, unsynced like the other programs' outputs, so that all pay the same.
class UnsyncedFile : public hv::StagedFile {
 public:
  explicit UnsyncedFile(const std::string& path)
      : fd_(open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600)) {}
  ~UnsyncedFile() override { close(fd_); }
  bool Write(std::span<const std::byte> data) override {
    return fd_ >= 0 && write(fd_, data.data(), data.size()) == static_cast<ssize_t>(data.size());
  }
  bool Commit() override { return fd_ >= 0; }

 private:
  int fd_;
};

bool EncryptWith(const std::string& in, const std::string& out, const hv::KeyCost* strongCost) {
  const auto input = hv::NativeFileStreams().OpenForReading(in);
  UnsyncedFile output(out);
  if (input == nullptr) {
    return false;
  }
  const hv::StreamOutcome outcome =
      strongCost != nullptr
          ? hv::EncryptStrongStream(*input, output, kPassword, hv::FreshStrongSeed(*strongCost))
          : hv::EncryptStream(*input, output, kPassword);
  return outcome == hv::StreamOutcome::kDone && output.Commit();
}

bool DecryptStrong(const std::string& in) {
  const auto input = hv::NativeFileStreams().OpenForReading(in);
  return input != nullptr &&
         hv::DecryptStrongStream(*input, nullptr, kPassword) == hv::StrongOutcome::kDone;
}

void Report(const char* what, const Run& run) {
  std::printf("%-44s wall %7.2f s   cpu %7.2f s   peak %7.1f MiB%s\n", what, run.wall, run.cpu,
              run.peakMiB, run.ok ? "" : "  FAILED");
}

}  // namespace

int main(int argc, char** argv) {
  const std::filesystem::path folder =
      argc > 1 ? std::filesystem::path(argv[1]) : std::filesystem::temp_directory_path();
  const std::uint64_t mib = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 1024;
  const std::filesystem::path work = folder / ("strong_crypt_bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(work);
  const std::string plain = (work / "data.bin").string();
  const std::string empty = (work / "empty.bin").string();
  const auto out = [&](const char* name) { return (work / name).string(); };

  std::printf("file: %llu MiB in %s\n", static_cast<unsigned long long>(mib), work.c_str());
  bench::PrintLoad("before");
  bench::WriteRandomFile(plain, mib);
  bench::WriteRandomFile(empty, 0);
  // Read once so that every run below starts from the same cache state.
  (void)Program({"cat", plain});

  const hv::KeyCost cost = hv::DefaultKeyCost();
  std::printf("key cost: %u passes, %llu MiB\n", cost.passes,
              static_cast<unsigned long long>(cost.memoryBytes >> 20));
  std::vector<double> derivations;
  for (int i = 0; i < 5; ++i) {
    const Run derive = InChild([&] {
      const hv::StrongHeader header{.cost = cost, .salt = {}, .streamHeader = {}};
      std::array<unsigned char, hv::kStrongKeySize> key{};
      return hv::DeriveStrongKey(kPassword, header, key);
    });
    Report("key derivation alone", derive);
    derivations.push_back(derive.wall);
  }
  std::ranges::sort(derivations);
  std::printf("key derivation: fastest %.2f s, median %.2f s\n", derivations.front(),
              derivations[derivations.size() / 2]);

  const Run strongEmpty = InChild([&] { return EncryptWith(empty, out("empty.strong"), &cost); });
  const Run strong = InChild([&] { return EncryptWith(plain, out("data.strong"), &cost); });
  const hv::KeyCost cheapest{.passes = 1, .memoryBytes = 8192};
  const Run strongCheap =
      InChild([&] { return EncryptWith(plain, out("cheap.strong"), &cheapest); });
  const Run strongBack = InChild([&] { return DecryptStrong(out("data.strong")); });
  const Run compatible = InChild([&] { return EncryptWith(plain, out("data.vlt"), nullptr); });
  const Run ageEmpty = AgeEncrypt(empty, out("empty.age"));
  const Run age = AgeEncrypt(plain, out("data.age"));
  const Run openssl =
      Program({"openssl", "enc", "-chacha20", "-pbkdf2", "-iter", "1", "-pass",
               std::string("pass:") + kPassword, "-in", plain, "-out", out("data.openssl")});

  Report("strong, empty file (derivation)", strongEmpty);
  Report("strong", strong);
  Report("strong, cheapest derivation", strongCheap);
  Report("strong, decrypt (check only)", strongBack);
  Report("compatible", compatible);
  Report("age -p, empty file (derivation)", ageEmpty);
  Report("age -p", age);
  Report("openssl enc -chacha20", openssl);
  const double strongStream = strong.wall - strongEmpty.wall;
  const double ageStream = age.wall - ageEmpty.wall;
  std::printf(
      "without derivation: strong %.2f s, age %.2f s (strong = %.2f x age), "
      "strong with cheapest derivation %.2f s, compatible %.2f s, openssl %.2f s\n",
      strongStream, ageStream, strongStream / ageStream, strongCheap.wall, compatible.wall,
      openssl.wall);
  // Processor times do not grow when other programs load the machine, as wall times do.
  const double strongCpu = strong.cpu - strongEmpty.cpu;
  const double ageCpu = age.cpu - ageEmpty.cpu;
  std::printf(
      "cpu without derivation: strong %.2f s, age %.2f s (strong = %.2f x age), "
      "strong with cheapest derivation %.2f s, compatible %.2f s, openssl %.2f s\n",
      strongCpu, ageCpu, strongCpu / ageCpu, strongCheap.cpu, compatible.cpu, openssl.cpu);
  std::printf("strong peak beyond the derivation's %llu MiB: %.1f MiB\n",
              static_cast<unsigned long long>(cost.memoryBytes >> 20),
              strong.peakMiB - static_cast<double>(cost.memoryBytes >> 20));
  bench::PrintLoad("after");
  std::filesystem::remove_all(work);
  const bool ok = strongEmpty.ok && strong.ok && strongCheap.ok && strongBack.ok && compatible.ok &&
                  ageEmpty.ok && age.ok;
  return ok ? 0 : 1;
}
