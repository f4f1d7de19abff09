// Encrypts and then decrypts one large file (1 GiB unless a size in MiB is given) and sets
// the times beside md5sum of the same file in the same run. Peak memory is the process's
// resident high-water mark, read after each step.
//
//   crypt_bench [folder] [MiB]
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "CryptBenchSupport.h"
#include "QuietUserInterface.h"
#include "RandomFile.h"
#include "crypt/modCrypt.h"

int main(int argc, char** argv) {
  using bench::CpuSeconds, bench::PeakMiB, bench::PrintLoad, bench::Seconds;
  const std::filesystem::path folder =
      argc > 1 ? std::filesystem::path(argv[1]) : std::filesystem::temp_directory_path();
  const std::uint64_t mib = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 1024;
  const std::filesystem::path work = folder / ("crypt_bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(work);
  const std::string plain = (work / "data.bin").string();

  std::printf("file: %llu MiB in %s\n", static_cast<unsigned long long>(mib), work.c_str());
  PrintLoad("before");
  bench::WriteRandomFile(plain, mib);
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
