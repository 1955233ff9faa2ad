// Drives the built program from outside, as a person would: starts it on the
// X display, finds its window, sends real key and mouse events through XTest
// and reads the window's pixels. Include it after gtest: Xlib's macros (None,
// Bool) clash with gtest's names.
#pragma once

#include "picture.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <iterator>
#include <signal.h>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace std::chrono_literals;
using clock_type = std::chrono::steady_clock;

inline const char* const title = "Menger Sponge - Vardelle";

// X errors are counted, not fatal: the tests provoke some on purpose.
inline int x_errors = 0;
inline int count_x_error(Display*, XErrorEvent*) {
    ++x_errors;
    return 0;
}

// A key code that gives a key symbol, and whether Shift must be held for it.
struct key {
    KeyCode code;
    bool shift;
};

inline key key_for(Display* dpy, KeySym sym) {
    int low = 0, high = 0, per = 0;
    XDisplayKeycodes(dpy, &low, &high);
    KeySym* map = XGetKeyboardMapping(dpy, static_cast<KeyCode>(low), high - low + 1, &per);
    key found{0, false};
    for (int k = low; k <= high && found.code == 0; ++k) {
        for (int level = 0; level < std::min(per, 2); ++level) {
            if (map[(k - low) * per + level] == sym) {
                found = {static_cast<KeyCode>(k), level == 1};
                break;
            }
        }
    }
    XFree(map);
    return found;
}

// Binds symbols that no key gives to keys the tests never use (function
// keys, keypad, media keys), two to a key, the second with Shift.
inline void bind_keys(Display* dpy, const std::vector<KeySym>& syms) {
    int low = 0, high = 0, per = 0;
    XDisplayKeycodes(dpy, &low, &high);
    KeySym* map = XGetKeyboardMapping(dpy, static_cast<KeyCode>(low), high - low + 1, &per);
    XModifierKeymap* modifiers = XGetModifierMapping(dpy);
    const auto unused = [&](int k) {
        const KeySym* row = map + (k - low) * per;
        for (int i = 0; i < 8 * modifiers->max_keypermod; ++i) {
            if (modifiers->modifiermap[i] == k) {
                return false;
            }
        }
        return std::none_of(row, row + per, [](KeySym s) {
            return (s >= 0x20 && s < 0x7f) || s == XK_Delete || s == XK_Escape;
        });
    };
    std::vector<KeySym> unbound;
    std::copy_if(syms.begin(), syms.end(), std::back_inserter(unbound),
                 [&](KeySym sym) { return key_for(dpy, sym).code == 0; });
    for (int k = high; k >= low && !unbound.empty(); --k) {
        if (unused(k)) {
            KeySym pair[2] = {unbound.back(), unbound[unbound.size() > 1 ? unbound.size() - 2 : 0]};
            XChangeKeyboardMapping(dpy, k, 2, pair, 1);
            unbound.resize(unbound.size() > 1 ? unbound.size() - 2 : 0);
        }
    }
    XFreeModifiermap(modifiers);
    XFree(map);
    XSync(dpy, False);
}

// Polls `done` until it holds, or gives up after `limit`.
template <class F> bool wait_until(F done, std::chrono::milliseconds limit) {
    for (const auto end = clock_type::now() + limit; !done(); std::this_thread::sleep_for(20ms)) {
        if (clock_type::now() > end) {
            return false;
        }
    }
    return true;
}

