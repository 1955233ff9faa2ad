// What the program costs on the real GL: a frame at every depth and mode beside the same cube
// primitives issued from one flat loop, the renderer's own work, memory over many frames, heap
// allocations per frame, and the time from starting the program to its first frame on screen.
#include "../app/app.h"
#include "../sponge/sponge.h"

#include <benchmark/benchmark.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <signal.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

// A leaf cube as the renderer issues it: where it is translated to, and its edge.
struct leaf {
    float x, y, z;
    double edge;
};
bool capturing = false;
std::vector<leaf> captured;

// A row of the report: the case, cubes per frame, and the fastest frame and flat loop, in ms.
struct row {
    std::string name;
    size_t cubes;
    double frame, bare;
};
std::vector<row> table;
long allocations = 0; // by code linked into this program, not by the shared libraries

} // namespace

// The program's calls and the flat loop's reach GL and GLUT through these (the benchmark is
// linked with --wrap), so that both pay the same small toll; while capturing, the cubes are
// recorded instead of drawn. The heap calls are counted.
extern "C" {
void __real_glTranslatef(GLfloat x, GLfloat y, GLfloat z);
void __real_glutSolidCube(double size), __real_glutWireCube(double size);
void *__real_malloc(size_t), *__real_calloc(size_t, size_t), *__real_realloc(void*, size_t);
void *__real__Znwm(size_t), *__real__Znam(size_t); // operator new and new[]
void __wrap_glTranslatef(GLfloat x, GLfloat y, GLfloat z) {
    if (capturing) {
        captured.push_back({x, y, z, 0.0});
    } else {
        __real_glTranslatef(x, y, z);
    }
}
void __wrap_glutSolidCube(double size) {
    if (capturing) {
        captured.back().edge = size;
    } else {
        __real_glutSolidCube(size);
    }
}
void __wrap_glutWireCube(double size) {
    if (capturing) {
        captured.back().edge = size;
    } else {
        __real_glutWireCube(size);
    }
}
void* __wrap_malloc(size_t size) {
    ++allocations;
    return __real_malloc(size);
}
void* __wrap_calloc(size_t n, size_t size) {
    ++allocations;
    return __real_calloc(n, size);
}
void* __wrap_realloc(void* p, size_t size) {
    ++allocations;
    return __real_realloc(p, size);
}
void* __wrap__Znwm(size_t size) {
    ++allocations;
    return __real__Znwm(size);
}
void* __wrap__Znam(size_t size) {
    ++allocations;
    return __real__Znam(size);
}
}

namespace {

using clock_type = std::chrono::steady_clock;
double ms_since(clock_type::time_point start) {
    return std::chrono::duration<double, std::milli>(clock_type::now() - start).count();
}

// The leaves of a frame in the current mode, recorded instead of drawn.
std::vector<leaf> leaves(int depth) {
    captured.clear();
    capturing = true;
    draw_sponge(depth, 0.0f, 0.0f, 0.0f, 2.0f);
    capturing = false;
    return std::move(captured);
}

// The same cubes, each inside a matrix save, translate and restore, without the recursion: what
// any renderer issuing these primitives must pay.
void flat(const std::vector<leaf>& cubes) {
    for (const leaf& c : cubes) {
        glPushMatrix();
        glTranslatef(c.x, c.y, c.z);
        if (solid) {
            glutSolidCube(c.edge);
        } else {
            glutWireCube(c.edge);
        }
        glPopMatrix();
    }
}

// Frames and flat loops take turns, so that a slow spell of the machine does not fall on one
// side only; the fastest of each is kept, as the machine's noise only ever adds time.
void frame_and_bare(benchmark::State& state, int depth, const char* mode) {
    iterations = depth;
    inverse = std::strstr(mode, "inverse") != nullptr;
    solid = std::strstr(mode, "wire") == nullptr;
    const std::vector<leaf> cubes = leaves(depth);
    double frame = 1e300, bare = 1e300;
    for (auto _ : state) {
        auto start = clock_type::now();
        display();
        glFinish();
        frame = std::min(frame, ms_since(start));
        start = clock_type::now();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        flat(cubes);
        glFlush();
        glFinish();
        bare = std::min(bare, ms_since(start));
    }
    state.counters["frame_ms"] = frame;
    state.counters["bare_ms"] = bare;
    table.push_back({std::to_string(depth) + " " + mode, cubes.size(), frame, bare});
}

double cpu_ms() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

long resident_kib() {
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        resident = std::fscanf(f, "%ld %ld", &pages, &resident) == 2 ? resident : 0;
        std::fclose(f);
    }
    return resident * sysconf(_SC_PAGESIZE) / 1024;
}

