// Extraction speed of the archive library against bsdtar (the same libarchive
// decoder): a 50 MB -lh7- archive made with lha, extracted by the command
// function and by `bsdtar -xf`, best of five interleaved runs each. Target: at most
// 1.15 times bsdtar's time.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "archive/lzh_archive_library.hpp"
#include "platform/drive_table.hpp"
#include "platform/posix_file_system.hpp"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr std::size_t kDataSize = 50 * 1024 * 1024;
constexpr int kRuns = 5;

// Text of made-up words: compressible like the product's data, not trivial.
std::string MakeData() {
  std::mt19937 random(50);
  std::vector<std::string> words(4000);
  for (std::string& word : words) {
    const int length = 2 + static_cast<int>(random() % 8);
    for (int i = 0; i < length; ++i) word.push_back(static_cast<char>('a' + random() % 26));
  }
  std::string data;
  data.reserve(kDataSize + 16);
  while (data.size() < kDataSize) {
    data += words[random() % words.size()];
    data += random() % 10 == 0 ? "\r\n" : " ";
  }
  data.resize(kDataSize);
  return data;
}

bool MakeArchive(const fs::path& folder) {
  const std::string data = MakeData();
  std::ofstream(folder / "data.bin", std::ios::binary).write(data.data(), static_cast<std::streamsize>(data.size()));
  const std::string command = "cd '" + folder.string() + "' && lha ao7 big.lzh data.bin > /dev/null 2>&1";
  return std::system(command.c_str()) == 0 && fs::exists(folder / "big.lzh");
}

double Seconds(Clock::duration duration) { return std::chrono::duration<double>(duration).count(); }

double TimeLibrary(tovrin::LzhArchiveLibrary& library, const fs::path& target) {
  fs::remove_all(target);
  fs::create_directories(target);
  char output[256];
  const auto start = Clock::now();
  const int result = library.Command(nullptr, "e -mcwC:\\ \"C:\\big\" \"C:\\ours\\\"", output, sizeof output);
  const auto elapsed = Clock::now() - start;
  if (result != 0) {
    std::fprintf(stderr, "extraction failed (%d)\n", result);
    std::exit(1);
  }
  return Seconds(elapsed);
}

double TimeBsdtar(const fs::path& archive, const fs::path& target) {
  fs::remove_all(target);
  fs::create_directories(target);
  const std::string command = "bsdtar -xf '" + archive.string() + "' -C '" + target.string() + "'";
  const auto start = Clock::now();
  const int result = std::system(command.c_str());
  const auto elapsed = Clock::now() - start;
  if (result != 0) {
    std::fprintf(stderr, "bsdtar failed\n");
    std::exit(1);
  }
  return Seconds(elapsed);
}

bool SameFile(const fs::path& a, const fs::path& b) {
  std::ifstream first(a, std::ios::binary), second(b, std::ios::binary);
  return std::equal(std::istreambuf_iterator<char>(first), std::istreambuf_iterator<char>(),
                    std::istreambuf_iterator<char>(second), std::istreambuf_iterator<char>());
}

}  // namespace

int main() {
  const fs::path folder = fs::temp_directory_path() / ("tovrin-bench-extract-" + std::to_string(::getpid()));
  fs::create_directories(folder);
  if (!MakeArchive(folder)) {
    std::fprintf(stderr, "lha could not make the archive (package jlha-utils)\n");
    return 1;
  }
  tovrin::DriveTable table;
  table.Map('C', folder, tovrin::DRIVE_FIXED);
  tovrin::PosixFileSystem files(table);
  tovrin::LzhArchiveLibrary library(files);

  double ours = 1e9, theirs = 1e9;
  for (int run = 0; run < kRuns; ++run) {
    ours = std::min(ours, TimeLibrary(library, folder / "ours"));
    theirs = std::min(theirs, TimeBsdtar(folder / "big.lzh", folder / "theirs"));
  }
  const bool same = SameFile(folder / "ours" / "data.bin", folder / "data.bin") &&
                    SameFile(folder / "theirs" / "data.bin", folder / "data.bin");
  std::printf("archive: %ju bytes (-lh7-), data: %zu bytes\n",
              static_cast<std::uintmax_t>(fs::file_size(folder / "big.lzh")), kDataSize);
  std::printf("command function: %.3f s\nbsdtar -xf:       %.3f s\nratio: %.2f (target <= 1.15)\n",
              ours, theirs, ours / theirs);
  fs::remove_all(folder);
  if (!same) {
    std::fprintf(stderr, "extracted data differs\n");
    return 1;
  }
  return 0;
}