// One run of the program, with its window found on the display.
class viewer {
  public:
    // Starts the program; `keys` are bound to keys first, for it to see.
    explicit viewer(bool with_display = true, const std::vector<KeySym>& keys = {}) {
        if (with_display) {
            // A server that resets as its last client leaves refuses for a moment.
            if (!wait_until([this] { return (dpy = XOpenDisplay(nullptr)) != nullptr; }, 5s)) {
                throw std::runtime_error("cannot open the display");
            }
            XSetErrorHandler(count_x_error);
            bind_keys(dpy, keys);
            // A window left by another run must not be taken for this one.
            find_top([this](Window w) { return (others.push_back(w), false); });
        }
        int out[2];
        if (pipe(out) != 0) {
            throw std::runtime_error("pipe");
        }
        pid = fork();
        if (pid == 0) {
            dup2(out[1], 2);
            if (!with_display) {
                unsetenv("DISPLAY");
            }
            // MENGER_SPONGE names another build of the program, such as an installed one.
            const char* program =
                std::getenv("MENGER_SPONGE") ? std::getenv("MENGER_SPONGE") : VIEWER;
            execl(program, program, static_cast<char*>(nullptr));
            _exit(127);
        }
        close(out[1]);
        messages = out[0];
        if (!with_display) {
            return;
        }
        const auto titled = [this](Window w) {
            char* name = nullptr;
            XWindowAttributes a;
            const bool match = std::count(others.begin(), others.end(), w) == 0 &&
                               XFetchName(dpy, w, &name) != 0 && std::strcmp(name, title) == 0 &&
                               XGetWindowAttributes(dpy, w, &a) && a.map_state == IsViewable;
            XFree(name);
            return match;
        };
        if (wait_until([&] { return (window = find_top(titled)) != 0; }, 20s)) {
            // Wholly on the screen, or the screen cannot be read back; and keys
            // go to the window under the pointer, as there is no window manager.
            XMoveWindow(dpy, window, left, top);
            XTestFakeMotionEvent(dpy, -1, left + 250, top + 250, 0);
            XSync(dpy, False);
        }
    }

    ~viewer() {
        if (alive()) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        close(messages);
        if (dpy != nullptr) {
            XCloseDisplay(dpy);
        }
    }

    bool alive() { return status < 0 && waitpid(pid, &status, WNOHANG) != pid; }

    // The exit status once the process has ended, or -1 if it runs on past the time.
    int exit_status(std::chrono::seconds limit = 10s) {
        wait_until([this] { return !alive(); }, limit);
        return alive() || !WIFEXITED(status) ? -1 : WEXITSTATUS(status);
    }

    std::string stderr_text() {
        std::string text;
        char buffer[256];
        for (ssize_t n; (n = read(messages, buffer, sizeof buffer)) > 0;) {
            text.append(buffer, static_cast<size_t>(n));
        }
        return text;
    }

    // Presses and releases the key that gives `sym`, with Control held if asked.
    bool press(KeySym sym, bool control = false) {
        const key k = key_for(dpy, sym);
        if (k.code == 0) {
            return false;
        }
        const KeyCode ctrl = XKeysymToKeycode(dpy, XK_Control_L);
        const KeyCode shift = XKeysymToKeycode(dpy, XK_Shift_L);
        if (control) {
            XTestFakeKeyEvent(dpy, ctrl, True, 0);
        }
        if (k.shift) {
            XTestFakeKeyEvent(dpy, shift, True, 0);
        }
        XTestFakeKeyEvent(dpy, k.code, True, 0);
        XTestFakeKeyEvent(dpy, k.code, False, 0);
        if (k.shift) {
            XTestFakeKeyEvent(dpy, shift, False, 0);
        }
        if (control) {
            XTestFakeKeyEvent(dpy, ctrl, False, 0);
        }
        XSync(dpy, False);
        return true;
    }

    bool type(const std::string& keys) {
        return std::all_of(keys.begin(), keys.end(),
                           [this](char c) { return press(static_cast<unsigned char>(c)); });
    }

