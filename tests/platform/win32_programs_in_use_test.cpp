// The Restart Manager's answer about a product file another process holds
// open. Wine's Restart Manager answers every session with an empty list, so
// under Wine the test can only check that asking neither fails nor blocks.
#include <gtest/gtest.h>

#include "platform/programs_in_use.hpp"
#include "tests/support/temp_folder.hpp"
// Last: its macros would rename the program's own declarations.
#include "platform/win32/windows_api.hpp"

namespace tovrin {
namespace {

bool UnderWine() {
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

TEST(Win32ProgramsInUse, AProcessHoldingAProductFileIsNamed) {
  testing::TempFolder product;
  const auto held = product.Write(L"VELSOR.MDB", "data");
  product.Write(L"sub/other.txt", "x");
  // cmd.exe keeps reading commands from a pipe we hold, its output going
  // into the product file.
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE output = CreateFileW(held.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              &inherit, OPEN_EXISTING, 0, nullptr);
  HANDLE commandsRead = nullptr, commandsWrite = nullptr;
  ASSERT_TRUE(CreatePipe(&commandsRead, &commandsWrite, &inherit, 0));
  SetHandleInformation(commandsWrite, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = commandsRead;
  startup.hStdOutput = output;
  startup.hStdError = output;
  PROCESS_INFORMATION process{};
  wchar_t command[] = L"cmd.exe /q /k";
  ASSERT_TRUE(CreateProcessW(nullptr, command, nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                             nullptr, &startup, &process));
  CloseHandle(output);
  CloseHandle(commandsRead);

  const auto programs = ProgramsUsingFolder(product.path());
  if (UnderWine()) {
    EXPECT_TRUE(programs.empty()) << "Wine's Restart Manager now answers: test it";
  } else {
    ASSERT_EQ(programs.size(), 1u);
    EXPECT_EQ(programs[0].processId, process.dwProcessId);
  }

  CloseHandle(commandsWrite);  // cmd.exe ends at the end of its input
  WaitForSingleObject(process.hProcess, 10000);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  EXPECT_TRUE(ProgramsUsingFolder(product.path()).empty());
}

}  // namespace
}  // namespace tovrin
