#include "platform/temporary_name.hpp"

#include <algorithm>
#include <random>

namespace tovrin::temporary_name {
namespace {

constexpr std::string_view kPrefix = ".tovrin-";
constexpr std::string_view kSuffix = ".tmp";
constexpr std::size_t kDigitCount = 12;
constexpr std::string_view kDigits = "0123456789abcdef";

}  // namespace

std::string Make() {
  thread_local std::mt19937_64 generator{std::random_device{}()};
  std::string digits(kDigitCount, '0');
  for (char& digit : digits) digit = kDigits[generator() % kDigits.size()];
  return std::string(kPrefix) + digits + std::string(kSuffix);
}

bool IsTemporary(std::string_view name) {
  if (name.size() != kPrefix.size() + kDigitCount + kSuffix.size()) return false;
  if (!name.starts_with(kPrefix) || !name.ends_with(kSuffix)) return false;
  const std::string_view digits = name.substr(kPrefix.size(), kDigitCount);
  return std::all_of(digits.begin(), digits.end(),
                     [](char digit) { return kDigits.find(digit) != std::string_view::npos; });
}

}  // namespace tovrin::temporary_name
