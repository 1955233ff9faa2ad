// Drives the built program from outside, as a person would, on the test display: starts it,
// finds its window by its title, types and clicks with xdotool (real XTest events) and reads
// what the window shows. Include it after gtest: Xlib's macros clash with gtest's names.
#pragma once

#include <X11/Xutil.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <signal.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

struct rgb {
    int r, g, b;
};
struct picture {
    int width = 0, height = 0;
    std::vector<rgb> pixels; // top row first
};

// Polls until `done` holds; false after a time that only a stuck program takes.
template <class F> bool wait_until(F done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    for (; !done(); std::this_thread::sleep_for(std::chrono::milliseconds(10))) {
        if (std::chrono::steady_clock::now() > end) return false;
    }
    return true;
}

// What xdotool prints for these commands, or "" when they fail (a search that finds nothing).
inline std::string xdotool(const std::string& commands) {
    std::string text;
    FILE* pipe = popen(("xdotool " + commands + " 2>/dev/null").c_str(), "r");
    for (int c; (c = std::fgetc(pipe)) != EOF;) text += char(c);
    return pclose(pipe) == 0 ? text : "";
}

class viewer {
  public:
    // Starts $MENGER_SPONGE, a shell command, or else the program built here, and waits for its
    // window. Keys go to the window under the pointer once clicked, as no window manager gives
    // the focus. Inside a frame of its own, as Wine draws one, the window is the frame's child.
    viewer() : dpy(XOpenDisplay(nullptr)) {
        XSetErrorHandler([](Display*, XErrorEvent*) { return 0; }); // it may go at any time
        if ((pid = fork()) == 0) {
            const char* command = std::getenv("MENGER_SPONGE");
            execl("/bin/sh", "sh", "-c", command ? command : "exec " VIEWER, nullptr);
            _exit(127);
        }
        std::string found;
        wait_until([&] {
            return !(found = xdotool("search --onlyvisible --name '^" + title + "$'")).empty();
        });
        window = std::strtoul(found.c_str(), nullptr, 10);
        XSetInputFocus(dpy, PointerRoot, RevertToPointerRoot, CurrentTime);
        xdotool("windowmove " + std::to_string(window) + " 0 0 mousemove 250 250 click 1");
        Window root, parent, *children = nullptr;
        unsigned n = 0;
        XQueryTree(dpy, window, &root, &parent, &children, &n);
        window = n > 0 ? children[0] : window;
        XFree(children);
    }
    ~viewer() {
        if (pid > 0) kill(pid, SIGKILL), waitpid(pid, nullptr, 0);
        XCloseDisplay(dpy);
    }

    // Presses and releases the keys of these characters (27: Esc).
    void type(const std::string& keys) {
        for (const char c : keys) xdotool(c == 27 ? "key Escape" : "key " + std::string(1, c));
    }

    // Chooses menu entry `index` (0 at the top). The right button opens the menu; released
    // before any entry is marked, it leaves the menu open. A move onto the entry marks it, a
    // click chooses it, and the menu goes.
    bool choose(int index) {
        const std::string menu = "search --onlyvisible --name '^freeglut menu$' ";
        std::string at;
        xdotool("mousedown 3");
        const bool shown =
            wait_until([&] { return !(at = xdotool(menu + "getwindowgeometry --shell")).empty(); });
        xdotool("mouseup 3");
        int x = 0, y = 0, width = 0, height = 0;
        std::sscanf(at.c_str(), "WINDOW=%*d X=%d Y=%d WIDTH=%d HEIGHT=%d", &x, &y, &width, &height);
        const std::string across = " " + std::to_string(x + width / 2) + " ";
        const int down = y + height * (2 * index + 1) / 22;
        xdotool("mousemove" + across + std::to_string(down - 1) + " mousemove" + across +
                std::to_string(down) + " click 3");
        return shown && wait_until([&] { return xdotool(menu).empty(); });
    }

    // Waits until the window shows what `check` accepts. If it never does, what it showed last
    // is kept as `name` beside the test program.
    bool shows(const std::function<bool(const picture&)>& check, const std::string& name) {
        picture p;
        if (wait_until([&] { return check(p = grab()); })) return true;
        const auto path = std::filesystem::read_symlink("/proc/self/exe").parent_path() / name;
        if (FILE* f = std::fopen(path.c_str(), "wb")) {
            std::fprintf(f, "P6 %d %d 255\n", p.width, p.height);
            for (const rgb& c : p.pixels)
                std::fputc(c.r, f), std::fputc(c.g, f), std::fputc(c.b, f);
            std::fclose(f);
        }
        return false;
    }

    // The exit status once the program has ended by itself, or -1.
    int exit_status() {
        int status = 0;
        if (!wait_until([&] { return waitpid(pid, &status, WNOHANG) == pid; })) return -1;
        pid = 0;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    inline static const std::string title = "Menger Sponge - Vardelle";
    Window window = 0;

  private:
    picture grab() {
        XWindowAttributes a{};
        XGetWindowAttributes(dpy, window, &a);
        picture p;
        if (XImage* image = XGetImage(dpy, window, 0, 0, a.width, a.height, AllPlanes, ZPixmap)) {
            p.width = a.width, p.height = a.height;
            for (int i = 0; i < a.width * a.height; ++i) {
                const unsigned long c = XGetPixel(image, i % a.width, i / a.width);
                p.pixels.push_back({int(c >> 16 & 255), int(c >> 8 & 255), int(c & 255)});
            }
            XDestroyImage(image);
        }
        return p;
    }

    Display* dpy;
    pid_t pid = 0;
};