// From starting the program to its first frame on the screen: until the middle of a corner
// cell of its window turns green.
double startup_ms() {
    Display* dpy = XOpenDisplay(nullptr);
    const auto start = clock_type::now();
    const pid_t pid = fork();
    if (pid == 0) {
        execl(VIEWER, VIEWER, static_cast<char*>(nullptr));
        _exit(127);
    }
    for (bool shown = false; !shown && ms_since(start) < 20000;) {
        Window root, parent, *windows = nullptr;
        unsigned n = 0;
        XQueryTree(dpy, DefaultRootWindow(dpy), &root, &parent, &windows, &n);
        for (unsigned i = 0; i < n && !shown; ++i) {
            char* name = nullptr;
            XWindowAttributes a;
            if (XFetchName(dpy, windows[i], &name) &&
                !std::strcmp(name, "Menger Sponge - Vardelle") &&
                XGetWindowAttributes(dpy, windows[i], &a) && a.map_state == IsViewable) {
                XImage* image = XGetImage(dpy, windows[i], 166, 166, 1, 1, AllPlanes, ZPixmap);
                shown = image && (XGetPixel(image, 0, 0) >> 8 & 255) > 100;
                if (image) XDestroyImage(image);
            }
            XFree(name);
        }
        XFree(windows);
    }
    const double ms = ms_since(start);
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    XCloseDisplay(dpy);
    return ms;
}

void reports(int depth) {
    std::printf("Renderer: %s (%s)\n", reinterpret_cast<const char*>(glGetString(GL_RENDERER)),
                reinterpret_cast<const char*>(glGetString(GL_VERSION)));
    std::printf("\n| depth / mode | cubes per frame | frame ms | bare ms | ratio "
                "|\n|---|---:|---:|---:|---:|\n");
    for (const row& r : table) {
        std::printf("| %s | %zu | %.3f | %.3f | %.3f |\n", r.name.c_str(), r.cubes, r.frame, r.bare,
                    r.frame / r.bare);
    }
    std::printf("\n");

    // The renderer's own work, without the GPU's: the recursion with the translations and cube
    // primitives recorded instead of drawn, beside the flat loop doing the same.
    iterations = depth;
    inverse = false;
    solid = true;
    captured.reserve(3300000);
    double start = cpu_ms();
    const std::vector<leaf> cubes = leaves(depth);
    const double recursion = cpu_ms() - start;
    captured.reserve(cubes.size());
    capturing = true;
    start = cpu_ms();
    flat(cubes);
    const double flat_ms = cpu_ms() - start;
    capturing = false;
    std::printf("- The renderer's own work at depth %d, with the translations and cube primitives "
                "recorded instead of drawn: %.1f ms for %zu cubes (the flat loop: %.1f ms).\n",
                depth, recursion, cubes.size(), flat_ms);

    iterations = 3;
    long after_10 = 0, own = 0;
    for (int frames = 1; frames <= 1000; ++frames) {
        display();
        glFinish();
        if (frames == 10) { after_10 = resident_kib(); }
    }
    const long after_1000 = resident_kib();
    for (const bool inverse_view : {false, true}) {
        for (const bool solid_cubes : {true, false}) {
            inverse = inverse_view;
            solid = solid_cubes;
            const long before = allocations;
            display();
            glFinish();
            own += allocations - before;
        }
    }
    std::printf("- Resident memory: %ld KiB after 10 frames at depth 3, %ld KiB after 1000 "
                "(growth %ld KiB).\n- Heap allocations made by the program's own code in four "
                "frames at depth 3 (normal and inverse, solid and wire): %ld.\n",
                after_10, after_1000, after_1000 - after_10, own);

    std::vector<double> ms;
    for (int run = 0; run < 10; ++run) ms.push_back(startup_ms());
    std::sort(ms.begin(), ms.end());
    std::printf("- From starting the program to its first frame on the screen: median %.0f ms, "
                "fastest %.0f ms, slowest %.0f ms (%zu runs).\n",
                ms[ms.size() / 2], ms.front(), ms.back(), ms.size());
}

} // namespace

// ./frame_benchmark [--quick]: depths 0 to 5, or to 3 only.
int main(int argc, char** argv) {
    const int deepest = argc > 1 && std::string(argv[1]) == "--quick" ? 3 : 5;
    benchmark::Initialize(&argc, argv);
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_SINGLE | GLUT_DEPTH);
    glutInitWindowSize(500, 500);
    glutCreateWindow("Menger Sponge - benchmark");
    init();
    reshape(500, 500);
    for (int depth = 0; depth <= deepest; ++depth) {
        for (const char* mode : {"normal/solid", "normal/wire", "inverse/solid", "inverse/wire"}) {
            benchmark::RegisterBenchmark((std::to_string(depth) + "/" + mode).c_str(),
                                         frame_and_bare, depth, mode)
                ->Iterations(depth >= 5   ? 3
                             : depth == 4 ? 5
                                          : 9);
        }
    }
    benchmark::RunSpecifiedBenchmarks();
    reports(deepest);
}
