/* One measurement for bench/startup.sh: starts a program, waits through the X
 * server's own MapNotify events on the root window until the program maps its
 * first top-level window, waits SETTLE seconds more, reads the program's VmRSS
 * and Pss, ends it and prints "<map ms> <VmRSS kB> <Pss kB> <cpu ms>", the
 * last being the processor time all its threads had used when the window was
 * mapped (steadier than the wall time on a busy machine).
 * Usage: startup_probe TIMEOUT SETTLE PROGRAM [ARGS...]   (uses $DISPLAY) */
#define _GNU_SOURCE
#include <X11/Xatom.h>
#include <dirent.h>
#include <X11/Xlib.h>
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/select.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static double Now(void) {
  struct timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6;
}

/* The _NET_WM_PID of a window, or 0 when it has none. */
static long WindowPid(Display* dpy, Window w, Atom pidAtom) {
  Atom type;
  int format;
  unsigned long count, after;
  unsigned char* data = NULL;
  long pid = 0;
  if (XGetWindowProperty(dpy, w, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &count,
                         &after, &data) == Success &&
      data != NULL && count == 1 && format == 32)
    pid = *(long*)data;
  if (data != NULL) XFree(data);
  return pid;
}

static int IgnoreErrors(Display* dpy, XErrorEvent* ev) {
  (void)dpy;
  (void)ev;
  return 0; /* a window may be gone before we read its property */
}

/* The number after `key` in a /proc file, in kB; -1 when missing. */
static long ProcField(pid_t pid, const char* file, const char* key) {
  char path[64], line[256];
  snprintf(path, sizeof path, "/proc/%d/%s", (int)pid, file);
  FILE* f = fopen(path, "r");
  if (f == NULL) return -1;
  long value = -1;
  size_t n = strlen(key);
  while (fgets(line, sizeof line, f) != NULL)
    if (strncmp(line, key, n) == 0) {
      value = atol(line + n);
      break;
    }
  fclose(f);
  return value;
}

/* Processor time used so far by every thread of the process, in ms. */
static double CpuMs(pid_t pid) {
  char path[64];
  snprintf(path, sizeof path, "/proc/%d/task", (int)pid);
  DIR* dir = opendir(path);
  if (dir == NULL) return -1;
  double total = 0;
  struct dirent* e;
  while ((e = readdir(dir)) != NULL) {
    if (e->d_name[0] == '.') continue;
    char file[300];
    snprintf(file, sizeof file, "%s/%s/schedstat", path, e->d_name);
    FILE* f = fopen(file, "r");
    if (f == NULL) continue;
    unsigned long long ns = 0;
    if (fscanf(f, "%llu", &ns) == 1) total += ns / 1e6;
    fclose(f);
  }
  closedir(dir);
  return total;
}

static void Finish(pid_t pid) {
  int status;
  kill(pid, SIGTERM);
  for (int i = 0; i < 100; ++i) {
    if (waitpid(pid, &status, WNOHANG) == pid) return;
    usleep(20000);
  }
  kill(pid, SIGKILL);
  waitpid(pid, &status, 0);
}

int main(int argc, char** argv) {
  if (argc < 4) {
    fprintf(stderr, "usage: %s TIMEOUT SETTLE PROGRAM [ARGS...]\n", argv[0]);
    return 2;
  }
  double timeoutMs = atof(argv[1]) * 1000.0;
  double settle = atof(argv[2]);
  Display* dpy = XOpenDisplay(NULL);
  if (dpy == NULL) {
    fprintf(stderr, "startup_probe: cannot open display\n");
    return 2;
  }
  XSetErrorHandler(IgnoreErrors);
  Window root = DefaultRootWindow(dpy);
  Atom pidAtom = XInternAtom(dpy, "_NET_WM_PID", False);
  XSelectInput(dpy, root, SubstructureNotifyMask);
  XSync(dpy, False);

  double start = Now();
  pid_t pid = fork();
  if (pid < 0) return 2;
  if (pid == 0) {
    int null = open("/dev/null", O_RDWR);
    dup2(null, 0);
    dup2(null, 1);
    dup2(null, 2); /* their chatter would bury the figures */
    close(ConnectionNumber(dpy));
    execvp(argv[3], argv + 3);
    _exit(127);
  }

  int fd = ConnectionNumber(dpy);
  for (;;) {
    while (XPending(dpy)) {
      XEvent ev;
      XNextEvent(dpy, &ev);
      if (ev.type != MapNotify || ev.xmap.override_redirect) continue;
      long owner = WindowPid(dpy, ev.xmap.window, pidAtom);
      /* No window manager runs here, so every top-level window is a child of
       * the root; a window without _NET_WM_PID is taken as the program's. */
      if (owner != 0 && owner != pid) continue;
      double ms = Now() - start;
      double cpu = CpuMs(pid);
      XCloseDisplay(dpy);
      usleep((useconds_t)(settle * 1e6));
      long rss = ProcField(pid, "status", "VmRSS:");
      long pss = ProcField(pid, "smaps_rollup", "Pss:");
      Finish(pid);
      printf("%.1f %ld %ld %.1f\n", ms, rss, pss, cpu);
      return 0;
    }
    int status;
    if (waitpid(pid, &status, WNOHANG) == pid) {
      fprintf(stderr, "startup_probe: %s exited before mapping a window\n", argv[3]);
      return 1;
    }
    if (Now() - start > timeoutMs) {
      fprintf(stderr, "startup_probe: %s mapped no window within %s s\n", argv[3], argv[1]);
      Finish(pid);
      return 1;
    }
    fd_set set;
    FD_ZERO(&set);
    FD_SET(fd, &set);
    struct timeval tv = {0, 20000}; /* wake up now and then to notice an early exit */
    select(fd + 1, &set, NULL, NULL, &tv);
  }
}
