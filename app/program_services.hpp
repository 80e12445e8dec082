#pragma once
// What the wizard and the unattended run share, set up from the command
// line: the drives, the registry, the archive library, the medium folder,
// and the destination given with --dest.

#include <memory>
#include <optional>
#include <string>

#include "app/command_line.hpp"
#include "archive/lzh_archive_library.hpp"
#include "engine/medium_trust.hpp"
#include "engine/observed_file_system.hpp"
#include "platform/file_system.hpp"
#include "platform/registry.hpp"

namespace tovrin {

struct ProgramServices {
  std::unique_ptr<FileSystem> hostFiles;
  // What the program and its archive library write through, so that an
  // update run sees every change it makes to the product.
  std::unique_ptr<ObservedFileSystem> files;
  Registry registry;
  std::unique_ptr<LzhArchiveLibrary> archives;
  // The medium folder as the program addresses it (see ProgramDirectory).
  std::string mediumFolder;
  // --dest as a CP932 Windows path, to stand in the destination page's field.
  std::optional<std::string> typedDestination;
  // --trusted-key and --require-signature, for every update run.
  TrustedKeys trustedKeys;
};

struct ServicesSetUp {
  std::unique_ptr<ProgramServices> services;  // null on failure
  int status = 0;                             // the exit status on failure
  std::string error;                          // UTF-8, on failure
};

// Bad options (a --trusted-key that is no key among them) give kBadCommandLineStatus; a medium that
// lies on no mapped drive gives the status of any other failure.
ServicesSetUp SetUpServices(const CommandLineOptions& options);

}  // namespace tovrin
