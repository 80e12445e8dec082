// Extraction speed of the archive library on liblhasa: a 50 MB file stored
// as -lh7- and as -lh5- (made with jlha), extracted by the command function
// and compared, best of five interleaved runs each, with
//   (a) `bsdtar -xf` followed by `sync` of the extracted file (libarchive's
//       decoder, which reads fewer methods and headers), and
//   (b) the floor: liblhasa decoding the archive from memory into a buffer
//       that is thrown away, plus writing and flushing the output file.
// Target: the command function at most 1.15 times (b). The ratio to (a) is
// printed as it comes. Then the peak memory of a process that extracts the
// archive, which must not grow with the archive: for 50 MB, and with
// `--large` for 500 MB too (its archive takes minutes to make).
#include <lhasa.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "archive/lzh_archive_library.hpp"
#include "bench/bench_data.hpp"
#include "platform/drive_table.hpp"
#include "platform/posix/file_system.hpp"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

using bench::kMegabyte;
constexpr std::size_t kDataSize = 50 * kMegabyte;
constexpr std::size_t kLargeDataSize = 500 * kMegabyte;
constexpr int kRuns = 5;
constexpr double kTarget = 1.15;

void Run(const std::string& command) {
  if (std::system(command.c_str()) != 0) {
    std::fprintf(stderr, "failed: %s\n", command.c_str());
    std::exit(1);
  }
}

// jlha by name: the "lha" alternative may be lhasa, which only extracts.
fs::path MakeArchive(const fs::path& folder, const std::string& name, int method) {
  Run("cd '" + folder.string() + "' && jlha ao" + std::to_string(method) + " " + name +
      " data.bin > /dev/null 2>&1");
  return folder / name;
}

// Wall-clock time, and the processor time of this process and its children:
// on a shared machine the second is the steadier measure.
struct Timing {
  double wall = 1e9;
  double cpu = 1e9;
};

double ProcessorSeconds() {
  double seconds = 0;
  for (const int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
    rusage usage{};
    ::getrusage(who, &usage);
    for (const timeval& time : {usage.ru_utime, usage.ru_stime}) {
      seconds += static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
    }
  }
  return seconds;
}

// Keeps the best of each measure over the runs.
void Measure(Timing& best, const std::function<void()>& work) {
  const double cpuStart = ProcessorSeconds();
  const auto start = Clock::now();
  work();
  best.wall = std::min(best.wall, std::chrono::duration<double>(Clock::now() - start).count());
  best.cpu = std::min(best.cpu, ProcessorSeconds() - cpuStart);
}

void FreshFolder(const fs::path& folder) {
  fs::remove_all(folder);
  fs::create_directories(folder);
}

void ExtractWithLibrary(const fs::path& root, const std::string& archive) {
  tovrin::DriveTable table;
  table.Map('C', root, tovrin::DRIVE_FIXED);
  tovrin::PosixFileSystem files(table);
  tovrin::LzhArchiveLibrary library(files);
  char output[256];
  const std::string command = "e -mcwC:\\ \"C:\\" + archive + "\" \"C:\\ours\\\"";
  if (library.Command(nullptr, command, output, sizeof output) != 0) {
    std::fprintf(stderr, "extraction failed\n");
    std::exit(1);
  }
}

std::string ReadHostFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

struct Memory {
  std::string_view bytes;
  std::size_t position = 0;
};

int ReadMemory(void* handle, void* buffer, std::size_t size) {
  auto& memory = *static_cast<Memory*>(handle);
  const std::size_t count = std::min(size, memory.bytes.size() - memory.position);
  std::memcpy(buffer, memory.bytes.data() + memory.position, count);
  memory.position += count;
  return static_cast<int>(count);
}

const LHAInputStreamType kMemoryStream{ReadMemory, nullptr, nullptr};

// liblhasa alone, from memory, into a buffer that is thrown away.
std::size_t DecodeOnly(std::string_view archive) {
  Memory memory{archive};
  LHAInputStream* stream = lha_input_stream_new(&kMemoryStream, &memory);
  LHAReader* reader = lha_reader_new(stream);
  std::vector<char> buffer(64 * 1024);
  std::size_t total = 0;
  while (lha_reader_next_file(reader) != nullptr) {
    for (std::size_t got; (got = lha_reader_read(reader, buffer.data(), buffer.size())) > 0;)
      total += got;
  }
  lha_reader_free(reader);
  lha_input_stream_free(stream);
  return total;
}

