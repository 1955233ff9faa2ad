// What a frame costs on the real GL, at every depth and mode, beside the same cube primitives
// issued from one flat loop; and the time from starting the program to its first frame.
#include "../app/app.h"
#include "../sponge/sponge.h"

#include <benchmark/benchmark.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <signal.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

// A leaf cube as the renderer issues it: where the modelview matrix has moved to, and its edge.
struct leaf {
    float x, y, z;
    double edge;
};
static bool capturing = false;
static std::vector<leaf> captured;

// The program's cube primitives and the flat loop's pass through these (the benchmark is linked
// with --wrap), so that both pay the same small toll; while capturing, a cube is recorded instead.
extern "C" {
void __real_glutSolidCube(double size), __real_glutWireCube(double size);
static bool captures(double edge) {
    if (capturing) {
        GLfloat m[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, m);
        captured.push_back({m[12], m[13], m[14], edge});
    }
    return capturing;
}
void __wrap_glutSolidCube(double size) {
    if (!captures(size)) { __real_glutSolidCube(size); }
}
void __wrap_glutWireCube(double size) {
    if (!captures(size)) { __real_glutWireCube(size); }
}
}

enum mode { normal_solid, normal_wire, inverse_solid, inverse_wire };
static const struct {
    const char* name;
    bool inverse, solid;
} modes[] = { // in the enum's order
    {"normal/solid", false, true},
    {"normal/wire", false, false},
    {"inverse/solid", true, true},
    {"inverse/wire", true, false}};

// The leaves of a frame at `depth` in mode `m`, which becomes the current one.
static std::vector<leaf> leaves(int depth, mode m) {
    iterations = depth;
    inverse = modes[m].inverse;
    solid = modes[m].solid;
    captured.clear();
    capturing = true;
    draw_sponge(depth, 0.0f, 0.0f, 0.0f, 2.0f);
    capturing = false;
    return std::move(captured);
}

// One whole frame as the program draws it, finished.
static void frame(benchmark::State& state, int depth, mode m) {
    leaves(depth, m);
    for (auto _ : state) {
        display();
        glFinish();
    }
}

// The same cubes, each inside a matrix save, translate and restore, from one flat loop without
// the recursion: what any renderer issuing these primitives must pay.
static void bare(benchmark::State& state, int depth, mode m) {
    const std::vector<leaf> cubes = leaves(depth, m);
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        for (const leaf& c : cubes) {
            glPushMatrix();
            glTranslatef(c.x, c.y, c.z);
            (solid ? glutSolidCube : glutWireCube)(c.edge);
            glPopMatrix();
        }
        glFlush();
        glFinish();
    }
}

// From starting the program to its first frame on the screen: until the middle of a corner cell
// of its window, which opens at the screen's top left corner, turns green; 20 seconds at most.
static bool startup_failed = false;
static void startup(benchmark::State& state, Display* display) {
    for (auto _ : state) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        const pid_t pid = fork();
        if (pid == 0) {
            execl(VIEWER, VIEWER, static_cast<char*>(nullptr));
            _exit(127);
        }
        bool shown = false;
        while (!shown && std::chrono::steady_clock::now() < end) {
            XImage* image =
                XGetImage(display, DefaultRootWindow(display), 166, 166, 1, 1, AllPlanes, ZPixmap);
            shown = (XGetPixel(image, 0, 0) >> 8 & 255) > 100;
            XDestroyImage(image);
        }
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        startup_failed = startup_failed || !shown;
    }
}

// Keeps the median of each case's repetitions, in ms, by the case's name.
struct medians : benchmark::ConsoleReporter {
    medians() : ConsoleReporter(OO_Tabular) {} // no colours
    std::map<std::string, double> ms;
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.aggregate_name == "median") {
                ms[run.run_name.function_name] = run.GetAdjustedRealTime();
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

// One case, timed as the median of its repetitions of one run each, wall-clock.
template <typename... Args>
static void add(const std::string& name, int repetitions, Args... args) {
    benchmark::RegisterBenchmark(name.c_str(), args...)
        ->Iterations(1)
        ->Repetitions(repetitions)
        ->ReportAggregatesOnly(true)
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond);
}

// ./frame_benchmark [--quick]: depths 0 to 5, or to 3 only. Google Benchmark's own options follow.
int main(int argc, char** argv) {
    const int deepest = argc > 1 && std::string(argv[1]) == "--quick" ? 3 : 5;
    benchmark::Initialize(&argc, argv);
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_SINGLE | GLUT_DEPTH);
    glutInitWindowSize(500, 500);
    glutInitWindowPosition(600, 0); // away from where the program's own window opens
    glutCreateWindow("Menger Sponge - benchmark");
    init();
    reshape(500, 500);
    for (int depth = 0; depth <= deepest; ++depth) {
        for (const mode m : {normal_solid, normal_wire, inverse_solid, inverse_wire}) {
            const std::string name = std::to_string(depth) + " " + modes[m].name;
            add("frame " + name, depth >= 5 ? 3 : depth == 4 ? 5 : 9, frame, depth, m);
            add("bare " + name, depth >= 5 ? 3 : depth == 4 ? 5 : 9, bare, depth, m);
        }
    }
    Display* display = XOpenDisplay(nullptr);
    add("startup", 10, startup, display);
    medians report;
    benchmark::RunSpecifiedBenchmarks(&report);
    if (startup_failed) {
        std::fprintf(stderr, "The program did not show its first frame within 20 seconds.\n");
        return 1;
    }

    std::printf(
        "Renderer: %s (%s)\n\n| depth / mode | cubes per frame | frame ms | bare ms | ratio "
        "|\n|---|---:|---:|---:|---:|\n",
        reinterpret_cast<const char*>(glGetString(GL_RENDERER)),
        reinterpret_cast<const char*>(glGetString(GL_VERSION)));
    for (int depth = 0; depth <= deepest; ++depth) {
        for (const mode m : {normal_solid, normal_wire, inverse_solid, inverse_wire}) {
            const std::string name = std::to_string(depth) + " " + modes[m].name;
            const double frame_ms = report.ms["frame " + name], bare_ms = report.ms["bare " + name];
            std::printf("| %s | %zu | %.3f | %.3f | %.3f |\n", name.c_str(),
                        leaves(depth, m).size(), frame_ms, bare_ms, frame_ms / bare_ms);
        }
    }
    std::printf("\nFrom starting the program to its first frame on the screen: median %.0f ms "
                "(10 runs).\n",
                report.ms["startup"]);
}
