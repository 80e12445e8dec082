// What the journal costs: the sample update (its medium with a 50 MB help
// archive made with lha, its product with 200 MB of masters to convert),
// run with and without the journal, best and median of seven interleaved
// runs each. Target: at most 5 % more time, and no file data copied on one
// file system (every kept old file is the old file itself, by hard link).
// Usage: bench_journal [MASTER_MEGABYTES] (default 200).

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "description/update_description.hpp"
#include "engine/observed_file_system.hpp"
#include "engine/update_run.hpp"
#include "archive/lzh_archive_library.hpp"
#include "platform/drive_table.hpp"
#include "platform/posix/file_system.hpp"
#include "platform/posix/journal_files.hpp"
#include "platform/program_directory.hpp"
#include "platform/registry.hpp"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr std::size_t kMegabyte = 1024 * 1024;
constexpr std::size_t kArchiveData = 50 * kMegabyte;
constexpr int kRounds = 7;

class SilentUserInterface : public tovrin::UserInterface {
 public:
  int MessageBox(tovrin::WindowHandle, const std::string&, const std::string&, unsigned) override {
    return tovrin::IDOK;
  }
  void BeginWaitCursor() override {}
  void EndWaitCursor() override {}
};

// Counts the old files kept by a whole copy instead of a link.
class CountingJournalFiles : public tovrin::PosixJournalFiles {
 public:
  bool CopyWhole(const fs::path& file, const fs::path& kept) override {
    ++copies;
    return PosixJournalFiles::CopyWhole(file, kept);
  }
  int copies = 0;
};

// The help pages: words of made-up text, compressible like real pages.
bool MakeHelpArchive(const fs::path& medium, const fs::path& work) {
  std::mt19937 random(14);
  std::string page;
  fs::create_directories(work / "help");
  for (int file = 0; file < 50; ++file) {
    page.clear();
    while (page.size() < kArchiveData / 50) {
      const int length = 2 + static_cast<int>(random() % 9);
      for (int i = 0; i < length; ++i) page += static_cast<char>('a' + random() % 26);
      page += random() % 12 == 0 ? "\r\n" : " ";
    }
    std::ofstream(work / "help" / ("page" + std::to_string(file) + ".htm"), std::ios::binary)
        << page;
  }
  fs::remove(medium / "HELP.lzh");
  const std::string command = "cd '" + (work / "help").string() + "' && lha aq7 '" +
                              (medium / "HELP.lzh").string() + "' *.htm > /dev/null 2>&1";
  return std::system(command.c_str()) == 0 && fs::exists(medium / "HELP.lzh");
}

// Every sample master repeated until the masters hold `bytes` together.
void GrowMasters(const fs::path& product, std::size_t bytes) {
  std::vector<fs::path> masters;
  for (const auto& entry : fs::recursive_directory_iterator(product)) {
    if (entry.path().extension() == ".mst") masters.push_back(entry.path());
  }
  for (const fs::path& master : masters) {
    std::ifstream in(master, std::ios::binary);
    const std::string records((std::istreambuf_iterator<char>(in)),
                              std::istreambuf_iterator<char>());
    std::ofstream out(master, std::ios::binary | std::ios::trunc);
    for (std::size_t written = 0; written < bytes / masters.size(); written += records.size()) {
      out << records;
    }
  }
}

std::uintmax_t DiskBytes(const fs::path& folder) {
  std::uintmax_t bytes = 0;
  std::set<ino_t> seen;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    struct stat status {};
    if (::lstat(entry.path().c_str(), &status) == 0 && seen.insert(status.st_ino).second) {
      bytes += static_cast<std::uintmax_t>(status.st_blocks) * 512;
    }
  }
  return bytes;
}

struct Timing {
  double seconds = 0;
  double processorSeconds = 0;  // steadier than the wall clock on a shared machine
  bool applied = false;
};

double ProcessorSeconds() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  const auto seconds = [](const timeval& time) {
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
  };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

