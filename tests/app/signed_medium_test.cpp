// Signed media through the real program: keys made and media signed with
// Debian's minisign and sha256sum, each medium the vendor or an attacker
// could hand over, and what the unattended run makes of it.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "tests/support/file_tree.hpp"
#include "tests/support/minisign_signer.hpp"
#include "tests/support/run_program.hpp"
#include "tests/support/temp_folder.hpp"

namespace tovrin::testing {
namespace {

namespace fs = std::filesystem;

const fs::path kExamples = fs::path(TOVRIN_SOURCE_DIR) / "examples";

void Append(const fs::path& file, const std::string& text) {
  std::ofstream(file, std::ios::binary | std::ios::app) << text;
}

class SignedMediumTest : public ::testing::Test {
 public:
  SignedMediumTest() {
    fs::copy(kExamples / "product" / "drive_c", drive(), fs::copy_options::recursive);
    fs::copy(kExamples / "medium", medium(), fs::copy_options::recursive);
    fs::create_directories(keys());
    vendor = GenerateMinisignKey(keys(), "vendor");
    stranger = GenerateMinisignKey(keys(), "stranger");
    WriteManifest(medium());
  }

  fs::path drive() const { return temp.path() / "c"; }
  fs::path medium() const { return temp.path() / "medium"; }
  fs::path keys() const { return temp.path() / "keys"; }
  fs::path product() const { return drive() / "VELSOR"; }

  ProgramResult Run(const std::vector<std::string>& extra) {
    std::vector<std::string> arguments = {"--unattended",
                                          "--log",
                                          "-",
                                          "--medium",
                                          medium().string(),
                                          "--drive",
                                          "C=" + drive().string(),
                                          "--registry",
                                          (kExamples / "product" / "uninstall.reg").string()};
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    return RunProgram(TOVRIN_PROGRAM, arguments,
                      {{"WINEPREFIX", std::nullopt},
                       {"HOME", "/nonexistent"},
                       {"DISPLAY", std::nullopt},
                       {"WAYLAND_DISPLAY", std::nullopt}});
  }

