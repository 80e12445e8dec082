#include "engine/observed_file_system.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/support/temp_drive.hpp"

namespace tovrin {
namespace {

using testing::TempDrive;

const char* KindName(FileChangeKind kind) {
  switch (kind) {
    case FileChangeKind::Added:
      return "added";
    case FileChangeKind::Replaced:
      return "replaced";
    case FileChangeKind::FolderCreated:
      return "folder";
    case FileChangeKind::Removed:
      return "removed";
    case FileChangeKind::Modified:
      return "modified";
  }
  return "?";
}

// Writes down every event as "changing KIND PATH", "changed KIND PATH",
// "bytes N"; forbids every change while `forbid` is set.
class EventLog : public RunEvents {
 public:
  bool FileChanging(const FileChange& change) override {
    lines.push_back(std::string("changing ") + KindName(change.kind) + " " + change.path);
    return !forbid;
  }
  void FileChanged(const FileChange& change) override {
    lines.push_back(std::string("changed ") + KindName(change.kind) + " " + change.path);
  }
  void BytesWritten(std::uint64_t bytes) override {
    lines.push_back("bytes " + std::to_string(bytes));
  }

  std::vector<std::string> lines;
  bool forbid = false;
};

bool WriteWhole(FileSystem& files, const std::string& path, std::string_view bytes) {
  auto file = files.BeginReplace(path);
  return file && file->Write(bytes) && file->Commit();
}

// The real file system, where asking whether something is in the product
// fails once, as one failing lookup does, while the change itself works.
class PresenceUnknown : public testing::TestFileSystem {
 public:
  using testing::TestFileSystem::TestFileSystem;
  Presence Exists(std::string_view path) const override {
    return InProduct(path) ? Presence::Unknown : testing::TestFileSystem::Exists(path);
  }

 private:
  static bool InProduct(std::string_view path) {
    return path.starts_with("C:\\PROG\\") && path.find(".tovrin") == std::string_view::npos;
  }
};

enum class Mode { Allowed, Forbidden, PresenceUnknown };

struct Case {
  const char* name;
  std::function<bool(FileSystem&)> operation;
  std::vector<std::string> events;
  const char* untouched;  // a file the operation changes, as it was before
};

TEST(ObservedFileSystem, TellsEveryChangeUnderTheProductFolderAndObeysARefusal) {
  const std::vector<Case> cases = {
      {"replace",
       [](FileSystem& f) { return WriteWhole(f, "C:\\PROG\\a.dat", "12345"); },
       {"bytes 5", "changing replaced C:\\PROG\\a.dat", "changed replaced C:\\PROG\\a.dat"},
       "a.dat"},
      {"add",
       [](FileSystem& f) { return WriteWhole(f, "C:\\PROG\\new.dat", "xy"); },
       {"bytes 2", "changing added C:\\PROG\\new.dat", "changed added C:\\PROG\\new.dat"},
       nullptr},
      {"create over",
       [](FileSystem& f) {
         auto file = f.Create("C:\\PROG\\a.dat");
         return file && file->Write("zz") && file->Close();
       },
       {"changing replaced C:\\PROG\\a.dat", "changed replaced C:\\PROG\\a.dat", "bytes 2"},
       "a.dat"},
      {"copy",
       [](FileSystem& f) { return f.CopyFile("C:\\MEDIUM\\m.dat", "C:\\PROG\\a.dat", false); },
       {"changing replaced C:\\PROG\\a.dat", "changed replaced C:\\PROG\\a.dat", "bytes 3"},
       "a.dat"},
      {"replace onto a new name",
       [](FileSystem& f) { return f.Replace("C:\\PROG\\a.dat", "C:\\PROG\\b.dat"); },
       {"changing removed C:\\PROG\\a.dat", "changing added C:\\PROG\\b.dat",
        "changed removed C:\\PROG\\a.dat", "changed added C:\\PROG\\b.dat"},
       "a.dat"},
      {"replace by rename",
       [](FileSystem& f) { return f.Replace("C:\\MEDIUM\\m.dat", "C:\\PROG\\a.dat"); },
       {"changing replaced C:\\PROG\\a.dat", "changed replaced C:\\PROG\\a.dat"},
       "a.dat"},
      {"remove",
       [](FileSystem& f) { return f.Remove("C:\\PROG\\a.dat"); },
       {"changing removed C:\\PROG\\a.dat", "changed removed C:\\PROG\\a.dat"},
       "a.dat"},
      {"mkdir",
       [](FileSystem& f) { return f.Mkdir("C:\\PROG\\SUB") == 0; },
       {"changing folder C:\\PROG\\SUB", "changed folder C:\\PROG\\SUB"},
       nullptr},
      {"status",
       [](FileSystem& f) {
         FileStatus status;
         return f.GetStatus("C:\\PROG\\a.dat", status) && f.SetStatus("C:\\PROG\\a.dat", status);
       },
       {"changing modified C:\\PROG\\a.dat", "changed modified C:\\PROG\\a.dat"},
       nullptr},
      {"outside the product",
       [](FileSystem& f) { return WriteWhole(f, "C:\\MEDIUM\\m.dat", "x"); },
       {},
       nullptr},
      {"bookkeeping",
       [](FileSystem& f) { return WriteWhole(f, "C:\\PROG\\.tovrin\\x", "x"); },
       {},
       nullptr},
  };
  // A change whose kind cannot be told (no journal could record it) is not
  // made; attributes set in place leave that question to the listener.
  for (const Mode mode : {Mode::Allowed, Mode::Forbidden, Mode::PresenceUnknown}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.name) + " mode " + std::to_string(static_cast<int>(mode)));
      if (mode == Mode::PresenceUnknown && std::string(c.name) == "status") continue;
      TempDrive drive;
      drive.WriteFile("PROG\\a.dat", "old");
      drive.WriteFile("PROG\\.tovrin\\keep", "");
      drive.WriteFile("MEDIUM\\m.dat", "new");
      PresenceUnknown unknown(testing::TempDriveTable(drive.folder.path()));
      FileSystem& inner = mode == Mode::PresenceUnknown ? unknown : drive.files;
      ObservedFileSystem observed(inner);
      EventLog log;
      log.forbid = mode == Mode::Forbidden;
      observed.Observe("c:\\prog", log);

      const bool done = c.operation(observed);
      if (mode == Mode::Allowed || c.events.empty()) {
        EXPECT_TRUE(done);
        EXPECT_EQ(log.lines, c.events);
        continue;
      }
      EXPECT_FALSE(done);
      for (const auto& line : log.lines) EXPECT_EQ(line.rfind("changed", 0), std::string::npos);
      if (c.untouched) {
        EXPECT_EQ(drive.ReadFile(std::string("PROG\\") + c.untouched), "old");
      }
    }
  }
}

TEST(ObservedFileSystem, TellsNothingOnceObservingStops) {
  TempDrive drive;
  drive.WriteFile("PROG\\a.dat", "old");
  ObservedFileSystem observed(drive.files);
  EventLog log;
  observed.Observe("C:\\PROG", log);
  observed.StopObserving();
  EXPECT_TRUE(WriteWhole(observed, "C:\\PROG\\a.dat", "new"));
  EXPECT_TRUE(log.lines.empty());
}

}  // namespace
}  // namespace tovrin
