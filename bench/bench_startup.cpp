// Start-up from outside: launches each program in turn on the X display in $DISPLAY, times
// it from launch to its first painted top-level window, and reads its resident memory once
// it is up. The programs take turns round by round, so both see the same machine load.
//
// "Painted" is seen through the X server's DAMAGE extension: after the window is mapped,
// the first damage after which the window's pixels are no longer all one colour. Run the
// server with a black root (Xvfb -br) so that an unpainted window reads as one colour.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xdamage.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <sys/select.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

int ignoreXErrors(Display *, XErrorEvent *)
{
    return 0; // a window may vanish or be unmapped between an event and a request about it
}

bool isPainted(Display *display, Window window)
{
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes) || attributes.map_state != IsViewable)
        return false;
    XImage *image = XGetImage(display, window, 0, 0, static_cast<unsigned>(attributes.width),
        static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (!image)
        return false;
    const unsigned long first = XGetPixel(image, 0, 0);
    bool uniform = true;
    for (int y = 0; y < image->height && uniform; y += 2) {
        for (int x = 0; x < image->width && uniform; x += 2)
            uniform = XGetPixel(image, x, y) == first;
    }
    XDestroyImage(image);
    return !uniform;
}

long residentKiB(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atol(line.c_str() + 6);
    }
    return 0;
}

struct Sample
{
    double milliseconds = 0;
    double residentMiB = 0;
};

// Starts the program and waits for its first painted window of at least 100 x 100 pixels.
bool launch(Display *display, int damageEvent, const char *program, Sample &sample)
{
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, True);

    const Clock::time_point start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        freopen("/dev/null", "w", stderr); // the programs' warnings would bury the figures
        execl(program, program, static_cast<char *>(nullptr));
        _exit(127);
    }

    std::vector<std::pair<Window, Damage>> watched;
    bool painted = false;
    const int fd = ConnectionNumber(display);
    while (!painted && Clock::now() - start < std::chrono::seconds(20)) {
        if (!XPending(display)) {
            fd_set readable;
            FD_ZERO(&readable);
            FD_SET(fd, &readable);
            timeval timeout {0, 100000};
            select(fd + 1, &readable, nullptr, nullptr, &timeout);
            continue;
        }
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == CreateNotify) {
            const XCreateWindowEvent &created = event.xcreatewindow;
            if (created.width >= 100 && created.height >= 100 && !created.override_redirect)
                watched.emplace_back(
                    created.window, XDamageCreate(display, created.window, XDamageReportNonEmpty));
        } else if (event.type == MapNotify || event.type == damageEvent + XDamageNotify) {
            const Window window = event.type == MapNotify
                ? event.xmap.window
                : reinterpret_cast<XDamageNotifyEvent &>(event).drawable;
            const auto it = std::find_if(watched.begin(), watched.end(),
                [window](const auto &w) { return w.first == window; });
            if (it == watched.end())
                continue;
            XDamageSubtract(display, it->second, None, None);
            painted = isPainted(display, window);
        }
    }
    sample.milliseconds = std::chrono::duration<double, std::milli>(Clock::now() - start).count();

    // Once it is up: the memory it holds when it has settled after its first frame.
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    sample.residentMiB = static_cast<double>(residentKiB(pid)) / 1024;

    for (const auto &w : watched)
        XDamageDestroy(display, w.second);
    XSelectInput(display, root, NoEventMask);
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
    XSync(display, True);
    return painted;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 4) {
        std::fprintf(
            stderr, "usage: %s ROUNDS PROGRAM FLOOR_PROGRAM  (with DISPLAY set)\n", argv[0]);
        return 2;
    }
    const int rounds = std::atoi(argv[1]);
    const char *programs[2] = {argv[2], argv[3]};

    Display *display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "cannot open the X display\n");
        return 1;
    }
    XSetErrorHandler(ignoreXErrors);
    int damageEvent = 0;
    int damageError = 0;
    if (!XDamageQueryExtension(display, &damageEvent, &damageError)) {
        std::fprintf(stderr, "the X server has no DAMAGE extension\n");
        return 1;
    }

    std::vector<double> milliseconds[2];
    std::vector<double> resident[2];
    // One unmeasured launch each fills the file cache, as a machine that ran either before.
    for (int round = -1; round < rounds; ++round) {
        for (int turn = 0; turn < 2; ++turn) {
            const int which = (round + turn) & 1; // alternate who goes first
            Sample sample;
            if (!launch(display, damageEvent, programs[which], sample)) {
                std::fprintf(stderr, "%s showed no painted window\n", programs[which]);
                return 1;
            }
            if (round < 0)
                continue;
            milliseconds[which].push_back(sample.milliseconds);
            resident[which].push_back(sample.residentMiB);
            std::printf("round %d  %-60s %7.1f ms %7.1f MiB\n", round + 1, programs[which],
                sample.milliseconds, sample.residentMiB);
        }
    }

    const double startA = median(milliseconds[0]);
    const double startB = median(milliseconds[1]);
    const double memA = median(resident[0]);
    const double memB = median(resident[1]);
    std::printf("start-up to first painted window, median of %d: %.1f ms, bare window %.1f ms, "
                "ratio %.2f\n",
        rounds, startA, startB, startA / startB);
    std::printf(
        "resident memory once up, median of %d: %.1f MiB, bare window %.1f MiB, ratio %.2f\n",
        rounds, memA, memB, memA / memB);
    XCloseDisplay(display);
    return 0;
}
