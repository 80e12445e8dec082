// Whole unattended runs of the program, its journal and its log on, each
// work against its yardsticks on the same disk in the same run: alternating,
// median of 5, wall-clock time beside processor time (of the process and
// its children), peak resident memory beside them.
//   masters: 200 MB in 20 masters, both conversions; two durable copies of
//            every master (dd conv=fsync twice).
//   archive: one 50 MB -lh7- archive; bsdtar -xf + sync, lhasa x + sync.
//   listed:  the same archive with the disk's SHA256SUMS, which the run
//            checks before and while it decodes; sha256sum -c + lhasa x + sync.
//   small:   5,000 files of 8 KB in one -lh5- archive, each replacing an
//            older version; bsdtar -xf + sync of every file.
//   dry run: the masters and the archive again with --dry-run.
// Usage: bench_update_run [--compare PROGRAM] [MEGABYTES]; with --compare
// another build of the program runs beside this one, alternating with it.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "bench/bench_data.hpp"

namespace {

namespace fs = std::filesystem;
using bench::kMegabyte;

constexpr int kRounds = 5;
constexpr int kSmallFiles = 5000;
constexpr std::size_t kSmallFileSize = 8 * 1024;
constexpr std::size_t kArchiveData = 50 * kMegabyte;
constexpr const char* kMasterAdjustOn = "1";
constexpr const char* kMasterAdjustOff = "0";

struct Sample {
  double wall = 0;
  double cpu = 0;
  long peakKilobytes = 0;
};

double Seconds(const timeval& time) {
  return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
}

// Runs `arguments` with its output in `output`; the child's usage counts
// its own children too.
Sample RunProcess(const std::vector<std::string>& arguments, const fs::path& output, int expected) {
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = ::fork();
  if (child == 0) {
    const int fd = ::open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ::dup2(fd, 1);
    ::dup2(fd, 2);
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
      argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    ::execv(argv[0], argv.data());
    std::_Exit(127);
  }
  int status = 0;
  rusage usage{};
  if (child < 0 || ::wait4(child, &status, 0, &usage) != child)
    throw std::runtime_error("wait failed");
  Sample sample;
  sample.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  sample.cpu = Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
  sample.peakKilobytes = usage.ru_maxrss;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != expected) {
    std::ifstream text(output);
    std::stringstream said;
    said << text.rdbuf();
    throw std::runtime_error(arguments.front() + " ended with status " +
                             std::to_string(WEXITSTATUS(status)) + ":\n" + said.str());
  }
  return sample;
}

void Shell(const std::string& command) {
  if (std::system(command.c_str()) != 0) throw std::runtime_error("failed: " + command);
}

std::string Quoted(const fs::path& path) { return "'" + path.string() + "'"; }

// One contender of a work: the program, or a yardstick made of commands.
struct Contender {
  std::string label;
  std::vector<std::string> arguments;
  std::vector<Sample> samples;
};

struct Work {
  std::string name;
  fs::path pristine;  // the product before the run
  std::vector<Contender> contenders;
};

