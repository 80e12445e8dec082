#include "archive/command_line.hpp"

#include <vector>

#include "archive/archive_message.hpp"
#include "platform/cp932.hpp"
#include "platform/split_path.hpp"
#include "resources/messages.hpp"

namespace tovrin {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

struct Token {
  std::string text;
  bool hadQuotes = false;
  std::size_t begin = 0;  // in the line, quotes included
  std::size_t end = 0;
};

// Blanks separate tokens outside quotes; quotes are removed and a backslash
// never escapes one, so "C:\PROG\" ends at its closing quote.
std::vector<Token> SplitTokens(std::string_view line) {
  std::vector<Token> tokens;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && IsBlank(line[i])) ++i;
    if (i == line.size()) break;
    Token token;
    token.begin = i;
    bool quoted = false;
    for (; i < line.size() && (quoted || !IsBlank(line[i])); ++i) {
      const char c = line[i];
      if (c == '"') {
        quoted = !quoted;
        token.hadQuotes = true;
        continue;
      }
      token.text.push_back(c);
      if (cp932::IsLeadByte(static_cast<unsigned char>(c)) && i + 1 < line.size()) {
        token.text.push_back(line[++i]);
      }
    }
    token.end = i;
    tokens.push_back(std::move(token));
  }
  return tokens;
}

std::optional<ArchiveCommandKind> CommandKind(std::string_view token) {
  if (token.size() != 1) return std::nullopt;
  switch (token[0]) {
    case 'e':
    case 'E':
      return ArchiveCommandKind::ExtractFlat;
    case 'x':
    case 'X':
      return ArchiveCommandKind::ExtractWithFolders;
    case 't':
    case 'T':
      return ArchiveCommandKind::Test;
    default:
      return std::nullopt;
  }
}

// One switch token after its '-': letters may be combined, and 'w' takes
// the rest of the token as the work folder.
bool ReadSwitches(std::string_view letters, ArchiveCommand& command, bool& tookWorkFolder) {
  if (letters.empty()) return false;
  for (std::size_t i = 0; i < letters.size(); ++i) {
    switch (letters[i]) {
      case 'm':
      case 'M':
        command.noQuestions = true;
        break;
      case 'c':
      case 'C':
        command.alwaysReplace = true;
        break;
      case 'w':
      case 'W':
        // An empty work folder (a host without a Windows folder) means the
        // default: members are staged beside their targets anyway.
        command.workFolder = std::string(letters.substr(i + 1));
        tookWorkFolder = true;
        return true;
      default:
        return false;
    }
  }
  return true;
}

bool EndsWithSeparator(std::string_view folder) {
  if (folder.empty()) return false;
  const char last = folder.back();
  if (last != '\\' && last != ':') return false;
  // A 0x5C that ends a double-byte character is not a separator.
  return cp932::CharacterBoundary(folder, folder.size() - 1) == folder.size() - 1;
}

// The run names its Windows folder unquoted after -w, and that folder may
// hold blanks: an unquoted work folder runs on over the unquoted tokens up
// to the quoted names. Returns the index of the last token it took.
std::size_t ExtendWorkFolder(std::string_view line, const std::vector<Token>& tokens,
                             std::size_t index, std::string& workFolder) {
  std::size_t quotedName = index + 1;
  while (quotedName < tokens.size() && !tokens[quotedName].hadQuotes) ++quotedName;
  if (tokens[index].hadQuotes || workFolder.empty() || quotedName == tokens.size()) return index;
  for (std::size_t next = index + 1; next < quotedName; ++next) {
    workFolder += line.substr(tokens[next - 1].end, tokens[next].begin - tokens[next - 1].end);
    workFolder += tokens[next].text;
  }
  return quotedName - 1;
}

std::string ArchiveFileName(std::string archive) {
  if (SplitPath(archive).extension.empty()) archive += ".lzh";
  return archive;
}

}  // namespace

std::optional<ArchiveCommand> ParseCommandLine(std::string_view line, std::string& message) {
  const std::vector<Token> tokens = SplitTokens(line);
  if (tokens.empty()) {
    message = ArchiveMessage(texts::kArchiveUnknownCommand, {""});
    return std::nullopt;
  }
  ArchiveCommand command;
  const auto kind = CommandKind(tokens[0].text);
  if (!kind) {
    message = ArchiveMessage(texts::kArchiveUnknownCommand, {tokens[0].text});
    return std::nullopt;
  }
  command.kind = *kind;

  std::vector<std::string> names;
  for (std::size_t i = 1; i < tokens.size(); ++i) {
    const std::string& token = tokens[i].text;
    const bool isSwitch = names.empty() && !token.empty() && token[0] == '-';
    if (!isSwitch) {
      names.push_back(token);
      continue;
    }
    bool tookWorkFolder = false;
    if (!ReadSwitches(std::string_view(token).substr(1), command, tookWorkFolder)) {
      message = ArchiveMessage(texts::kArchiveUnknownSwitch, {token});
      return std::nullopt;
    }
    if (tookWorkFolder) i = ExtendWorkFolder(line, tokens, i, command.workFolder);
  }

  if (names.empty() || names[0].empty()) {
    message = ArchiveMessage(texts::kArchiveNotGiven, {});
    return std::nullopt;
  }
  command.archive = ArchiveFileName(names[0]);
  if (names.size() > 2) {
    message = ArchiveMessage(texts::kArchiveExtraArgument, {names[2]});
    return std::nullopt;
  }
  if (names.size() == 2 && !names[1].empty()) {
    command.baseFolder = names[1];
    // The caller names its target folder last; one given without its final
    // separator is still that folder, never a member to pick.
    if (!EndsWithSeparator(command.baseFolder)) command.baseFolder += '\\';
  } else if (command.kind != ArchiveCommandKind::Test) {
    message = ArchiveMessage(texts::kArchiveFolderNotGiven, {});
    return std::nullopt;
  }
  return command;
}

}  // namespace tovrin
