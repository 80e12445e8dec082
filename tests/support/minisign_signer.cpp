#include "tests/support/minisign_signer.hpp"

#include <gtest/gtest.h>

#include "tests/support/run_program.hpp"

namespace tovrin::testing {

namespace fs = std::filesystem;

namespace {

ProgramResult Shell(const std::string& script, const std::vector<std::string>& arguments) {
  std::vector<std::string> all = {"-c", script, "sh"};
  all.insert(all.end(), arguments.begin(), arguments.end());
  ProgramResult result = RunProgram("/bin/sh", all);
  EXPECT_EQ(result.exitCode, 0) << script << "\n" << result.out << result.err;
  return result;
}

}  // namespace

MinisignKeyPair GenerateMinisignKey(const fs::path& folder, const std::string& name) {
  MinisignKeyPair pair{folder / (name + ".pub"), folder / (name + ".key"), {}};
  Shell("minisign -G -W -p \"$1\" -s \"$2\" </dev/null >/dev/null",
        {pair.publicKey.string(), pair.secretKey.string()});
  // The id ends the public key's untrusted comment.
  const ProgramResult id = Shell("head -1 \"$1\" | awk '{print $NF}'", {pair.publicKey.string()});
  pair.id = id.out.substr(0, id.out.find('\n'));
  return pair;
}

void WriteManifest(const fs::path& disk) {
  // Written outside the disk, so that it does not list itself.
  Shell(
      "cd \"$1\" && rm -f SHA256SUMS SHA256SUMS.minisig && list=$(mktemp) && "
      "find . -type f -printf '%P\\n' | LC_ALL=C sort | tr '\\n' '\\0' | "
      "LC_ALL=C xargs -0 sha256sum >\"$list\" && mv \"$list\" SHA256SUMS",
      {disk.string()});
}

void SignManifest(const fs::path& disk, const MinisignKeyPair& key, bool legacy) {
  Shell(std::string("minisign -S ") + (legacy ? "-l " : "") +
            "-s \"$1\" -m \"$2/SHA256SUMS\" </dev/null >/dev/null",
        {key.secretKey.string(), disk.string()});
}

}  // namespace tovrin::testing
