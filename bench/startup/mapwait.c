/* mapwait TITLE-SUBSTRING -- PROGRAM [ARGS...]
 * Starts PROGRAM on the current X display and prints the milliseconds from the start until a
 * top-level window whose title contains TITLE-SUBSTRING is mapped, then ends the program.
 * Measures a whole process, the way a user waits for it. */
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static double now_ms(void)
{
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6;
}

static int title_matches(Display *d, Window w, const char *want)
{
    char *name = NULL;
    int ok = 0;
    if (XFetchName(d, w, &name) && name) {
        ok = strstr(name, want) != NULL;
        XFree(name);
    }
    return ok;
}

int main(int argc, char **argv)
{
    if (argc < 4 || strcmp(argv[2], "--") != 0) {
        fprintf(stderr, "usage: mapwait TITLE -- PROGRAM [ARGS...]\n");
        return 2;
    }
    Display *d = XOpenDisplay(NULL);
    if (!d) {
        fprintf(stderr, "mapwait: no X display\n");
        return 2;
    }
    Window root = DefaultRootWindow(d);
    XSelectInput(d, root, SubstructureNotifyMask);
    XSync(d, False);

    double start = now_ms();
    pid_t pid = fork();
    if (pid == 0) {
        setpgid(0, 0);
        execvp(argv[3], argv + 3);
        _exit(127);
    }
    double found = -1;
    while (found < 0 && now_ms() - start < 30000) {
        while (XPending(d)) {
            XEvent ev;
            XNextEvent(d, &ev);
            if (ev.type == MapNotify && title_matches(d, ev.xmap.window, argv[1]))
                found = now_ms() - start;
            /* The title may arrive after the map request; watch for it. */
            if (ev.type == CreateNotify)
                XSelectInput(d, ev.xcreatewindow.window, PropertyChangeMask | StructureNotifyMask);
        }
        if (found < 0) {
            int status;
            if (waitpid(pid, &status, WNOHANG) == pid) {
                fprintf(stderr, "mapwait: program ended before mapping its window\n");
                return 1;
            }
            usleep(500);
        }
    }
    kill(-pid, SIGTERM);
    usleep(200000);
    kill(-pid, SIGKILL);
    waitpid(pid, NULL, 0);
    if (found < 0) {
        fprintf(stderr, "mapwait: no window within 30 s\n");
        return 1;
    }
    printf("%.1f\n", found);
    return 0;
}
