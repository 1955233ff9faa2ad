// The built program as a person uses it: started on the test display, sent
// real X key and mouse events, and judged by the pixels of its window.
#include "picture.h"

#include <gtest/gtest.h>

// After gtest: Xlib's macros (None, Bool) would clash with its names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <functional>
#include <signal.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;
using clock_type = std::chrono::steady_clock;

const char* const title = "Menger Sponge - Vardelle";

int x_errors = 0;
int count_x_error(Display*, XErrorEvent*) {
    ++x_errors;
    return 0;
}

// A key code that gives a key symbol, and whether Shift must be held for it.
struct key {
    KeyCode code;
    bool shift;
};

key key_for(Display* dpy, KeySym sym) {
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
void bind_keys(Display* dpy, const std::vector<KeySym>& syms) {
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

// One run of the program, with its window found on the display.
class viewer {
  public:
    // Starts the program; `keys` are bound to keys first, for it to see.
    explicit viewer(bool with_display = true, const std::vector<KeySym>& keys = {}) {
        if (with_display) {
            // A server that resets as its last client leaves refuses for a moment.
            for (auto end = clock_type::now() + 5s; dpy == nullptr && clock_type::now() < end;) {
                dpy = XOpenDisplay(nullptr);
                std::this_thread::sleep_for(dpy == nullptr ? 50ms : 0ms);
            }
            if (dpy == nullptr) {
                throw std::runtime_error("cannot open the display");
            }
            XSetErrorHandler(count_x_error);
            bind_keys(dpy, keys);
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
            execl(VIEWER, VIEWER, static_cast<char*>(nullptr));
            _exit(127);
        }
        close(out[1]);
        messages = out[0];
        if (!with_display) {
            return;
        }
        for (auto end = clock_type::now() + 20s; window == 0 && clock_type::now() < end;) {
            std::this_thread::sleep_for(20ms);
            window = find_window(DefaultRootWindow(dpy));
        }
        if (window != 0) {
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

    bool alive() { return status < 0 && waitpid(pid, &status, WNOHANG) == 0 ? true : status < 0; }

    // The exit status once the process has ended, or -1 if it runs on past the time.
    int exit_status(std::chrono::seconds limit = 10s) {
        for (auto end = clock_type::now() + limit; alive() && clock_type::now() < end;) {
            std::this_thread::sleep_for(10ms);
        }
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
    void press(KeySym sym, bool control = false) {
        const key k = key_for(dpy, sym);
        ASSERT_NE(k.code, 0) << "no key gives symbol " << sym;
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
    }

    void type(const std::string& keys) {
        for (const char c : keys) {
            press(static_cast<unsigned char>(c));
        }
    }

    // A right click in the window opens the menu; a click on entry `index` chooses it.
    void choose_menu_entry(int index) {
        XTestFakeMotionEvent(dpy, -1, left + 250, top + 250, 0);
        click();
        Window menu = 0;
        for (auto end = clock_type::now() + 10s; menu == 0 && clock_type::now() < end;) {
            std::this_thread::sleep_for(20ms);
            menu = find_menu();
        }
        ASSERT_NE(menu, 0u) << "no menu opened";
        XWindowAttributes a;
        XGetWindowAttributes(dpy, menu, &a);
        const double entry = a.height / 11.0;
        XTestFakeMotionEvent(dpy, -1, a.x + a.width / 2,
                             a.y + static_cast<int>(entry * (index + 0.5)), 0);
        XSync(dpy, False);
        std::this_thread::sleep_for(100ms); // the menu marks the entry under the pointer
        click();
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
        for (auto end = clock_type::now() + limit; clock_type::now() < end;) {
            picture = grab(width, height);
            if (check(picture, width, height)) {
                return true;
            }
            std::this_thread::sleep_for(50ms);
        }
        save(picture, width, height);
        return false;
    }

    Display* dpy = nullptr;
    Window window = 0;
    static constexpr int left = 20, top = 20;

  private:
    void click() {
        XTestFakeButtonEvent(dpy, 3, True, 0);
        XTestFakeButtonEvent(dpy, 3, False, 0);
        XSync(dpy, False);
    }

    // Keeps what the window last showed, for whoever reads the failure.
    static void save(const std::vector<rgb>& picture, int width, int height) {
        const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
        const std::string name = std::string(test->test_suite_name()) + "." + test->name() + ".ppm";
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

    Window find_window(Window parent) {
        Window root, up, *children = nullptr;
        unsigned n = 0;
        Window found = 0;
        if (XQueryTree(dpy, parent, &root, &up, &children, &n) != 0) {
            for (unsigned i = 0; i < n && found == 0; ++i) {
                char* name = nullptr;
                if (XFetchName(dpy, children[i], &name) != 0 && name != nullptr) {
                    found = std::strcmp(name, title) == 0 ? children[i] : 0;
                    XFree(name);
                }
            }
            XFree(children);
        }
        return found;
    }

    // The menu is the one mapped top-level window besides the program's own.
    Window find_menu() {
        Window root, up, *children = nullptr;
        unsigned n = 0;
        Window found = 0;
        XQueryTree(dpy, DefaultRootWindow(dpy), &root, &up, &children, &n);
        for (unsigned i = 0; i < n; ++i) {
            XWindowAttributes a;
            if (children[i] != window && XGetWindowAttributes(dpy, children[i], &a) &&
                a.map_state == IsViewable && a.override_redirect) {
                found = children[i];
            }
        }
        XFree(children);
        return found;
    }

    pid_t pid = -1;
    int status = -1;
    int messages = -1;
};

// Checks for a face-on sponge as wide as half the window's shorter side.
auto face_on(int cells, rgb colour, bool (*filled)(int, int) = in_carpet) {
    return [=](const std::vector<rgb>& picture, int width, int height) {
        return count_wrong(picture, width, height, std::min(width, height) / 2, cells, colour,
                           filled) == 0;
    };
}
bool every_cell(int, int) {
    return true;
}
bool plus_sign(int col, int row) {
    return col == 1 || row == 1;
}

const rgb green = front_face_green(), red{255, 0, 0};

TEST(as_a_user, first_frame_lighting_depth_and_inverse_view) {
    viewer v;
    ASSERT_NE(v.window, 0u) << "no window titled " << title;
    EXPECT_TRUE(v.shows(face_on(3, green))) << "first frame";
    v.type("l");
    EXPECT_TRUE(v.shows(face_on(3, red))) << "lighting off";
    v.type("l");
    EXPECT_TRUE(v.shows(face_on(3, green))) << "lighting on again";
    v.type("2");
    EXPECT_TRUE(v.shows(face_on(9, green))) << "depth 2";
    v.type("0");
    EXPECT_TRUE(v.shows(face_on(1, green, every_cell))) << "depth 0";
    v.type("1v");
    EXPECT_TRUE(v.shows(face_on(3, any_lit, plus_sign))) << "inverse view";
    EXPECT_TRUE(v.alive());
}

TEST(as_a_user, wire_cubes_and_gaps_between_cells) {
    viewer v;
    ASSERT_TRUE(v.shows(face_on(3, green)));
    v.type("f");
    // Wire cubes: the cell edges are lit, the faces open.
    EXPECT_TRUE(v.shows([](const std::vector<rgb>& p, int width, int) {
        int lit_on_edges = 0, lit_inside = 0;
        for (int i = 0; i < 4; ++i) {
            const int edge = 125 + 250 * i / 3;
            for (int y = 140; y < 360; ++y) {
                lit_on_edges += near(p[static_cast<size_t>(y) * width + edge], any_lit) ||
                                near(p[static_cast<size_t>(y) * width + edge - 1], any_lit);
            }
        }
        for (const int c : {166, 250, 333}) {
            for (int d = -30; d < 30; ++d) {
                lit_inside += near(p[static_cast<size_t>(c + d) * width + c + d], any_lit);
            }
        }
        return lit_on_edges > 4 * 200 && lit_inside == 0;
    })) << "wire cubes";
    v.type("f------");
    // Cubes at 94 % of their cells leave five-pixel gaps on the cell edges.
    EXPECT_TRUE(v.shows([](const std::vector<rgb>& p, int width, int height) {
        int lit_in_gaps = 0;
        for (const int edge : {208, 291}) {
            for (int y = 140; y < 360; ++y) {
                lit_in_gaps += near(p[static_cast<size_t>(y) * width + edge], any_lit);
            }
        }
        return lit_in_gaps == 0 &&
               count_wrong(p, width, height, 250, 3, green, [](int, int) { return false; }) > 40000;
    })) << "gaps";
    v.type("++++++");
    EXPECT_TRUE(v.shows(face_on(3, green))) << "gaps closed";
}

TEST(as_a_user, a_turn_survives_a_resize_and_the_sponge_stays_square) {
    viewer v;
    ASSERT_TRUE(v.shows(face_on(3, green)));
    // Three turns of 5 degrees about y: the box around the sponge widens to
    // cos 15 + sin 15 of its face-on width, and keeps its height.
    const auto turned = [](const std::vector<rgb>& p, int width, int height) {
        int left = width, right = -1, bottom = height, top = -1;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                if (near(p[static_cast<size_t>(y) * width + x], any_lit)) {
                    left = std::min(left, x), right = std::max(right, x);
                    bottom = std::min(bottom, y), top = std::max(top, y);
                }
            }
        }
        const double pi = std::acos(-1.0), side = std::min(width, height) / 2.0;
        const double wide = side * (std::cos(pi / 12) + std::sin(pi / 12));
        return std::abs(right + 1 - left - wide) < 3 && std::abs(top + 1 - bottom - side) < 3 &&
               std::abs(left + right + 1 - width) < 3 && std::abs(top + bottom + 1 - height) < 3;
    };
    v.type("aaa");
    EXPECT_TRUE(v.shows(turned)) << "turned";
    v.resize(1000, 500);
    EXPECT_TRUE(v.shows(turned)) << "turned, in a wide window";
    v.resize(500, 800);
    EXPECT_TRUE(v.shows(turned)) << "turned, in a tall window";
}

TEST(as_a_user, menu_switches_lighting_and_exits) {
    viewer v;
    ASSERT_TRUE(v.shows(face_on(3, green)));
    v.choose_menu_entry(0); // "Lighting\tL"
    EXPECT_TRUE(v.shows(face_on(3, red))) << "lighting off from the menu";
    v.choose_menu_entry(3); // "Exit demo\tEsc"
    EXPECT_EQ(v.exit_status(), 0);
}

TEST(as_a_user, esc_exits_with_status_zero) {
    viewer v;
    ASSERT_TRUE(v.shows(face_on(3, green)));
    v.press(XK_Escape);
    EXPECT_EQ(v.exit_status(), 0);
}

TEST(bad_input, every_byte_x_can_type_leaves_the_picture_alone) {
    std::vector<KeySym> latin1;
    for (KeySym sym = 160; sym < 256; ++sym) {
        latin1.push_back(sym);
    }
    viewer v(true, latin1);
    ASSERT_TRUE(v.shows(face_on(3, green)));

    const std::string commands = "qeadswlvf012345+-";
    int sent = 0;
    for (int byte = 0; byte < 256; ++byte) {
        if (byte == 27 || commands.find(static_cast<char>(byte)) != std::string::npos) {
            continue; // Esc ends the program; the commands have tests of their own
        }
        if (byte < 32) {
            v.press(byte | 0x40, true); // Control with @, A to Z, [ \ ] ^ _
        } else if (byte == 127) {
            v.press(XK_Delete);
        } else if (byte < 127 || byte >= 160) {
            v.press(byte); // Latin-1 key symbols are their own codes
        } else {
            continue; // 128 to 159: no key symbol gives these
        }
        ++sent;
    }
    EXPECT_EQ(sent, 256 - 1 - 17 - 32);
    EXPECT_TRUE(v.alive());
    EXPECT_TRUE(v.shows(face_on(3, green))) << "the picture after every byte";
}

TEST(bad_input, a_burst_of_keys_at_depth_three_is_absorbed) {
    viewer v;
    ASSERT_TRUE(v.shows(face_on(3, green)));
    v.type("3");
    ASSERT_TRUE(v.shows(face_on(27, green)));
    for (int i = 0; i < 500; ++i) { // 1,000 events: a press and a release each
        v.press('x');
    }
    v.type("0");
    EXPECT_TRUE(v.shows(face_on(1, green, every_cell), 60s)) << "a key after the burst";
    EXPECT_TRUE(v.alive());
}

TEST(bad_input, tiny_zero_and_huge_windows_then_the_normal_picture) {
    viewer v;
    ASSERT_TRUE(v.shows(face_on(3, green)));
    v.resize(1, 1);
    x_errors = 0;
    v.resize(0, 500); // X refuses a zero size with an error
    v.resize(500, 0);
    EXPECT_EQ(x_errors, 2);
    v.resize(4000, 4000);
    v.resize(500, 500);
    EXPECT_TRUE(v.shows(face_on(3, green)));
    EXPECT_TRUE(v.alive());
}

TEST(bad_input, no_display_ends_at_once_with_glut_s_message) {
    viewer v(false);
    EXPECT_GT(v.exit_status(5s), 0);
    EXPECT_NE(v.stderr_text().find("failed to open display"), std::string::npos);
}

} // namespace
