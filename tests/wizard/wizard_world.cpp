#include "tests/wizard/wizard_world.hpp"

namespace tovrin::testing {
namespace {

std::unique_ptr<FileSystem> MapDrives(const TempFolder& root) {
  DriveTable drives;
  for (const char letter : {'C', 'D'}) {
    const auto folder = root.path() / std::string(1, letter);
    std::filesystem::create_directories(folder);
    drives.Map(letter, folder, DRIVE_FIXED);
  }
  return std::make_unique<TestFileSystem>(drives);
}

}  // namespace

WizardWorld::WizardWorld() : files_(MapDrives(root_)), platform_{*files_, registry_, ui_, {}} {}

std::filesystem::path WizardWorld::Drive(char letter) const {
  return root_.path() / std::string(1, letter);
}

void WizardWorld::Folder(char letter, const std::string& path) const {
  std::filesystem::create_directories(Drive(letter) / path);
}

void WizardWorld::File(char letter, const std::string& path, const std::string& bytes) const {
  root_.Write(std::filesystem::path(std::string(1, letter)) / path, bytes);
}

void WizardWorld::Registry(const std::string& regText) {
  const auto file = root_.Write("uninstall.reg", cp932::Text(regText));
  registry_ = tovrin::Registry::FromRegFiles({file});
}

}  // namespace tovrin::testing
