// What following a long file operation costs: encrypting and decrypting, then wiping, one
// large file (1 GiB unless a size in MiB is given), each side by side without progress and
// with the progress the window uses, read by a second thread as often as the window reads
// it. Runs alternate so that a change in the machine's load falls on both alike.
//
//   progress_bench [folder] [MiB] [rounds]
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "QuietUserInterface.h"
#include "RandomFile.h"
#include "crypt/modCrypt.h"
#include "fileio/BatchProgress.h"
#include "fileio/WipeFiles.h"

namespace {

constexpr auto kWindowRefresh = std::chrono::milliseconds(100);

// Processor seconds (user and system) of the whole process so far: unlike the wall time,
// they hardly grow when other programs load the machine.
double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

struct Times {
  double wall;
  double cpu;
};

// Runs work with progress that nobody follows, or with a batch progress that another
// thread reads every refresh, as the progress window does.
template <typename Work>
Times Timed(bool followed, const std::string& path, Work&& work) {
  hv::BatchProgress batch(hv::MeasureFiles({path}, hv::NativeFileSystem()));
  std::atomic<bool> finished = false;
  std::thread reader;
  if (followed) {
    reader = std::thread([&] {
      while (!finished) {
        (void)batch.Current();
        std::this_thread::sleep_for(kWindowRefresh);
      }
    });
  }
  const double cpuBefore = CpuSeconds();
  const auto start = std::chrono::steady_clock::now();
  work(followed ? static_cast<hv::WorkProgress&>(batch) : hv::NoProgress());
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  finished = true;
  if (reader.joinable()) {
    reader.join();
  }
  return {seconds, CpuSeconds() - cpuBefore};
}

// The best of each side: the least disturbed by the rest of the machine.
double Best(const std::vector<Times>& runs, double Times::*which) {
  double best = runs.front().*which;
  for (const Times& run : runs) {
    best = std::min(best, run.*which);
  }
  return best;
}

void Report(const char* what, const std::vector<Times>& without, const std::vector<Times>& with) {
  for (const auto& [unit, which] :
       {std::pair{"wall", &Times::wall}, std::pair{"cpu", &Times::cpu}}) {
    const double bare = Best(without, which);
    const double followed = Best(with, which);
    std::printf("%-18s %-4s without %7.2f s   with %7.2f s   cost %+6.2f %%\n", what, unit, bare,
                followed, (followed / bare - 1.0) * 100.0);
  }
}

// The progress calls one operation makes over bytes, alone, in pieces of the size it
// reports: what following it costs beyond the timings above, which the machine's load
// blurs by more than that.
double CallsAlone(std::uint64_t bytes, std::uint64_t piece, int files) {
  hv::BatchProgress batch({{"file", bytes}});
  const auto start = std::chrono::steady_clock::now();
  for (int file = 0; file < files; ++file) {
    batch.BeginFile("file");
    for (std::uint64_t done = 0; done < bytes && !batch.StopRequested(); done += piece) {
      batch.Advance(piece);
    }
    batch.EndFile(true);
  }
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void ReportCalls(const char* what, double calls, const std::vector<Times>& without) {
  std::printf("%-18s progress calls alone %8.3f ms = %.4f %% of the run without\n", what,
              calls * 1e3, calls / Best(without, &Times::wall) * 100.0);
}

}  // namespace

int main(int argc, char** argv) {
  const std::filesystem::path folder =
      argc > 1 ? std::filesystem::path(argv[1]) : std::filesystem::temp_directory_path();
  const std::uint64_t mib = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 1024;
  const int rounds = argc > 3 ? std::atoi(argv[3]) : 3;
  const std::filesystem::path work = folder / ("progress_bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(work);
  const std::string plain = (work / "data.bin").string();
  std::printf("file: %llu MiB in %s, %d rounds\n", static_cast<unsigned long long>(mib),
              work.c_str(), rounds);

  bench::QuietUserInterface ui;
  bool allDone = true;
  std::vector<Times> cryptWithout, cryptWith, wipeWithout, wipeWith;
  bench::WriteRandomFile(plain, mib);
  for (int round = 0; round < rounds; ++round) {
    for (const bool followed : {round % 2 == 0, round % 2 != 0}) {
      (followed ? cryptWith : cryptWithout)
          .push_back(Timed(followed, plain, [&](hv::WorkProgress& progress) {
            hv::CryptContext context{.ui = ui, .progress = progress};
            std::string password = "benchmark password";
            allDone &= hv::EncryptFile(context, plain, password, false);
            allDone &= hv::DecryptFile(context, plain + ".vlt", password, false);
          }));
    }
  }
  for (int round = 0; round < rounds; ++round) {
    for (const bool followed : {round % 2 == 0, round % 2 != 0}) {
      bench::WriteRandomFile(plain, mib);
      (followed ? wipeWith : wipeWithout)
          .push_back(Timed(followed, plain, [&](hv::WorkProgress& progress) {
            allDone &= hv::WipeFiles({plain}, hv::NativeFileSystem(), progress).wiped == 1;
          }));
    }
  }
  Report("encrypt + decrypt", cryptWithout, cryptWith);
  Report("wipe", wipeWithout, wipeWith);
  // Encryption and decryption report each piece they read (128 KiB), the wipe each write
  // it hands over (1 MiB).
  const std::uint64_t bytes = mib << 20;
  ReportCalls("encrypt + decrypt", CallsAlone(bytes, 128 << 10, 2), cryptWithout);
  ReportCalls("wipe", CallsAlone(bytes, 1 << 20, 1), wipeWithout);
  std::filesystem::remove_all(work);
  if (!allDone) {
    std::fprintf(stderr, "an operation failed\n");
  }
  return allDone ? 0 : 1;
}