// The sample product with `info.txt`'s records replaced by `records`.
void WriteMedium(const fs::path& medium, const char* masterAdjust,
                 const std::vector<std::string>& records) {
  fs::create_directories(medium);
  const fs::path examples = fs::path(TOVRIN_SOURCE_DIR) / "examples" / "medium";
  for (const auto& entry : fs::directory_iterator(examples)) {
    if (entry.path().extension() == ".BMP")
      fs::copy_file(entry.path(), medium / entry.path().filename());
  }
  std::ifstream in(examples / "info.txt", std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  std::ofstream out(medium / "info.txt", std::ios::binary);
  for (std::size_t index = 0; index < lines.size(); ++index) {
    // The fixed lines end where the first record begins ("1,1,START,\").
    if (lines[index].find(",START,") != std::string::npos) break;
    out << (index == 17 ? std::string(masterAdjust) + "\r" : lines[index]) << "\n";
  }
  for (const std::string& record : records) out << record << "\r\n";
}

fs::path CopyProduct(const fs::path& folder) {
  fs::copy(fs::path(TOVRIN_SOURCE_DIR) / "examples" / "product" / "drive_c", folder,
           fs::copy_options::recursive);
  return folder / "VELSOR";
}

std::vector<std::string> ProgramRun(const std::string& program, const fs::path& root,
                                    const fs::path& medium, bool dryRun) {
  std::vector<std::string> arguments = {
      program,      "--unattended",
      "--medium",   medium.string(),
      "--drive",    "C=" + (root / "c").string() + ":fixed",
      "--registry", (fs::path(TOVRIN_SOURCE_DIR) / "examples/product/uninstall.reg").string(),
      "--log",      (root / "run.log").string()};
  if (dryRun) arguments.push_back("--dry-run");
  return arguments;
}

std::vector<std::string> ShellRun(const std::string& command) { return {"/bin/sh", "-c", command}; }

// The programs under test, each a contender of its own.
void AddPrograms(Work& work, const std::vector<std::string>& programs, const fs::path& root,
                 const fs::path& medium, bool dryRun) {
  for (std::size_t index = 0; index < programs.size(); ++index) {
    const std::string label =
        std::string(dryRun ? "tovrin --dry-run" : "tovrin") + (index == 0 ? "" : " (compared)");
    work.contenders.push_back({label, ProgramRun(programs[index], root, medium, dryRun), {}});
  }
}

Work Masters(const fs::path& root, const std::vector<std::string>& programs, std::size_t megabytes,
             bool dryRun) {
  Work work{dryRun ? "masters, dry run" : "masters", root / "pristine-masters", {}};
  if (!fs::exists(work.pristine)) {
    const fs::path product = CopyProduct(work.pristine);
    bench::RecordMaker maker;
    for (const char* folder : {"MST1", "MST21"}) {
      for (const auto& entry : fs::directory_iterator(product / folder)) fs::remove(entry.path());
      for (int i = 1; i <= 10; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "zai%03d-3.mst",
                      folder == std::string("MST1") ? i : 100 + i);
        bench::WriteMaster(maker, product / folder / name, megabytes * kMegabyte / 20);
      }
    }
    WriteMedium(root / "medium-masters", kMasterAdjustOn, {});
  }
  AddPrograms(work, programs, root, root / "medium-masters", dryRun);
  if (dryRun) return work;
  const fs::path velsor = root / "c" / "VELSOR";
  work.contenders.push_back(
      {"two durable copies (dd conv=fsync x2)",
       ShellRun("cd " + Quoted(velsor) + " && for f in MST1/zai*-3.mst MST21/zai*-3.mst; do " +
                "dd if=$f of=$f.a bs=1M conv=fsync status=none && " +
                "dd if=$f.a of=$f.b bs=1M conv=fsync status=none || exit 1; done"),
       {}});
  return work;
}

Work Archive(const fs::path& root, const std::vector<std::string>& programs, bool dryRun) {
  Work work{dryRun ? "50 MB -lh7- archive, dry run" : "50 MB -lh7- archive",
            root / "pristine-archive",
            {}};
  const fs::path medium = root / "medium-archive";
  if (!fs::exists(work.pristine)) {
    CopyProduct(work.pristine);
    WriteMedium(medium, kMasterAdjustOff, {"1,1,BIG,big\\"});
    bench::WriteText(medium / "data.bin", kArchiveData);
    Shell("cd " + Quoted(medium) + " && jlha ao7 BIG.lzh data.bin > /dev/null 2>&1 && rm data.bin");
  }
  AddPrograms(work, programs, root, medium, dryRun);
  if (dryRun) return work;
  const fs::path out = root / "c" / "out";
  const std::string archive = Quoted(medium / "BIG.lzh");
  work.contenders.push_back(
      {"bsdtar -xf + sync",
       ShellRun("mkdir " + Quoted(out) + " && bsdtar -xf " + archive + " -C " + Quoted(out) +
                " && sync " + Quoted(out / "data.bin")),
       {}});
  work.contenders.push_back({"lhasa x + sync",
                             ShellRun("mkdir " + Quoted(out) + " && cd " + Quoted(out) +
                                      " && lhasa xq " + archive + " && sync data.bin"),
                             {}});
  return work;
}

// After Archive(), whose medium it lists.
Work ListedArchive(const fs::path& root, const std::vector<std::string>& programs) {
  Work work{"50 MB -lh7- archive, SHA256SUMS checked", root / "pristine-archive", {}};
  const fs::path medium = root / "medium-archive-listed";
  if (!fs::exists(medium)) {
    fs::copy(root / "medium-archive", medium, fs::copy_options::recursive);
    Shell("cd " + Quoted(medium) + " && sha256sum -- * > ../SHA256SUMS && mv ../SHA256SUMS .");
  }
  AddPrograms(work, programs, root, medium, false);
  const fs::path out = root / "c" / "out";
  work.contenders.push_back(
      {"sha256sum -c + lhasa x + sync",
       ShellRun("mkdir " + Quoted(out) + " && cd " + Quoted(medium) +
                " && sha256sum -c --quiet SHA256SUMS && cd " + Quoted(out) + " && lhasa xq " +
                Quoted(medium / "BIG.lzh") + " && sync data.bin"),
       {}});
  return work;
}