  TempFolder temp;
  MinisignKeyPair vendor;
  MinisignKeyPair stranger;
};

TEST_F(SignedMediumTest, EachMediumTheKeysCannotVouchForIsRefusedBeforeAnythingIsTouched) {
  const std::string vendorKey = "--trusted-key=" + (temp.path() / "keys" / "vendor.pub").string();
  struct Case {
    std::string name;
    std::function<void(SignedMediumTest&)> prepare;  // the manifest is written; signs if it must
    std::vector<std::string> arguments;
    std::string named;   // in the box and the log
    std::string reason;  // the box's words
  };
  const std::vector<Case> cases = {
      {"one changed byte in an archive",
       [](SignedMediumTest& t) {
         SignManifest(t.medium(), t.vendor);
         std::fstream archive(t.medium() / "HELP.lzh",
                              std::ios::in | std::ios::out | std::ios::binary);
         archive.seekp(40);
         archive.put('\x7f');
       },
       {vendorKey},
       "HELP.lzh",
       "署名された時から変更されています"},
      {"a file added to the disk but not to its manifest",
       [](SignedMediumTest& t) {
         Append(t.medium() / "info.txt", "1,0,EXTRA.TXT,\\\r\n");
         WriteManifest(t.medium());
         std::ofstream(t.medium() / "EXTRA.TXT") << "new";
         SignManifest(t.medium(), t.vendor);
       },
       {vendorKey},
       "EXTRA.TXT",
       "記載されていません"},
      {"a listed file missing",
       [](SignedMediumTest& t) {
         SignManifest(t.medium(), t.vendor);
         fs::remove(t.medium() / "DEST.BMP");
       },
       {vendorKey},
       "DEST.BMP",
       "がありません"},
      {"a manifest line that climbs out",
       [](SignedMediumTest& t) {
         Append(t.medium() / "SHA256SUMS", std::string(64, 'a') + "  ..\\x\n");
         SignManifest(t.medium(), t.vendor);
       },
       {vendorKey},
       "SHA256SUMS",
       "行目が正しくありません"},
      {"a manifest line with an absolute path",
       [](SignedMediumTest& t) {
         Append(t.medium() / "SHA256SUMS", std::string(64, 'a') + " */etc/passwd\n");
         SignManifest(t.medium(), t.vendor);
       },
       {vendorKey},
       "SHA256SUMS",
       "行目が正しくありません"},
      {"a signature by another key",
       [](SignedMediumTest& t) { SignManifest(t.medium(), t.stranger); },
       {vendorKey},
       "SHA256SUMS.minisig",
       "信頼されていない鍵"},
      {"a damaged signature",
       [](SignedMediumTest& t) {
         SignManifest(t.medium(), t.vendor);
         std::string signature = ReadFile(t.medium() / "SHA256SUMS.minisig");
         // Past the comment line, "ED" and the key id: in the signature itself.
         const std::size_t at = signature.find('\n') + 30;
         signature[at] = signature[at] == 'A' ? 'B' : 'A';
         std::ofstream(t.medium() / "SHA256SUMS.minisig", std::ios::binary) << signature;
       },
       {vendorKey},
       "SHA256SUMS.minisig",
       "署名が正しくありません"},
      {"a changed trusted comment",
       [](SignedMediumTest& t) {
         SignManifest(t.medium(), t.vendor);
         std::string signature = ReadFile(t.medium() / "SHA256SUMS.minisig");
         signature.insert(signature.find("\ntrusted comment: ") + 18, "not ");
         std::ofstream(t.medium() / "SHA256SUMS.minisig", std::ios::binary) << signature;
       },
       {vendorKey},
       "SHA256SUMS.minisig",
       "署名が正しくありません"},
      {"an unsigned medium while a key is trusted",
       [](SignedMediumTest&) {},
       {vendorKey},
       "SHA256SUMS.minisig",
       "署名がありません"},
      {"an unsigned medium when a signature is required",
       [](SignedMediumTest& t) { fs::remove(t.medium() / "SHA256SUMS"); },
       {"--require-signature"},
       "SHA256SUMS.minisig",
       "署名がありません"},
      {"a changed file of a medium signed by a key nobody trusts",
       [](SignedMediumTest& t) {
         SignManifest(t.medium(), t.stranger);
         Append(t.medium() / "FORMATER.EXE", "x");
       },
       {},
       "FORMATER.EXE",
       "署名された時から変更されています"},
      {"the product's own key does not vouch for another",
       [](SignedMediumTest& t) {
         SignManifest(t.medium(), t.stranger);
         fs::create_directories(t.product() / "trusted-keys");
         fs::copy_file(t.vendor.publicKey, t.product() / "trusted-keys" / "vendor.pub");
       },
       {},
       "SHA256SUMS.minisig",
       "信頼されていない鍵"},
      {"a key file in the product that is no key",
       [](SignedMediumTest& t) {
         SignManifest(t.medium(), t.vendor);
         fs::create_directories(t.product() / "trusted-keys");
         std::ofstream(t.product() / "trusted-keys" / "vendor.pub") << "not a key\n";
       },
       {},
       "vendor.pub",
       "信頼する鍵のファイル"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(medium());
    fs::remove_all(drive());
    fs::copy(kExamples / "product" / "drive_c", drive(), fs::copy_options::recursive);
    fs::copy(kExamples / "medium", medium(), fs::copy_options::recursive);
    WriteManifest(medium());
    c.prepare(*this);
    const auto before = FileTree(drive());
    const ProgramResult result = Run(c.arguments);
    EXPECT_EQ(result.exitCode, 2) << result.out << result.err;
    EXPECT_EQ(FileTree(drive()), before);
    EXPECT_NE(result.out.find(c.named), std::string::npos) << result.out;
    EXPECT_NE(result.out.find(c.reason), std::string::npos) << result.out;
    EXPECT_NE(result.err.find("refused by the medium check"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find(c.named), std::string::npos) << result.err;
  }
}

TEST_F(SignedMediumTest, AMediumTheKeysVouchForAppliesAndTheLogNamesItsKey) {
  const std::string vendorKey = "--trusted-key=" + vendor.publicKey.string();
  struct Case {
    std::string name;
    bool sign;
    std::vector<std::string> arguments;
    std::string logged;
    bool legacy = false;
  };
  const std::vector<Case> cases = {
      {"signed by the key given",
       true,
       {vendorKey},
       "medium disk 1: signed by key " + vendor.id + ", which the product trusts"},
      {"signed in minisign's legacy form",
       true,
       {vendorKey},
       "medium disk 1: signed by key " + vendor.id + ", which the product trusts",
       true},
      {"signed by the product's own key",
       true,
       {"--product-key"},
       "medium disk 1: signed by key " + vendor.id + ", which the product trusts"},
      {"signed, no key trusted",
       true,
       {},
       "medium disk 1: signed by key " + vendor.id + ", which the product does not trust"},
      {"unsigned, no key trusted", false, {}, "medium disk 1: not signed"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(drive());
    fs::copy(kExamples / "product" / "drive_c", drive(), fs::copy_options::recursive);
    WriteManifest(medium());
    std::vector<std::string> arguments = c.arguments;
    if (arguments == std::vector<std::string>{"--product-key"}) {
      fs::create_directories(product() / "trusted-keys");
      fs::copy_file(vendor.publicKey, product() / "trusted-keys" / "vendor.pub");
      arguments.clear();
    }
    if (c.sign)
      SignManifest(medium(), vendor, c.legacy);
    else
      fs::remove(medium() / "SHA256SUMS");
    const ProgramResult result = Run(arguments);
    EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
    EXPECT_NE(result.err.find(c.logged), std::string::npos) << result.err;
    EXPECT_TRUE(fs::exists(product() / "help"));
  }
}

TEST_F(SignedMediumTest, AKeyFileThatIsNoKeyIsABadCommandLine) {
  std::ofstream(keys() / "broken.pub") << "untrusted comment: x\nnot base64\n";
  for (const fs::path& file : {keys() / "broken.pub", keys() / "absent.pub", vendor.secretKey}) {
    SCOPED_TRACE(file.filename().string());
    const ProgramResult result = Run({"--trusted-key", file.string()});
    EXPECT_EQ(result.exitCode, 64) << result.out << result.err;
    EXPECT_NE(result.err.find("--trusted-key \"" + file.string() + "\""), std::string::npos)
        << result.err;
  }
}

}  // namespace
}  // namespace tovrin::testing
