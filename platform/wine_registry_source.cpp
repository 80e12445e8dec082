// A Wine prefix's system.reg: "[Software\\Wine] 1614251234" key lines with
// escaped names relative to the machine root, "#time=" option lines.
#include "platform/reg_source.hpp"

namespace tovrin::reg {

namespace {

constexpr std::string_view kHeader = "WINE REGISTRY Version 2";

std::optional<KeyLine> ReadWineKeyLine(std::string_view line, std::string& reason) {
  std::size_t position = 1;
  auto path = ReadEscaped(line, position, ']');
  if (!path) {
    reason = "a key name without its closing bracket";
    return std::nullopt;
  }
  return KeyLine{std::move(path), false};
}

}  // namespace

std::optional<SourceError> ReadWineRegistry(std::string_view bytes, RegistryStore& store) {
  const auto lines = SplitLines(bytes);
  if (lines.empty() || lines.front() != kHeader) {
    return SourceError{1, "not a \"WINE REGISTRY Version 2\" file"};
  }
  return ReadBody(lines, Dialect{ReadWineKeyLine, true}, store);
}

}  // namespace tovrin::reg
