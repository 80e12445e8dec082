#include "archive/archive_library.hpp"

namespace tovrin {
namespace {

// The extraction command run when applied, after the archive tested whole.
class ExtractionCommand : public StagedExtraction {
 public:
  ExtractionCommand(ArchiveLibrary& library, WindowHandle owner, std::string commandLine)
      : library_(library),
        owner_(owner),
        commandLine_(std::move(commandLine)) {}
  int Apply(char* output, DWORD size) override {
    return library_.Command(owner_, commandLine_, output, size);
  }

 private:
  ArchiveLibrary& library_;
  WindowHandle owner_;
  std::string commandLine_;
};

}  // namespace

std::unique_ptr<StagedExtraction> ArchiveLibrary::Stage(WindowHandle owner,
                                                        const std::string& archive,
                                                        const std::string& commandLine,
                                                        ArchiveDigest /*digest*/, char* output,
                                                        DWORD size) {
  if (Command(owner, "t \"" + archive + "\"", output, size) != 0) return nullptr;
  return std::make_unique<ExtractionCommand>(*this, owner, commandLine);
}

}  // namespace tovrin
