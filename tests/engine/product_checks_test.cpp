// The marker-file check, the product identification and the installed
// version, on product folders built on disk.
#include <gtest/gtest.h>

#include <string>

#include "engine/path_helpers.hpp"
#include "engine/product_checks.hpp"
#include "platform/profile.hpp"
#include "tests/support/temp_drive.hpp"

namespace tovrin {
namespace {

class ProductFilesTest : public ::testing::Test {
 protected:
  void Product(std::initializer_list<const char*> files) {
    for (const char* file : files) drive_.WriteFile(std::string("PROG/") + file, "x");
  }

  // The check's result and the folder text it leaves.
  std::pair<int, std::string> Check(const std::string& iniName, std::string folder = "C:\\PROG\\") {
    const int passed = CheckProductFiles(drive_.files, folder, iniName);
    return {passed, folder};
  }

  testing::TempDrive drive_;
};

TEST_F(ProductFilesTest, MenuFileAloneServesAndTheToolStageAddsABackslash) {
  Product({"velsor1.ini", "ve1menu.ini", "bmp/LAYER2L.BMP"});
  EXPECT_EQ(Check("velsor1.ini"), std::make_pair(1, std::string("C:\\PROG\\\\")));
}

TEST_F(ProductFilesTest, ToolStandsInForTheMenuFiles) {
  Product({"PASKEL1.ini", "formater.exe", "bmp/LAYER2L.BMP"});
  // The menu stage's second search leaves its backslash behind.
  EXPECT_EQ(Check("PASKEL1.ini"), std::make_pair(1, std::string("C:\\PROG\\\\")));
}

TEST_F(ProductFilesTest, MenuProductsNeedMenuOrToolWhateverTheCase) {
  Product({"velsor1.ini", "bmp/LAYER2L.BMP"});
  EXPECT_EQ(Check("velsor1.ini").first, 0);
  EXPECT_EQ(Check("VELSOR1.INI").first, 0);
  EXPECT_EQ(Check("Paskel1.Ini").first, 0);
}

TEST_F(ProductFilesTest, OtherProductsAreDecidedByThePictures) {
  Product({"tremick1.ini", "bmp/LAYER2L.BMP"});
  EXPECT_EQ(Check("tremick1.ini").first, 1);
  EXPECT_EQ(Check("custom.ini").first, 1);
}

TEST_F(ProductFilesTest, PicturesDecideLast) {
  Product({"velsor1.ini", "ve2menu.ini", "formater.exe"});
  EXPECT_EQ(Check("velsor1.ini").first, 0);  // no LAYER2L.BMP
  Product({"bmp/LAYER2L.BMP", "bmp/file.BMP"});
  EXPECT_EQ(Check("velsor1.ini").first, 0);  // file.BMP present
  EXPECT_EQ(Check("tremick1.ini").first, 0);
}

TEST_F(ProductFilesTest, MissingFolderFails) {
  EXPECT_EQ(Check("tremick1.ini", "C:\\NOWHERE\\").first, 0);
  EXPECT_EQ(Check("velsor1.ini", "C:\\NOWHERE").first, 0);
}

TEST_F(ProductFilesTest, FolderWithoutBackslashIsRepairedForTheRestOfTheRun) {
  Product({"velsor1.ini", "ve2menu.ini", "bmp/LAYER2L.BMP"});
  drive_.WriteFile("PROG/velsor1.ini", "[SYSTEM]\r\nTITLE=Velsor 8.0S\r\n");
  std::string folder = "C:\\PROG";
  // The settings-file lookup repairs first, as the run calls it...
  ASSERT_EQ(LocateFile(drive_.files, folder, "velsor1.ini"), 1);
  ASSERT_EQ(folder, "C:\\PROG\\");
  // ...then the tool stage appends one more, and paths built on the
  // doubled separator still name the product's files.
  ASSERT_EQ(CheckProductFiles(drive_.files, folder, "velsor1.ini"), 1);
  EXPECT_EQ(folder, "C:\\PROG\\\\");
  EXPECT_EQ(GetProfileText(drive_.files, "SYSTEM", "TITLE", "", 100, folder + "velsor1.ini"),
            "Velsor 8.0S");
}

TEST_F(ProductFilesTest, MenuFilesFoundOnlyAfterABackslashIsAppended) {
  Product({"velsor1.ini", "ve1menu.ini", "formater.exe", "bmp/LAYER2L.BMP"});
  EXPECT_EQ(Check("velsor1.ini", "C:\\PROG"), std::make_pair(1, std::string("C:\\PROG\\")));
}

class IdentifyProductTest : public ::testing::Test {
 protected:
  void Settings(const std::string& name, const std::string& content) {
    drive_.WriteFile("PROG/" + name, content);
  }

  int Identify(const std::string& iniName) {
    return IdentifyProduct(drive_.files, description_, "C:\\PROG\\", iniName);
  }

  // The given keywords first; the remaining lines hold keywords that occur
  // in no title of these tests.
  void Keywords(std::initializer_list<std::string> keywords) {
    for (std::size_t k = 0; k < description_.m_strTitleKey.size(); ++k) {
      description_.m_strTitleKey[k] = "unused" + std::to_string(k);
    }
    std::size_t k = 0;
    for (const auto& keyword : keywords) description_.m_strTitleKey[k++] = keyword;
  }