    // A right click in the window opens the menu; a click on entry `index` chooses it.
    bool choose_menu_entry(int index) {
        XTestFakeMotionEvent(dpy, -1, left + 250, top + 250, 0);
        click();
        // The menu is the one other mapped top-level window, and overrides redirection.
        Window menu = 0;
        const auto is_menu = [this](Window w) {
            XWindowAttributes a;
            return w != window && XGetWindowAttributes(dpy, w, &a) && a.map_state == IsViewable &&
                   a.override_redirect;
        };
        if (!wait_until([&] { return (menu = find_top(is_menu)) != 0; }, 10s)) {
            return false;
        }
        XWindowAttributes a;
        XGetWindowAttributes(dpy, menu, &a);
        const double entry = a.height / 11.0;
        XTestFakeMotionEvent(dpy, -1, a.x + a.width / 2,
                             a.y + static_cast<int>(entry * (index + 0.5)), 0);
        XSync(dpy, False);
        std::this_thread::sleep_for(100ms); // the menu marks the entry under the pointer
        click();
        return true;
    }

    void resize(int width, int height) {
        XResizeWindow(dpy, window, width, height);
        XSync(dpy, False);
        std::this_thread::sleep_for(100ms);
    }

    // The window's pixels, bottom row first, as the tests of the frame read them.
    std::vector<rgb> grab(int& width, int& height) {
        XWindowAttributes a;
        XGetWindowAttributes(dpy, window, &a);
        width = a.width;
        height = a.height;
        XImage* image = XGetImage(dpy, window, 0, 0, width, height, AllPlanes, ZPixmap);
        std::vector<rgb> picture(static_cast<size_t>(width) * height);
        for (int y = 0; y < height && image != nullptr; ++y) {
            for (int x = 0; x < width; ++x) {
                const unsigned long p = XGetPixel(image, x, y);
                picture[static_cast<size_t>(height - 1 - y) * width + x] = {
                    static_cast<int>((p >> 16) & 255), static_cast<int>((p >> 8) & 255),
                    static_cast<int>(p & 255)};
            }
        }
        if (image != nullptr) {
            XDestroyImage(image);
        }
        return picture;
    }

    // Waits until the window shows what `check` accepts; a frame at depth 3
    // and a slow sanitizer build both take their time.
    bool shows(const std::function<bool(const std::vector<rgb>&, int, int)>& check,
               std::chrono::seconds limit = 20s) {
        int width = 0, height = 0;
        std::vector<rgb> picture;
        const auto seen = [&] { return check(picture = grab(width, height), width, height); };
        if (wait_until(seen, limit)) {
            return true;
        }
        save(picture, width, height, failure_picture);
        return false;
    }

    Display* dpy = nullptr;
    Window window = 0;
    std::string failure_picture = "last-picture.ppm"; // where shows() leaves what it saw
    static constexpr int left = 20, top = 20;

  private:
    void click() {
        XTestFakeButtonEvent(dpy, 3, True, 0);
        XTestFakeButtonEvent(dpy, 3, False, 0);
        XSync(dpy, False);
    }

    // Keeps what the window last showed, for whoever reads the failure.
    static void save(const std::vector<rgb>& picture, int width, int height,
                     const std::string& name) {
        if (FILE* f = std::fopen(name.c_str(), "wb")) {
            std::fprintf(f, "P6 %d %d 255\n", width, height);
            for (int y = height - 1; y >= 0; --y) {
                for (int x = 0; x < width; ++x) {
                    const rgb& p = picture[static_cast<size_t>(y) * width + x];
                    std::fputc(p.r, f), std::fputc(p.g, f), std::fputc(p.b, f);
                }
            }
            std::fclose(f);
            std::printf("The window's last picture is in %s\n", name.c_str());
        }
    }

    // The first top-level window that `matches`, or 0.
    template <class F> Window find_top(F matches) {
        Window root, parent, *children = nullptr;
        unsigned n = 0;
        Window found = 0;
        XQueryTree(dpy, DefaultRootWindow(dpy), &root, &parent, &children, &n);
        for (unsigned i = 0; i < n && found == 0; ++i) {
            found = matches(children[i]) ? children[i] : 0;
        }
        XFree(children);
        return found;
    }

    std::vector<Window> others; // top-level windows there before the program started
    pid_t pid = -1;
    int status = -1;
    int messages = -1;
};
