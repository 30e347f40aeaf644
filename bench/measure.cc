// Runs one command and reports its wall time, CPU time and peak resident
// memory with microsecond precision: "wall_s user_s sys_s maxrss_kb".
//   measure OUTPUT_FILE COMMAND [ARGS...]   (standard output goes to OUTPUT_FILE)
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>

namespace {

double Seconds(const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; }

double Now() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<double>(t.tv_sec) + t.tv_nsec / 1e9;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fputs("usage: measure OUTPUT_FILE COMMAND [ARGS...]\n", stderr);
    return 2;
  }
  double start = Now();
  pid_t pid = fork();
  if (pid == 0) {
    int out = open(argv[1], O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0) _exit(126);
    dup2(out, 1);
    execvp(argv[2], argv + 2);
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  double wall = Now() - start;
  std::printf("%.6f %.6f %.6f %ld\n", wall, Seconds(usage.ru_utime), Seconds(usage.ru_stime),
              usage.ru_maxrss);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
}