Timing RunUpdate(const fs::path& root, bool journal, CountingJournalFiles& store) {
  fs::remove_all(root / "c");
  fs::copy(root / "pristine", root / "c", fs::copy_options::recursive);
  tovrin::DriveTable drives;
  drives.Map('A', root / "medium", tovrin::DRIVE_FIXED);
  drives.Map('C', root / "c", tovrin::DRIVE_FIXED);
  tovrin::PosixFileSystem host(drives, root / "c" / "windows");
  tovrin::ObservedFileSystem observed(host);
  tovrin::FileSystem& files = journal ? static_cast<tovrin::FileSystem&>(observed) : host;
  tovrin::Registry registry;
  SilentUserInterface ui;
  tovrin::Platform platform{files, registry, ui, "A:\\"};
  tovrin::LzhArchiveLibrary archives(files);
  tovrin::UpdateDescription description;
  tovrin::ReadInfoFile(files, "A:\\info.txt", description);
  // The fresh copy's dirty pages would otherwise be written during the run.
  ::sync();

  const auto start = Clock::now();
  const double processorStart = ProcessorSeconds();
  tovrin::UpdateRun run(description, platform, archives, nullptr);
  if (journal) {
    run.ObserveChangesThrough(observed);
    run.KeepJournalWith(store);
  }
  run.RunUpdate();
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  return {seconds, ProcessorSeconds() - processorStart,
          run.Outcome() == tovrin::UpdateOutcome::Applied};
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const std::size_t masterBytes = (argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 200) * kMegabyte;
  char pattern[] = "/var/tmp/tovrin-bench-journal-XXXXXX";
  if (::mkdtemp(pattern) == nullptr) return 1;
  const fs::path root = pattern;
  const fs::path examples = fs::path(TOVRIN_SOURCE_DIR) / "examples";
  fs::copy(examples / "medium", root / "medium", fs::copy_options::recursive);
  fs::copy(examples / "product" / "drive_c", root / "pristine", fs::copy_options::recursive);
  fs::create_directories(root / "pristine" / "windows");
  GrowMasters(root / "pristine", masterBytes);
  if (!MakeHelpArchive(root / "medium", root / "work")) {
    std::fprintf(stderr, "bench_journal: lha could not make the help archive\n");
    return 1;
  }

  CountingJournalFiles store;
  std::vector<double> with;
  std::vector<double> without;
  std::vector<double> withProcessor;
  std::vector<double> withoutProcessor;
  bool applied = true;
  for (int round = 0; round < kRounds; ++round) {
    const Timing plain = RunUpdate(root, false, store);
    const Timing journaled = RunUpdate(root, true, store);
    applied = applied && plain.applied && journaled.applied;
    without.push_back(plain.seconds);
    with.push_back(journaled.seconds);
    withoutProcessor.push_back(plain.processorSeconds);
    withProcessor.push_back(journaled.processorSeconds);
  }
  const fs::path journal = root / "c" / "VELSOR" / ".tovrin" / "journal";
  const double best = *std::min_element(with.begin(), with.end()) /
                      *std::min_element(without.begin(), without.end());
  std::printf("masters %zu MB, help archive %ju bytes (%zu MB of pages)\n", masterBytes / kMegabyte,
              static_cast<std::uintmax_t>(fs::file_size(root / "medium" / "HELP.lzh")),
              kArchiveData / kMegabyte);
  std::printf("without journal: best %.3f s, median %.3f s\n",
              *std::min_element(without.begin(), without.end()), Median(without));
  std::printf("with journal:    best %.3f s, median %.3f s\n",
              *std::min_element(with.begin(), with.end()), Median(with));
  std::printf("journal cost: %+.1f %% (best), %+.1f %% (median); target at most +5 %%\n",
              (best - 1) * 100, (Median(with) / Median(without) - 1) * 100);
  std::printf("processor time: median %.3f s without, %.3f s with journal (%+.1f %%)\n",
              Median(withoutProcessor), Median(withProcessor),
              (Median(withProcessor) / Median(withoutProcessor) - 1) * 100);
  std::printf("journal on disk after the run: %ju bytes; old files copied instead of linked: %d\n",
              DiskBytes(journal), store.copies);
  fs::remove_all(root);
  return applied ? 0 : 1;
}
