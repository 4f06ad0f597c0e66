// Runs a program once and prints its wall time, CPU time and peak memory:
//
//   measure_run <program> [<argument>...]   ->   "<wall s> <cpu s> <peak KiB>"
//
// The benchmark script starts its programs through this small process rather
// than directly: a program started by a large process is charged that
// process's peak memory as its own (the kernel carries the peak over the
// start of a new program), which would hide the peak of a small run. The
// program's output goes where this process's goes; its exit code is passed on.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: measure_run <program> [<argument>...]\n");
    return 2;
  }
  timespec start{}, end{};
  clock_gettime(CLOCK_MONOTONIC, &start);
  pid_t pid = fork();
  if (pid < 0) return 2;
  if (pid == 0) {
    execv(argv[1], argv + 1);
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (wait4(pid, &status, 0, &usage) < 0) return 2;
  clock_gettime(CLOCK_MONOTONIC, &end);
  const double wall = double(end.tv_sec - start.tv_sec) + double(end.tv_nsec - start.tv_nsec) * 1e-9;
  const double cpu = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                     double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
  std::fprintf(stderr, "measure_run: %.6f %.6f %ld\n", wall, cpu, usage.ru_maxrss);
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  return 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
}
