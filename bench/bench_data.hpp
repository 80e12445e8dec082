#pragma once
// The data the benchmarks work on, made the same way by each of them:
// master records as the product stores them and text to pack in archives.

#include <algorithm>
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace bench {

inline constexpr std::size_t kMegabyte = 1024 * 1024;

// ケーブル, 配管, 鋼材: material names as the product stores them (CP932).
inline constexpr const char* kMaterialNames[] = {"\x83\x50\x81\x5B\x83\x75\x83\x8B",
                                                 "\x94\x7A\x8A\xC7", "\x8D\x7C\x8D\xDE"};

class RecordMaker {
 public:
  // One record and its CR LF: a third are 186-byte size records.
  void Append(std::string& out) {
    const std::size_t start = out.size();
    const bool sizeRecord = random_() % 3 == 0;
    if (sizeRecord) {
      out += "400400";
      out += random_() % 2 == 0 ? "000107" : "000111";
    } else {
      AppendDigits(out, 12);
    }
    out += ' ';
    out += "ABCZ"[random_() % 4];
    const std::size_t length = sizeRecord ? 186 : 120 + random_() % 80;
    while (out.size() - start < length) {
      out += kMaterialNames[random_() % 3];
      AppendDigits(out, 8);
      out += ' ';
    }
    out.resize(start + length);
    out += "\r\n";
  }

 private:
  void AppendDigits(std::string& out, int count) {
    for (int i = 0; i < count; ++i) out += static_cast<char>('0' + random_() % 10);
  }

  std::mt19937 random_{20261207};
};

inline void WriteMaster(RecordMaker& maker, const std::filesystem::path& path, std::size_t bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  std::string chunk;
  for (std::size_t written = 0; written < bytes;) {
    chunk.clear();
    while (chunk.size() < kMegabyte) maker.Append(chunk);
    file.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
    written += chunk.size();
  }
  if (!file) throw std::runtime_error("cannot write " + path.string());
}

// Text of made-up words: compressible like the product's data, not trivial.
inline void WriteText(const std::filesystem::path& path, std::size_t size, unsigned seed = 50) {
  std::mt19937 random(seed);
  std::vector<std::string> words(4000);
  for (std::string& word : words) {
    const int length = 2 + static_cast<int>(random() % 8);
    for (int i = 0; i < length; ++i) word.push_back(static_cast<char>('a' + random() % 26));
  }
  std::ofstream out(path, std::ios::binary);
  std::string block;
  for (std::size_t written = 0; written < size;) {
    block.clear();
    while (block.size() < std::min(kMegabyte, size - written)) {
      block += words[random() % words.size()];
      block += random() % 10 == 0 ? "\r\n" : " ";
    }
    block.resize(std::min(block.size(), size - written));
    out.write(block.data(), static_cast<std::streamsize>(block.size()));
    written += block.size();
  }
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

}  // namespace bench