  testing::TempDrive drive_;
  UpdateDescription description_;
};

TEST_F(IdentifyProductTest, MakerDecidesForTremickInAnyCase) {
  Settings("tremick1.ini", "[SYSTEM]\r\nMAKER=1\r\n");
  EXPECT_EQ(Identify("tremick1.ini"), 0);
  EXPECT_EQ(Identify("TREMICK1.INI"), 0);
  EXPECT_EQ(Identify("Tremick1.Ini"), 0);
}

TEST_F(IdentifyProductTest, MakerValues) {
  const std::pair<const char*, int> cases[] = {
      {"[SYSTEM]\r\nMAKER=1\r\n", 0},  {"[SYSTEM]\r\nMAKER=01\r\n", 0},
      {"[SYSTEM]\r\nMAKER=0\r\n", 99}, {"[SYSTEM]\r\nMAKER=x\r\n", 99},
      {"[SYSTEM]\r\nMAKER=2\r\n", 99}, {"[SYSTEM]\r\nTITLE=t\r\n", 0},
  };
  for (const auto& [content, expected] : cases) {
    Settings("tremick1.ini", content);
    EXPECT_EQ(Identify("tremick1.ini"), expected) << content;
  }
}

TEST_F(IdentifyProductTest, MissingSettingsFile) {
  EXPECT_EQ(Identify("tremick1.ini"), 0);
  Keywords({"Velsor", "Paskel"});
  for (std::size_t k = 2; k < 15; ++k) description_.m_strTitleKey[k] = "k" + std::to_string(k);
  EXPECT_EQ(Identify("velsor1.ini"), kProductNotRecognised);
}

TEST_F(IdentifyProductTest, EarliestKeywordLineWins) {
  Keywords({"Std", "Pro", "Net"});
  Settings("velsor1.ini", "[SYSTEM]\r\nTITLE=Velsor Net Pro 8.0S\r\n");
  EXPECT_EQ(Identify("velsor1.ini"), 2);
  description_.m_strTitleKey[14] = "8.0S";
  Settings("velsor1.ini", "[SYSTEM]\r\nTITLE=Velsor 8.0S\r\n");
  EXPECT_EQ(Identify("velsor1.ini"), 15);
}

TEST_F(IdentifyProductTest, EmptyKeywordOccursInEveryTitle) {
  Keywords({"Std", ""});
  Settings("velsor1.ini", "[SYSTEM]\r\nTITLE=Velsor Pro\r\n");
  EXPECT_EQ(Identify("velsor1.ini"), 2);
  Settings("velsor1.ini", "[SYSTEM]\r\nTITLE=\r\n");
  EXPECT_EQ(Identify("velsor1.ini"), 2);
}

TEST_F(IdentifyProductTest, NoKeywordFound) {
  Keywords({"pro"});
  // The search minds letter case.
  Settings("velsor1.ini", "[SYSTEM]\r\nTITLE=Velsor PRO\r\n");
  EXPECT_EQ(Identify("velsor1.ini"), kProductNotRecognised);
}

TEST_F(IdentifyProductTest, OnlyTheFirst99BytesOfTheTitleAreSearched) {
  Keywords({"LATE"});
  // 120 bytes: the keyword starts at byte 100.
  const std::string title = std::string(99, 'a') + "LATE" + std::string(17, 'b');
  ASSERT_EQ(title.size(), 120u);
  Settings("velsor1.ini", "[SYSTEM]\r\nTITLE=" + title + "\r\n");
  EXPECT_EQ(Identify("velsor1.ini"), kProductNotRecognised);
  // Ending at byte 99 it is still found.
  const std::string fits = std::string(95, 'a') + "LATE" + std::string(21, 'b');
  Settings("velsor1.ini", "[SYSTEM]\r\nTITLE=" + fits + "\r\n");
  EXPECT_EQ(Identify("velsor1.ini"), 1);
}

class InstalledVersionTest : public IdentifyProductTest {
 protected:
  int Number(int& productNo) {
    return InstalledVersionNumber(drive_.files, description_, "C:\\PROG\\", "velsor1.ini",
                                  productNo);
  }
};

TEST_F(InstalledVersionTest, MissingVersionGivesTwo) {
  int productNo = 42;
  description_.m_strProductKind = "2";
  EXPECT_EQ(Number(productNo), 2);
  EXPECT_EQ(productNo, 42);
  Settings("velsor1.ini", "[SYSTEM]\r\nVERSION=9999\r\n");
  EXPECT_EQ(Number(productNo), 2);
}

TEST_F(InstalledVersionTest, ProductKindChoosesTheFile) {
  Settings("velsor1.ini", "[SYSTEM]\r\nVERSION=7\r\nTITLE=none\r\n");
  Settings("PASKEL1.ini", "[SYSTEM]\r\nVERSION=5\r\n");
  Keywords({});
  int productNo = 0;
  const std::pair<const char*, int> cases[] = {{"0", 7}, {"2", 7}, {"3", 7}, {"", 7},
                                               {"1", 5}, {"4", 5}, {"12", 5}};
  for (const auto& [kind, version] : cases) {
    description_.m_strProductKind = kind;
    EXPECT_EQ(Number(productNo), version) << kind;
    EXPECT_EQ(productNo, kProductNotRecognised);
  }
}

TEST_F(InstalledVersionTest, ProductTwoCountsOneMore) {
  Settings("velsor1.ini", "[SYSTEM]\r\nVERSION=7\r\nTITLE=Velsor Pro\r\n");
  Keywords({"Std", "Pro"});
  int productNo = 0;
  EXPECT_EQ(Number(productNo), 8);
  EXPECT_EQ(productNo, 2);
  EXPECT_EQ(
      CheckInstalledVersion(drive_.files, description_, "C:\\PROG\\", "velsor1.ini", productNo), 1);
}

}  // namespace
}  // namespace tovrin
