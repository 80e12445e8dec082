// Material master conversions against `cat` on the same bytes and disk.
// Usage: bench_master_conversion [MEGABYTES] (default 200).
// Half of the data is ten files in "1\", half one large file in "21\", so
// the peak memory shows whether it depends on the size of a file.

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <random>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "bench/bench_data.hpp"
#include "engine/master_conversion.hpp"
#include "platform/drive_table.hpp"
#include "platform/posix/file_system.hpp"

namespace fs = std::filesystem;

namespace {

constexpr int kRounds = 5;
using bench::kMegabyte;

void WriteMasters(const fs::path& root, std::size_t totalBytes) {
  bench::RecordMaker maker;
  fs::create_directories(root / "M" / "1");
  fs::create_directories(root / "M" / "21");
  const std::size_t half = totalBytes / 2;
  for (int i = 1; i <= 10; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "zai%03d-3.mst", i);
    bench::WriteMaster(maker, root / "M" / "1" / name, half / 10);
  }
  bench::WriteMaster(maker, root / "M" / "21" / "ZAI100-3.MST", half);
  std::ofstream(root / "velsor1.ini", std::ios::binary) << "[DIR]\r\nMASTER=C:\\M\\\r\n";
}

double Seconds(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The best of a few rounds, each timing every task once: on a shared machine
// the best round is the least disturbed, and a disturbance hits all tasks.
std::vector<double> BestOfRounds(const std::vector<std::function<void()>>& tasks) {
  std::vector<double> best(tasks.size(), std::numeric_limits<double>::max());
  for (int round = 0; round < kRounds; ++round) {
    for (std::size_t i = 0; i < tasks.size(); ++i) best[i] = std::min(best[i], Seconds(tasks[i]));
  }
  return best;
}

void Shell(const std::string& command) {
  if (std::system(command.c_str()) != 0) throw std::runtime_error("failed: " + command);
}

// `cat` of every master into a copy beside the masters. cat copies inside
// the kernel where it can (copy_file_range) and flushes nothing; with `sync`
// the copies are also put on the disk, as a conversion must put each file
// there before renaming it over its master.
std::string CatCommand(const fs::path& root, bool sync) {
  const std::string masters = "'" + root.string() + "'/M/1/* '" + root.string() + "'/M/21/*";
  const std::string copies = "'" + root.string() + "'/copies";
  std::string command = "rm -rf " + copies + " && mkdir " + copies + " && for f in " + masters +
                        "; do cat \"$f\" > " + copies + "/\"$(basename \"$f\")\"; done";
  if (sync) command += " && sync " + copies + "/*";
  return command;
}

long PeakResidentKilobytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

int Run(std::size_t megabytes) {
  const fs::path root = fs::temp_directory_path() / ("tovrin-bench-" + std::to_string(getpid()));
  fs::create_directories(root);
  WriteMasters(root, megabytes * kMegabyte);

  tovrin::DriveTable drives;
  drives.Map('C', root, tovrin::DRIVE_FIXED);
  tovrin::PosixFileSystem files(std::move(drives));
  int sizeResult = 1;
  int typeResult = 1;
  const auto times = BestOfRounds({
      [&] { Shell(CatCommand(root, false)); },
      [&] { Shell(CatCommand(root, true)); },
      [&] { sizeResult &= tovrin::ConvertMaterialSize(files, "C:\\velsor1.ini"); },
      [&] { typeResult &= tovrin::ConvertMaterialType(files, "C:\\velsor1.ini"); },
  });
  const double cat = times[0];
  const double catSync = times[1];
  const double size = times[2];
  const double type = times[3];
  fs::remove_all(root);

  std::printf("data:                      %zu MB in 11 master files\n", megabytes);
  std::printf("cat:                       %.3f s\n", cat);
  std::printf("cat + sync:                %.3f s\n", catSync);
  std::printf("size conversion:           %.3f s  (conversion / cat %.2f, / cat + sync %.2f)\n",
              size, size / cat, size / catSync);
  std::printf("type conversion:           %.3f s  (conversion / cat %.2f, / cat + sync %.2f)\n",
              type, type / cat, type / catSync);
  const double peakMegabytes = static_cast<double>(PeakResidentKilobytes()) / 1024.0;
  std::printf("peak resident memory:      %.1f MB\n", peakMegabytes);
  std::printf("targets:                   size conversion <= 1.5 x cat %s, peak < 32 MB %s\n",
              size <= 1.5 * cat ? "met" : "MISSED", peakMegabytes < 32 ? "met" : "MISSED");
  if (sizeResult != 1 || typeResult != 1) {
    std::fprintf(stderr, "a conversion failed\n");
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::size_t megabytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 200;
  try {
    return Run(megabytes == 0 ? 200 : megabytes);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "bench_master_conversion: %s\n", error.what());
    return 1;
  }
}
