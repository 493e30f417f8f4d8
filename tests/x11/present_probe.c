/* A library preloaded into a program (LD_PRELOAD) that notes each hold of the X server and each
 * present the program makes, as one line appended to the file MORNA_PRESENT_LOG names, when it ends:
 *   hold START_US HELD_US         an XGrabServer to its XUngrabServer
 *   present START_US TOOK_US      the program's first call of the frame into the renderer (a hold
 *                                 with a present in it, SDL_GetWindowSurface, SDL_LockTexture) to
 *                                 the end of its SDL_RenderPresent: the whole present, whichever
 *                                 renderer draws
 * on CLOCK_MONOTONIC, in microseconds. SDL's calls of its own go to its own functions, unseen. A line
 * is one write(), so that a program ended by a signal leaves every line of what it finished. Without
 * MORNA_PRESENT_LOG it notes nothing, nor does a program this one starts. One thread presents. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

typedef struct _XDisplay Display;
typedef struct SDL_Renderer SDL_Renderer;
typedef struct SDL_Window SDL_Window;
typedef struct SDL_Surface SDL_Surface;
typedef struct SDL_Texture SDL_Texture;
typedef struct SDL_Rect SDL_Rect;

static long long NowUs(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (long long)t.tv_sec * 1000000 + t.tv_nsec / 1000;
}

static int fd = -1;

/* The program's own notes only: the programs it starts inherit the preload (dbus-launch, which the
 * session bus's autolaunch starts, holds the server), not the log. */
__attribute__((constructor)) static void Open(void) {
    const char* name = getenv("MORNA_PRESENT_LOG");
    if (name != NULL) fd = open(name, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    unsetenv("MORNA_PRESENT_LOG");
}

static void Note(const char* what, long long start, long long took) {
    if (fd < 0) return;
    char line[96];
    const int n = snprintf(line, sizeof line, "%s %lld %lld\n", what, start, took);
    if (n > 0 && write(fd, line, (size_t)n) != n) return;  /* nothing to do with a short write */
}

static _Thread_local long long grabbedAt = -1;
static long long frameAt = -1;  /* the frame's first call into the renderer */
static long long presents = 0;
/* A hold with no present in it (the making of a renderer) starts no frame. */
static long long frameBeforeHold = -1, presentsBeforeHold = 0;

static void Mark(void) {
    if (frameAt < 0) frameAt = NowUs();
}

int XGrabServer(Display* display) {
    static int (*real)(Display*);
    if (real == NULL) real = (int (*)(Display*))dlsym(RTLD_NEXT, "XGrabServer");
    grabbedAt = NowUs();
    frameBeforeHold = frameAt;
    presentsBeforeHold = presents;
    Mark();
    return real(display);
}

int XUngrabServer(Display* display) {
    static int (*real)(Display*);
    if (real == NULL) real = (int (*)(Display*))dlsym(RTLD_NEXT, "XUngrabServer");
    const int rc = real(display);
    if (grabbedAt >= 0) Note("hold", grabbedAt, NowUs() - grabbedAt);
    grabbedAt = -1;
    if (presents == presentsBeforeHold) frameAt = frameBeforeHold;
    return rc;
}

SDL_Surface* SDL_GetWindowSurface(SDL_Window* window) {
    static SDL_Surface* (*real)(SDL_Window*);
    if (real == NULL) real = (SDL_Surface* (*)(SDL_Window*))dlsym(RTLD_NEXT, "SDL_GetWindowSurface");
    Mark();
    return real(window);
}

int SDL_LockTexture(SDL_Texture* texture, const SDL_Rect* rect, void** pixels, int* pitch) {
    static int (*real)(SDL_Texture*, const SDL_Rect*, void**, int*);
    if (real == NULL) real = (int (*)(SDL_Texture*, const SDL_Rect*, void**, int*))dlsym(RTLD_NEXT, "SDL_LockTexture");
    Mark();
    return real(texture, rect, pixels, pitch);
}

void SDL_RenderPresent(SDL_Renderer* renderer) {
    static void (*real)(SDL_Renderer*);
    if (real == NULL) real = (void (*)(SDL_Renderer*))dlsym(RTLD_NEXT, "SDL_RenderPresent");
    Mark();
    real(renderer);
    Note("present", frameAt, NowUs() - frameAt);
    frameAt = -1;
    ++presents;
}
