#pragma once
// Files open through Win32 handles (held as void* so that this header does
// not bring in <windows.h>).

#include <string>

#include "platform/file_system.hpp"

namespace tovrin {

class Win32InputFile : public InputFile {
 public:
  explicit Win32InputFile(void* handle) : handle_(handle) {}
  ~Win32InputFile() override;
  Win32InputFile(const Win32InputFile&) = delete;
  Win32InputFile& operator=(const Win32InputFile&) = delete;

  std::optional<std::size_t> Read(char* buffer, std::size_t size) override;

 private:
  void* handle_;
};

class Win32OutputFile : public OutputFile {
 public:
  explicit Win32OutputFile(void* handle) : handle_(handle) {}
  ~Win32OutputFile() override;
  Win32OutputFile(const Win32OutputFile&) = delete;
  Win32OutputFile& operator=(const Win32OutputFile&) = delete;

  bool Write(std::string_view bytes) override;
  bool Flush() override;
  bool Close() override;

 private:
  void* handle_;
};

// A temporary file beside `target`, moved over it by Commit(); it takes the
// attributes of the file it replaces.
class Win32AtomicFile : public AtomicFile {
 public:
  Win32AtomicFile(void* handle, std::wstring temporary, std::wstring target);
  ~Win32AtomicFile() override;

  bool Write(std::string_view bytes) override;
  bool Flush() override;
  bool Close() override;
  bool Commit() override;

 private:
  Win32OutputFile output_;
  std::wstring temporary_;
  std::wstring target_;
  bool committed_ = false;
};

// Moves `replacement` over `replaced`, giving it the attributes of the file
// it replaces; false when `replaced` is read-only or not a file.
bool MoveOverKeepingAttributes(const std::wstring& replacement, const std::wstring& replaced);

// Writes what the system holds of the file at `path` to the disk.
bool FlushFile(const std::wstring& path);

}  // namespace tovrin
