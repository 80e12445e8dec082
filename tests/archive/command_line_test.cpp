#include "archive/command_line.hpp"

#include <gtest/gtest.h>

#include "platform/cp932.hpp"

namespace tovrin {
namespace {

ArchiveCommand Parse(std::string_view line) {
  std::string message;
  const auto command = ParseCommandLine(line, message);
  EXPECT_TRUE(command.has_value()) << "refused: " << line;
  return command.value_or(ArchiveCommand{});
}

std::string Refusal(std::string_view line) {
  std::string message;
  EXPECT_FALSE(ParseCommandLine(line, message).has_value()) << "accepted: " << line;
  return message;
}

TEST(CommandLine, ReadsTheRunsOwnCommand) {
  const auto command = Parse("e -mcwC:\\WINDOWS \"A:\\START3\" \"C:\\PROG\\\"");
  EXPECT_EQ(command.kind, ArchiveCommandKind::ExtractFlat);
  EXPECT_TRUE(command.noQuestions);
  EXPECT_TRUE(command.alwaysReplace);
  EXPECT_EQ(command.workFolder, "C:\\WINDOWS");
  EXPECT_EQ(command.archive, "A:\\START3.lzh");
  EXPECT_EQ(command.baseFolder, "C:\\PROG\\");
}

TEST(CommandLine, TakesQuotedNamesWithBlanksAndUnquotedNames) {
  const auto quoted = Parse("x -m \"C:\\Update Disk\\DATA\" \"C:\\Program Files\\PROG\\\"");
  EXPECT_EQ(quoted.kind, ArchiveCommandKind::ExtractWithFolders);
  EXPECT_FALSE(quoted.alwaysReplace);
  EXPECT_EQ(quoted.archive, "C:\\Update Disk\\DATA.lzh");
  EXPECT_EQ(quoted.baseFolder, "C:\\Program Files\\PROG\\");

  const auto plain = Parse("E   -c   A:DATA.LZH   C:\\PROG\\");
  EXPECT_EQ(plain.archive, "A:DATA.LZH");
  EXPECT_EQ(plain.baseFolder, "C:\\PROG\\");
  EXPECT_TRUE(plain.alwaysReplace);

  EXPECT_EQ(Parse("e -mcw A:\\DATA C:\\").workFolder, "");  // the default work folder
  const auto work = Parse("e -w\"C:\\My Temp\"m x.lzh C:\\");
  EXPECT_EQ(work.workFolder, "C:\\My Tempm");  // w takes the rest of its token
}

TEST(CommandLine, UnquotedWorkFolderWithBlanksRunsUpToTheQuotedNames) {
  const auto command = Parse("e -mcwZ:\\tmp\\My  Temp\\x \"A:\\START3.lzh\" \"C:\\PROG\\\"");
  EXPECT_EQ(command.workFolder, "Z:\\tmp\\My  Temp\\x");
  EXPECT_EQ(command.archive, "A:\\START3.lzh");
  EXPECT_EQ(command.baseFolder, "C:\\PROG\\");
  // Without quoted names a blank still ends it.
  EXPECT_EQ(Refusal("e -wC:\\My Temp A:\\DATA C:\\"), cp932::Text("C:\\ は余分な指定です。"));
}

TEST(CommandLine, KeepsAnExtensionAndAddsLzhOnlyWhenThereIsNone) {
  EXPECT_EQ(Parse("e \"A:\\DATA.BIN\" C:\\").archive, "A:\\DATA.BIN");
  EXPECT_EQ(Parse("e \"A:\\V1.0\\DATA\" C:\\").archive, "A:\\V1.0\\DATA.lzh");
}

TEST(CommandLine, BaseFolderEndsWithBackslashOrColon) {
  EXPECT_EQ(Parse("e A:\\DATA \"A:\"").baseFolder, "A:");
  EXPECT_EQ(Parse("e A:\\DATA \"C:\\PROG\"").baseFolder, "C:\\PROG\\");
  // The last byte of 表 is 0x5C but it is no separator.
  const std::string table = cp932::Text("C:\\表");
  EXPECT_EQ(Parse("e A:\\DATA \"" + table + "\"").baseFolder, table + "\\");
  const std::string tableFolder = cp932::Text("C:\\表\\");
  EXPECT_EQ(Parse("e A:\\DATA \"" + tableFolder + "\"").baseFolder, tableFolder);
}

TEST(CommandLine, TestCommandNeedsNoFolder) {
  const auto command = Parse("t A:\\DATA");
  EXPECT_EQ(command.kind, ArchiveCommandKind::Test);
  EXPECT_TRUE(command.baseFolder.empty());
}

TEST(CommandLine, RefusesWithAMessage) {
  EXPECT_EQ(Refusal("l A:\\DATA C:\\"), cp932::Text("l は対応していないコマンドです。"));
  EXPECT_EQ(Refusal("ex A:\\DATA C:\\"), cp932::Text("ex は対応していないコマンドです。"));
  EXPECT_EQ(Refusal("e -mq A:\\DATA C:\\"), cp932::Text("-mq は対応していないスイッチです。"));
  EXPECT_EQ(Refusal("e -mc"), cp932::Text("書庫が指定されていません。"));
  EXPECT_EQ(Refusal("e \"\" C:\\"), cp932::Text("書庫が指定されていません。"));
  EXPECT_EQ(Refusal("e A:\\DATA"), cp932::Text("展開先のフォルダが指定されていません。"));
  EXPECT_EQ(Refusal("e A:\\DATA C:\\ D:\\"), cp932::Text("D:\\ は余分な指定です。"));
  EXPECT_FALSE(Refusal("").empty());
}

}  // namespace
}  // namespace tovrin
