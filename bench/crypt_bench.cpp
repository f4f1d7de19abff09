// Encrypts and then decrypts one large file (1 GiB unless a size in MiB is given) and sets
// the times beside md5sum of the same file in the same run. Peak memory is the process's
// resident high-water mark, read after each step.
//
//   crypt_bench [folder] [MiB]
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "QuietUserInterface.h"
#include "crypt/modCrypt.h"

namespace {

double PeakMiB(int who) {
  rusage usage{};
  getrusage(who, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

// Processor seconds (user and system) used so far by the process or by its ended children:
// unlike the wall time, this does not grow when other programs load the machine.
double CpuSeconds(int who) {
  rusage usage{};
  getrusage(who, &usage);
  const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Wall times mean little on a loaded machine: the load average is printed beside them.
void PrintLoad(const char* when) {
  std::ifstream loadavg("/proc/loadavg");
  std::string one, five, fifteen;
  loadavg >> one >> five >> fifteen;
  std::printf("load average %s: %s %s %s\n", when, one.c_str(), five.c_str(), fifteen.c_str());
}

template <typename Work>
double Seconds(Work&& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void WriteRandomFile(const std::string& path, std::uint64_t mib) {
  std::mt19937_64 generator(42);
  std::vector<std::uint64_t> block(1 << 17);  // 1 MiB
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  for (std::uint64_t i = 0; i < mib; ++i) {
    for (auto& word : block) {
      word = generator();
    }
    out.write(reinterpret_cast<const char*>(block.data()),
              static_cast<std::streamsize>(block.size() * sizeof block[0]));
  }
  out.close();
  // On the disk before any timing, so that no step pays for writing it back.
  const int fd = open(path.c_str(), O_RDONLY);
  fsync(fd);
  close(fd);
}

}  // namespace

int main(int argc, char** argv) {
  const std::filesystem::path folder =
      argc > 1 ? std::filesystem::path(argv[1]) : std::filesystem::temp_directory_path();
  const std::uint64_t mib = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 1024;
  const std::filesystem::path work = folder / ("crypt_bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(work);
  const std::string plain = (work / "data.bin").string();

  std::printf("file: %llu MiB in %s\n", static_cast<unsigned long long>(mib), work.c_str());
  PrintLoad("before");
  WriteRandomFile(plain, mib);
  std::printf("%-28s %8.1f MiB\n", "peak after writing the file", PeakMiB(RUSAGE_SELF));

  // Read once so that every step below starts from the same cache state.
  const std::string md5Command = "md5sum '" + plain + "' > /dev/null";
  const double md5 = Seconds([&] { (void)std::system(md5Command.c_str()); });
  const double md5Cpu = CpuSeconds(RUSAGE_CHILDREN);
  const double md5Again = Seconds([&] { (void)std::system(md5Command.c_str()); });
  const double md5AgainCpu = CpuSeconds(RUSAGE_CHILDREN) - md5Cpu;

  bench::QuietUserInterface ui;
  hv::CryptContext context{ui};
  std::string password = "benchmark password";
  bool encrypted = false, decrypted = false;
  const double cpuBefore = CpuSeconds(RUSAGE_SELF);
  const double encrypt =
      Seconds([&] { encrypted = hv::EncryptFile(context, plain, password, false); });
  const double encryptCpu = CpuSeconds(RUSAGE_SELF) - cpuBefore;
  const double encryptPeak = PeakMiB(RUSAGE_SELF);
  const double decrypt =
      Seconds([&] { decrypted = hv::DecryptFile(context, plain + ".vlt", password, false); });
  const double decryptCpu = CpuSeconds(RUSAGE_SELF) - cpuBefore - encryptCpu;
  const double decryptPeak = PeakMiB(RUSAGE_SELF);

  std::printf("%-12s wall %7.2f s (first run %.2f s)   cpu %7.2f s   peak %6.1f MiB\n", "md5sum",
              md5Again, md5, md5AgainCpu, PeakMiB(RUSAGE_CHILDREN));
  const auto report = [&](const char* what, double wall, double cpu, double peak, bool ok) {
    std::printf(
        "%-12s wall %7.2f s = %4.2f x md5sum   cpu %7.2f s = %4.2f x md5sum   peak "
        "%6.1f MiB%s\n",
        what, wall, wall / md5Again, cpu, cpu / md5AgainCpu, peak, ok ? "" : "  FAILED");
  };
  report("EncryptFile", encrypt, encryptCpu, encryptPeak, encrypted);
  report("DecryptFile", decrypt, decryptCpu, decryptPeak, decrypted);
  PrintLoad("after");
  std::filesystem::remove_all(work);
  return encrypted && decrypted ? 0 : 1;
}