void WriteAndFlush(const fs::path& path, const std::string& data) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  const bool written = file != nullptr &&
                       std::fwrite(data.data(), 1, data.size(), file) == data.size() &&
                       std::fflush(file) == 0 && ::fsync(fileno(file)) == 0;
  if (file != nullptr) std::fclose(file);
  if (!written) std::exit(1);
}

void Compare(const fs::path& root, const std::string& archive, const std::string& method) {
  const std::string packed = ReadHostFile(root / archive);
  const std::string data = ReadHostFile(root / "data.bin");
  Timing ours, bsdtar, decode, write;
  for (int run = 0; run < kRuns; ++run) {
    FreshFolder(root / "ours");
    Measure(ours, [&] { ExtractWithLibrary(root, archive); });
    FreshFolder(root / "theirs");
    Measure(bsdtar, [&] {
      Run("bsdtar -xf '" + (root / archive).string() + "' -C '" + (root / "theirs").string() +
          "' && sync '" + (root / "theirs" / "data.bin").string() + "'");
    });
    Measure(decode, [&] {
      if (DecodeOnly(packed) != data.size()) std::exit(1);
    });
    Measure(write, [&] { WriteAndFlush(root / "written.bin", data); });
  }
  if (ReadHostFile(root / "ours" / "data.bin") != data ||
      ReadHostFile(root / "theirs" / "data.bin") != data) {
    std::fprintf(stderr, "extracted data differs\n");
    std::exit(1);
  }
  std::printf("%s: archive %zu bytes, data %zu bytes; best of %d, wall-clock s / processor s\n",
              method.c_str(), packed.size(), data.size(), kRuns);
  std::printf("  command function:              %6.3f / %6.3f\n", ours.wall, ours.cpu);
  std::printf("  (a) bsdtar -xf + sync:          %6.3f / %6.3f   ratio %.2f / %.2f\n", bsdtar.wall,
              bsdtar.cpu, ours.wall / bsdtar.wall, ours.cpu / bsdtar.cpu);
  std::printf("  (b) liblhasa decode only:       %6.3f / %6.3f\n", decode.wall, decode.cpu);
  std::printf("      + write and flush:          %6.3f / %6.3f\n", write.wall, write.cpu);
  const double floorWall = decode.wall + write.wall;
  const double floorCpu = decode.cpu + write.cpu;
  std::printf(
      "      floor:                      %6.3f / %6.3f   ratio %.2f / %.2f (target <= %.2f)\n",
      floorWall, floorCpu, ours.wall / floorWall, ours.cpu / floorCpu, kTarget);
}

// The peak resident memory of a child that runs `work` alone.
long PeakKilobytes(const std::function<void()>& work) {
  const pid_t child = ::fork();
  if (child == 0) {
    work();
    std::_Exit(0);
  }
  int status = 0;
  rusage usage{};
  if (child < 0 || ::wait4(child, &status, 0, &usage) != child || status != 0) std::exit(1);
  return usage.ru_maxrss;
}

void PrintPeakMemory(const fs::path& root, const std::string& archive, const std::string& label) {
  const long idle = PeakKilobytes([] {});
  FreshFolder(root / "ours");
  const long extracting = PeakKilobytes([&] { ExtractWithLibrary(root, archive); });
  std::printf("peak memory, %s: %ld KB (a process doing nothing: %ld KB)\n", label.c_str(),
              extracting, idle);
}

}  // namespace

int main(int argc, char** argv) {
  const bool large = argc > 1 && std::string_view(argv[1]) == "--large";
  const fs::path root =
      fs::temp_directory_path() / ("tovrin-bench-extract-" + std::to_string(::getpid()));
  fs::create_directories(root);
  bench::WriteText(root / "data.bin", kDataSize);
  MakeArchive(root, "big7.lzh", 7);
  MakeArchive(root, "big5.lzh", 5);
  Compare(root, "big7.lzh", "-lh7-");
  Compare(root, "big5.lzh", "-lh5-");
  PrintPeakMemory(root, "big7.lzh", "50 MB -lh7-");
  if (large) {
    fs::remove(root / "big5.lzh");
    bench::WriteText(root / "data.bin", kLargeDataSize);
    MakeArchive(root, "large7.lzh", 7);
    PrintPeakMemory(root, "large7.lzh", "500 MB -lh7-");
  }
  fs::remove_all(root);
  return 0;
}
