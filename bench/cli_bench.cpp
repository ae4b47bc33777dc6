// Whole-process benchmarks of marvo-cli: the counting loop against a Z-machine interpreter
// (dfrotz) running the same loop, both pinned to one processor and run alternately; and play on
// a 50 MB scenario (time and peak memory).
//
// Times are medians of CPU time (user + system) of the whole process, which other work on the
// machine disturbs far less than wall time; wall times are printed beside them.
#include <fcntl.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/bench_util.h"
#include "engine/codec.h"

namespace fs = std::filesystem;

namespace {

struct ProcessRun {
  bool ok = false;  // started and exited with status 0
  double wallMs = 0;
  double cpuMs = 0;
  long peakKb = 0;
  std::string output;
};

// Runs `argv` in `dir` with stdin from /dev/null and stderr discarded, pinned to `cpu` (or
// anywhere when negative); collects its standard output and its resource use.
ProcessRun runProcess(const std::vector<std::string>& argv, const fs::path& dir, int cpu) {
  ProcessRun run;
  int pipeFds[2];
  if (::pipe(pipeFds) != 0) return run;
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = ::fork();
  if (pid < 0) return run;
  if (pid == 0) {
    if (cpu >= 0) {
      cpu_set_t set;
      CPU_ZERO(&set);
      CPU_SET(cpu, &set);
      ::sched_setaffinity(0, sizeof set, &set);
    }
    const int null = ::open("/dev/null", O_RDWR);
    ::dup2(null, 0);
    ::dup2(null, 2);
    ::dup2(pipeFds[1], 1);
    ::close(pipeFds[0]);
    if (::chdir(dir.c_str()) != 0) ::_exit(126);
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    ::execv(args[0], args.data());
    ::_exit(127);
  }
  ::close(pipeFds[1]);
  char buffer[4096];
  for (ssize_t n; (n = ::read(pipeFds[0], buffer, sizeof buffer)) != 0;) {
    if (n < 0) break;
    if (run.output.size() < (1 << 16)) run.output.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(pipeFds[0]);
  int status = 0;
  rusage usage{};
  ::wait4(pid, &status, 0, &usage);
  run.wallMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  auto ms = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_usec) / 1000.0;
  };
  run.cpuMs = ms(usage.ru_utime) + ms(usage.ru_stime);
  run.peakKb = usage.ru_maxrss;
  run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  return run;
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

// The program of that name on the search path or in /usr/games (where Debian puts dfrotz).
fs::path findProgram(const std::string& name) {
  std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
  path += ":/usr/games";
  std::size_t from = 0;
  while (from <= path.size()) {
    const std::size_t colon = std::min(path.find(':', from), path.size());
    const fs::path candidate = fs::path(path.substr(from, colon - from)) / name;
    if (colon > from && ::access(candidate.c_str(), X_OK) == 0) return candidate;
    from = colon + 1;
  }
  return {};
}

void writeLines(const fs::path& file, const std::vector<std::string>& utf8Lines) {
  std::ofstream out(file, std::ios::binary);
  for (const auto& line : utf8Lines) out << marvo::utf8ToCp1251(line) << "\r\n";
}

bool countingLoopAgainstFrotz(const fs::path& dir, int cpu) {
  std::puts("Counting loop, 3,333,000 turns (x = x + 1 / IF x < N / JUMP loop), whole process:");
  writeLines(dir / "loop.scn",
             {"x = 0", ":loop", "x = x + 1", "IF x < 3333000", "JUMP loop", "ENDIF", "!итог [#x]", "READ"});
  const std::vector<std::string> marvo{MARVO_CLI, "play", "--no-clock", "--library", "empty.lib", "loop.scn"};
  const fs::path frotz = findProgram("dfrotz"), inform = findProgram("inform6");
  bool compared = false;
  if (frotz.empty() || inform.empty()) {
    std::puts(
        "  note: dfrotz or inform6 is not installed (Debian packages frotz, inform6-compiler);"
        " the comparison is skipped");
  } else {
    const auto compiled = runProcess({inform.string(), "-q", "-v5", MARVO_COUNTING_LOOP_INF, "loop.z5"}, dir, -1);
    compared = compiled.ok && fs::exists(dir / "loop.z5");
    if (!compared) std::puts("  note: inform6 could not compile the loop; the comparison is skipped");
  }
  std::vector<double> marvoCpu, marvoWall, frotzCpu, frotzWall, ratios;
  for (int pair = 0; pair < 11; ++pair) {
    const auto m = runProcess(marvo, dir, cpu);
    if (!m.ok || m.output.find("итог 3333000") == std::string::npos) {
      std::printf("  marvo-cli failed or printed something else: %s\n", m.output.c_str());
      return false;
    }
    marvoCpu.push_back(m.cpuMs);
    marvoWall.push_back(m.wallMs);
    if (!compared) continue;
    const auto f = runProcess({frotz.string(), "-q", "loop.z5"}, dir, cpu);
    if (!f.ok || f.output.find("3333") == std::string::npos) {
      std::puts("  note: dfrotz failed; the comparison is skipped");
      compared = false;
      continue;
    }
    frotzCpu.push_back(f.cpuMs);
    frotzWall.push_back(f.wallMs);
    ratios.push_back(m.cpuMs / f.cpuMs);
  }
  std::printf("  marvo-cli: CPU %.1f ms, wall %.1f ms (medians of 11, processor %d)\n", median(marvoCpu),
              median(marvoWall), cpu);
  if (!compared) return true;
  std::printf("  dfrotz:    CPU %.1f ms, wall %.1f ms\n", median(frotzCpu), median(frotzWall));
  return marvo::bench::report("counting loop: marvo-cli / dfrotz, median of pair ratios", median(ratios), 1.0, "");
}

// A scenario of about 50 MB: locations with menus, buttons, talk blocks, conditions and objects.
void writeLargeScenario(const fs::path& file) {
  std::ofstream out(file, std::ios::binary);
  std::size_t size = 0;
  auto line = [&](const std::string& utf8) {
    const std::string text = marvo::utf8ToCp1251(utf8) + "\r\n";
    out << text;
    size += text.size();
  };
  for (int i = 0; size < 50u * 1024 * 1024; ++i) {
    const std::string n = std::to_string(i);
    if (i % 10 == 0) {
      line("CREATE предмет" + n);
      line("предмет" + n + "_Расположение=loc" + n);
      line("предмет" + n + "_Описание=Это предмет номер " + n + ", ничем не примечательный.");
    }
    line(":loc" + n);
    line("@Вы находитесь в локации номер " + n + ". Здесь темно и сыро, пахнет плесенью. %");
    line("btn [Идти вперёд] loc" + std::to_string(i + 1));
    line("btn [Вернуться назад] loc" + std::to_string(std::max(i - 1, 0)));
    line("TALK осмотреться");
    line("!Вы внимательно осматриваетесь, но не находите ничего нового.");
    line("REDO");
    line("IF счётчик > 10");
    line("!Вы устали бродить по подземелью.");
    line("ENDIF");
    line("счётчик = счётчик + 1");
    line("READ");
    line("");
  }
}

bool largeScenario(const fs::path& dir, int cpu) {
  writeLargeScenario(dir / "large.scn");
  std::printf("marvo-cli play on a %.1f MB scenario (game start, tmp.scn written, first turn shown):\n",
              static_cast<double>(fs::file_size(dir / "large.scn")) / (1024.0 * 1024.0));
  std::vector<double> cpuMs, wallMs, peakMb;
  for (int i = 0; i < 5; ++i) {
    const auto run = runProcess({MARVO_CLI, "play", "--no-clock", "--library", "empty.lib", "large.scn"}, dir, cpu);
    if (!run.ok || run.output.find("Вы находитесь в локации номер 0.") == std::string::npos) {
      std::puts("  marvo-cli failed on the large scenario");
      return false;
    }
    cpuMs.push_back(run.cpuMs);
    wallMs.push_back(run.wallMs);
    peakMb.push_back(static_cast<double>(run.peakKb) / 1024.0);
  }
  std::printf("  wall %.0f ms (median of 5)\n", median(wallMs));
  bool ok = marvo::bench::report("play on 50 MB: CPU time", median(cpuMs), 1500.0, "ms");
  ok &= marvo::bench::report("play on 50 MB: peak memory", median(peakMb), 250.0, "MB");
  return ok;
}

}  // namespace

int main() {
  const char* cpuText = std::getenv("MARVO_BENCH_CPU");
  const int cpu = cpuText ? std::atoi(cpuText) : 0;
  char pattern[] = "/tmp/marvo-bench-XXXXXX";
  if (!::mkdtemp(pattern)) return 1;
  const fs::path dir = pattern;
  std::ofstream(dir / "empty.lib").close();
  bool ok = countingLoopAgainstFrotz(dir, cpu);
  ok &= largeScenario(dir, cpu);
  fs::remove_all(dir);
  return ok ? 0 : 1;
}
