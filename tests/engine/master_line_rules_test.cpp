#include "engine/master_line_rules.hpp"

#include <gtest/gtest.h>

#include <string>

#include "tests/engine/master_records.hpp"

namespace tovrin {
namespace {

using testing::MasterRecord;
using testing::WithoutByte67;

std::string SizeConverted(std::string_view line) {
  std::string out;
  AppendSizeConvertedLine(line, out);
  return out;
}

std::string TypeConverted(std::string_view line) {
  std::string out;
  AppendTypeConvertedLine(line, out);
  return out;
}

TEST(SizeLineRule, Drops67thByteOfA186ByteRecordOfEitherSubCode) {
  for (const char* subCode : {"000107", "000111"}) {
    const std::string record = MasterRecord("400400", subCode, 186);
    const std::string out = SizeConverted(record);
    ASSERT_EQ(out.size(), 185u + 2) << subCode;
    EXPECT_EQ(out.substr(0, 185), WithoutByte67(record));
    EXPECT_EQ(out.find('X'), std::string::npos);
    EXPECT_EQ(out.substr(185), "\r\n");
  }
}

TEST(SizeLineRule, KeepsA185ByteRecordSoASecondPassChangesNothing) {
  const std::string record = MasterRecord("400400", "000111", 185);
  EXPECT_EQ(SizeConverted(record), record + "\r\n");
  const std::string once = SizeConverted(MasterRecord("400400", "000107", 186));
  EXPECT_EQ(SizeConverted(once.substr(0, 185)), once);
}

TEST(SizeLineRule, ShortensOtherLengthsOnEveryPass) {
  // Records that are not 185 bytes lose byte 67 again each time.
  const std::string record = MasterRecord("400400", "000107", 187);
  const std::string once = SizeConverted(record);
  ASSERT_EQ(once.size(), 186u + 2);
  const std::string twice = SizeConverted(once.substr(0, 186));
  EXPECT_EQ(twice.size(), 185u + 2);
  EXPECT_EQ(SizeConverted(MasterRecord("400400", "000107", 184)).size(), 183u + 2);
}

TEST(SizeLineRule, ShortRecordsAround67thByte) {
  const std::string record66 = MasterRecord("400400", "000107", 66);
  EXPECT_EQ(SizeConverted(record66), record66 + "\r\n");
  const std::string record67 = MasterRecord("400400", "000107", 67);
  EXPECT_EQ(SizeConverted(record67), record67.substr(0, 66) + "\r\n");
  EXPECT_EQ(SizeConverted("400400000107"), "400400000107\r\n");
  EXPECT_EQ(SizeConverted("400400"), "400400\r\n");
}

TEST(SizeLineRule, LeavesOtherCodesAndSubCodesAlone) {
  for (const std::string& record :
       {MasterRecord("400400", "000108", 186), MasterRecord("400401", "000107", 186),
        MasterRecord(" 40040", "0000107", 186), MasterRecord("400400", "00010", 186),
        std::string("400400000107"), MasterRecord("400400", "000011", 186)}) {
    EXPECT_EQ(SizeConverted(record), record + "\r\n") << record;
  }
}

TEST(SizeLineRule, ComparesCodesByteForByte) {
  // Full-width digits in CP932 and a code written with a trailing NUL byte.
  const std::string fullWidth = "\x82\x53\x82\x4f\x82\x4f" + MasterRecord("400", "000107", 183);
  EXPECT_EQ(SizeConverted(fullWidth), fullWidth + "\r\n");
  std::string withNul = MasterRecord("400400", "000107", 186);
  withNul[5] = '\0';
  EXPECT_EQ(SizeConverted(withNul), withNul + "\r\n");
}

TEST(TypeLineRule, ChangesAAndBToZKeepingEveryOtherByte) {
  for (const char letter : {'A', 'B'}) {
    const std::string record = MasterRecord("123456", "654321", 120, letter);
    std::string expected = record;
    expected[13] = 'Z';
    EXPECT_EQ(TypeConverted(record), expected + "\r\n") << letter;
  }
  EXPECT_EQ(TypeConverted("1234567890123A"), "1234567890123Z\r\n");
}

TEST(TypeLineRule, LeavesOtherLettersAndShortLinesAlone) {
  for (const char letter : {'a', 'b', 'Z', 'C', ' ', '\x82'}) {
    const std::string record = MasterRecord("123456", "654321", 60, letter);
    EXPECT_EQ(TypeConverted(record), record + "\r\n") << letter;
  }
  EXPECT_EQ(TypeConverted("1234567890123"), "1234567890123\r\n");
  EXPECT_EQ(TypeConverted(""), "\r\n");
}

TEST(TypeLineRule, SecondPassChangesNothing) {
  const std::string once = TypeConverted(MasterRecord("400400", "000107", 185, 'B'));
  EXPECT_EQ(TypeConverted(once.substr(0, once.size() - 2)), once);
}

}  // namespace
}  // namespace tovrin
