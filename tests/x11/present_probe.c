/* A library preloaded into a program (LD_PRELOAD) that notes each hold of the X server and each
 * present the program makes: every XGrabServer to its XUngrabServer, and every SDL_RenderPresent,
 * as one line appended to the file MORNA_PRESENT_LOG names, when it ends:
 *   hold START_US HELD_US
 *   present START_US TOOK_US
 * on CLOCK_MONOTONIC, in microseconds. A line is one write(), so that a program ended by a signal
 * leaves every line of what it finished. Without MORNA_PRESENT_LOG it notes nothing. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

typedef struct _XDisplay Display;
typedef struct SDL_Renderer SDL_Renderer;

static long long NowUs(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (long long)t.tv_sec * 1000000 + t.tv_nsec / 1000;
}

static void Note(const char* what, long long start, long long took) {
    static int fd = -2;
    if (fd == -2) {
        const char* name = getenv("MORNA_PRESENT_LOG");
        fd = name != NULL ? open(name, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644) : -1;
    }
    if (fd < 0) return;
    char line[96];
    const int n = snprintf(line, sizeof line, "%s %lld %lld\n", what, start, took);
    if (n > 0 && write(fd, line, (size_t)n) != n) return;  /* nothing to do with a short write */
}

static _Thread_local long long grabbedAt = -1;

int XGrabServer(Display* display) {
    static int (*real)(Display*);
    if (real == NULL) real = (int (*)(Display*))dlsym(RTLD_NEXT, "XGrabServer");
    grabbedAt = NowUs();
    return real(display);
}

int XUngrabServer(Display* display) {
    static int (*real)(Display*);
    if (real == NULL) real = (int (*)(Display*))dlsym(RTLD_NEXT, "XUngrabServer");
    const int rc = real(display);
    if (grabbedAt >= 0) Note("hold", grabbedAt, NowUs() - grabbedAt);
    grabbedAt = -1;
    return rc;
}

void SDL_RenderPresent(SDL_Renderer* renderer) {
    static void (*real)(SDL_Renderer*);
    if (real == NULL) real = (void (*)(SDL_Renderer*))dlsym(RTLD_NEXT, "SDL_RenderPresent");
    const long long start = NowUs();
    real(renderer);
    Note("present", start, NowUs() - start);
}