Work SmallFiles(const fs::path& root, const std::vector<std::string>& programs) {
  Work work{"5,000 files of 8 KB, -lh5-, replacing older ones", root / "pristine-small", {}};
  const fs::path medium = root / "medium-small";
  if (!fs::exists(work.pristine)) {
    const fs::path many = CopyProduct(work.pristine) / "many";
    fs::create_directories(many);
    WriteMedium(medium, kMasterAdjustOff, {"1,1,MANY,many\\"});
    const fs::path files = root / "small-files";
    fs::create_directories(files);
    for (int i = 0; i < kSmallFiles; ++i) {
      char name[16];
      std::snprintf(name, sizeof name, "f%05d.dat", i);
      bench::WriteText(files / name, kSmallFileSize, static_cast<unsigned>(i));
      std::ofstream(many / name) << "an older version\r\n";
      fs::last_write_time(many / name,
                          fs::file_time_type::clock::now() - std::chrono::hours(24 * 365));
    }
    Shell("cd " + Quoted(files) + " && jlha ao5 " + Quoted(medium / "MANY.lzh") +
          " *.dat > /dev/null 2>&1");
    fs::remove_all(files);
  }
  AddPrograms(work, programs, root, medium, false);
  const fs::path many = root / "c" / "VELSOR" / "many";
  work.contenders.push_back({"bsdtar -xf + sync of every file",
                             ShellRun("cd " + Quoted(many) + " && bsdtar -xf " +
                                      Quoted(medium / "MANY.lzh") + " && sync *.dat"),
                             {}});
  return work;
}

// A fresh product before every run, on the disk before the clock starts.
void Reset(const Work& work, const fs::path& root) {
  fs::remove_all(root / "c");
  fs::copy(work.pristine, root / "c", fs::copy_options::recursive);
  ::sync();
}

double Median(const std::vector<Sample>& samples, double Sample::*measure) {
  std::vector<double> values;
  for (const Sample& sample : samples) values.push_back(sample.*measure);
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

void Measure(Work& work, const fs::path& root) {
  for (int round = 0; round < kRounds; ++round) {
    for (Contender& contender : work.contenders) {
      Reset(work, root);
      contender.samples.push_back(RunProcess(contender.arguments, root / "output.txt", 0));
    }
  }
  std::printf("%s: median of %d, alternating\n", work.name.c_str(), kRounds);
  std::printf("  %-40s %8s %8s %9s   %s\n", "", "wall s", "cpu s", "peak MiB",
              "ratio to this (wall / cpu)");
  const Contender& ours = work.contenders.front();
  const double ourWall = Median(ours.samples, &Sample::wall);
  const double ourCpu = Median(ours.samples, &Sample::cpu);
  for (const Contender& contender : work.contenders) {
    long peak = 0;
    for (const Sample& sample : contender.samples) peak = std::max(peak, sample.peakKilobytes);
    const double wall = Median(contender.samples, &Sample::wall);
    const double cpu = Median(contender.samples, &Sample::cpu);
    std::printf("  %-40s %8.3f %8.3f %9.1f", contender.label.c_str(), wall, cpu,
                static_cast<double>(peak) / 1024);
    if (&contender != &ours)
      std::printf("   tovrin is %.2f x / %.2f x", ourWall / wall, ourCpu / cpu);
    std::printf("\n");
  }
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> programs = {TOVRIN_PROGRAM};
  std::size_t megabytes = 200;
  for (int index = 1; index < argc; ++index) {
    const std::string_view argument = argv[index];
    if (argument == "--compare" && index + 1 < argc) {
      programs.push_back(fs::absolute(argv[++index]).string());
    } else {
      megabytes = std::max<std::size_t>(20, std::strtoul(argv[index], nullptr, 10));
    }
  }
  const fs::path root =
      fs::temp_directory_path() / ("tovrin-bench-run-" + std::to_string(::getpid()));
  fs::create_directories(root);
  int status = 0;
  try {
    for (auto make : std::vector<std::function<Work()>>{
             [&] { return Masters(root, programs, megabytes, false); },
             [&] { return Masters(root, programs, megabytes, true); },
             [&] { return Archive(root, programs, false); },
             [&] { return Archive(root, programs, true); },
             [&] { return ListedArchive(root, programs); },
             [&] { return SmallFiles(root, programs); },
         }) {
      Work work = make();
      Measure(work, root);
    }
  } catch (const std::exception& error) {
    std::fprintf(stderr, "bench_update_run: %s\n", error.what());
    status = 1;
  }
  fs::remove_all(root);
  return status;
}
