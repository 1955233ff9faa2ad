// What the program costs on the real GL: the time of a frame at every depth
// and mode beside the bare cost of the same cube primitives in one flat loop,
// the time from start to the first frame on the screen, resident memory over
// many frames, and heap allocations made by the program's own code per frame.
#include "../app/app.h"
#include "../sponge/sponge.h"

#include <benchmark/benchmark.h>

#include "../tests/viewer.h"

#include <cmath>
#include <cstdlib>
#include <map>
#include <unistd.h>

namespace {

// One leaf cube as the renderer issues it: where it is translated to, and its edge.
struct leaf {
    float x, y, z;
    double edge;
};

bool capturing = false;
std::vector<leaf> captured;
long allocations = 0; // made by code linked into this program, not by shared libraries

} // namespace

// The program's calls and the bare loop's reach GLUT and GL through these
// (the benchmark is linked with --wrap), so both pay the same small toll.
// While capturing, the calls are recorded instead of drawn.
extern "C" {
void __real_glTranslatef(GLfloat x, GLfloat y, GLfloat z);
void __real_glutSolidCube(double size);
void __real_glutWireCube(double size);
void* __real_malloc(size_t size);
void* __real_calloc(size_t count, size_t size);
void* __real_realloc(void* p, size_t size);
void* __real__Znwm(size_t size); // operator new
void* __real__Znam(size_t size); // operator new[]

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
void* __wrap_calloc(size_t count, size_t size) {
    ++allocations;
    return __real_calloc(count, size);
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

void set_mode(int depth, bool inverse_mode, bool solid_mode) {
    iterations = depth;
    inverse = inverse_mode;
    solid = solid_mode;
}

void frame(benchmark::State& state, int depth, bool inverse_mode, bool solid_mode) {
    set_mode(depth, inverse_mode, solid_mode);
    for (auto _ : state) {
        display();
        glFinish();
    }
}

// The same cubes, each inside a matrix save, translate and restore, without
// the recursion: what any renderer issuing these primitives must pay.
void bare(benchmark::State& state, int depth, bool inverse_mode, bool solid_mode) {
    set_mode(depth, inverse_mode, solid_mode);
    captured.clear();
    capturing = true;
    draw_sponge(depth, 0.0f, 0.0f, 0.0f, 2.0f);
    capturing = false;
    const std::vector<leaf> leaves = std::move(captured);
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        for (const leaf& c : leaves) {
            glPushMatrix();
            glTranslatef(c.x, c.y, c.z);
            if (solid_mode) {
                glutSolidCube(c.edge);
            } else {
                glutWireCube(c.edge);
            }
            glPopMatrix();
        }
        glFlush();
        glFinish();
    }
    state.counters["cubes"] = static_cast<double>(leaves.size());
}

double cpu_ms() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// The renderer's own work, without the GPU's: the recursion with translations
// and cube primitives skipped (captured instead), beside the flat loop's.
void own_work_report(int depth) {
    set_mode(depth, false, true);
    captured.clear();
    captured.reserve(3300000);
    capturing = true;
    const double start = cpu_ms();
    draw_sponge(depth, 0.0f, 0.0f, 0.0f, 2.0f);
    const double recursion = cpu_ms() - start;
    const std::vector<leaf> leaves = captured;
    captured.clear();
    const double flat_start = cpu_ms();
    for (const leaf& c : leaves) {
        glPushMatrix();
        glTranslatef(c.x, c.y, c.z);
        glutSolidCube(c.edge);
        glPopMatrix();
    }
    const double flat = cpu_ms() - flat_start;
    capturing = false;
    std::printf("- The renderer's own work at depth %d, with the translations and cube primitives "
                "recorded instead of drawn: %.1f ms for %zu cubes (the flat loop: %.1f ms).\n",
                depth, recursion, leaves.size(), flat);
}

long resident_kib() {
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) {
            resident = 0;
        }
        std::fclose(f);
    }
    return resident * sysconf(_SC_PAGESIZE) / 1024;
}

void memory_report() {
    set_mode(3, false, true);
    for (int i = 0; i < 10; ++i) {
        display();
    }
    glFinish();
    const long after_10 = resident_kib();
    for (int i = 10; i < 1000; ++i) {
        display();
    }
    glFinish();
    const long after_1000 = resident_kib();

    long own = 0;
    for (const bool inv : {false, true}) {
        for (const bool sol : {true, false}) {
            set_mode(3, inv, sol);
            const long before = allocations;
            display();
            glFinish();
            own += allocations - before;
        }
    }
    std::printf("- Resident memory: %ld KiB after 10 frames at depth 3, %ld KiB after 1000 "
                "(growth %ld KiB).\n",
                after_10, after_1000, after_1000 - after_10);
    std::printf("- Heap allocations made by the program's own code in four frames at depth 3 "
                "(normal and inverse, solid and wire): %ld.\n",
                own);
}

// Keeps the fastest time of every case, for the table after the runs.
class table_reporter : public benchmark::ConsoleReporter {
  public:
    table_reporter() : ConsoleReporter(OO_Tabular) {} // no colours: the output goes to a file
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs) {
            if (r.aggregate_name == "min") {
                fastest_ms[r.run_name.function_name] = r.GetAdjustedRealTime();
                if (r.counters.count("cubes") != 0) {
                    cubes[r.run_name.function_name] = r.counters.at("cubes");
                }
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> fastest_ms, cubes;
};

// From starting the process to the first frame on the screen (its green front faces).
void startup_report() {
    std::vector<double> ms;
    for (int run = 0; run < 10; ++run) {
        const auto start = clock_type::now();
        viewer v;
        const bool shown = v.shows(
            [](const std::vector<rgb>& p, int width, int height) {
                return count_wrong(p, width, height, 250, 3, front_face_green(), in_carpet) == 0;
            },
            20s);
        if (shown) {
            ms.push_back(
                std::chrono::duration<double, std::milli>(clock_type::now() - start).count());
        }
    }
    std::sort(ms.begin(), ms.end());
    if (!ms.empty()) {
        std::printf("- From starting the process to its first frame on the screen: median %.0f ms, "
                    "fastest %.0f ms, slowest %.0f ms (%zu runs).\n",
                    ms[ms.size() / 2], ms.front(), ms.back(), ms.size());
    }
}

} // namespace

double fastest(const std::vector<double>& times) {
    return *std::min_element(times.begin(), times.end());
}

const char* const modes[] = {"normal/solid", "normal/wire", "inverse/solid", "inverse/wire"};

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    const int max_depth = argc > 1 && std::string(argv[1]) == "--quick" ? 3 : 5;
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_SINGLE | GLUT_DEPTH);
    glutInitWindowSize(500, 500);
    glutCreateWindow("Menger Sponge - benchmark");
    init();
    reshape(500, 500);

    for (int depth = 0; depth <= max_depth; ++depth) {
        for (const std::string mode : modes) {
            const bool inv = mode.rfind("inverse", 0) == 0,
                       sol = mode.find("solid") != std::string::npos;
            // Deep frames take seconds in software: fewer, single-frame runs.
            // The fastest run is kept: the machine's noise only ever adds time.
            for (const auto& [kind, fn] : {std::pair{"frame/", frame}, std::pair{"bare/", bare}}) {
                auto* b =
                    benchmark::RegisterBenchmark(
                        (kind + std::to_string(depth) + "/" + mode).c_str(), fn, depth, inv, sol)
                        ->UseRealTime()
                        ->Unit(benchmark::kMillisecond)
                        ->Repetitions(depth >= 5   ? 3
                                      : depth == 4 ? 5
                                                   : 9)
                        ->ComputeStatistics("min", fastest)
                        ->ReportAggregatesOnly(true);
                if (depth >= 4) {
                    b->Iterations(depth >= 5 ? 1 : 3);
                }
            }
        }
    }
    table_reporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::printf("\n--- report ---\n");
    std::printf("Renderer: %s (%s)\n\n", reinterpret_cast<const char*>(glGetString(GL_RENDERER)),
                reinterpret_cast<const char*>(glGetString(GL_VERSION)));
    std::printf("| depth | mode | cubes per frame | frame ms | bare ms | ratio |\n");
    std::printf("|---:|---|---:|---:|---:|---:|\n");
    for (int depth = 0; depth <= max_depth; ++depth) {
        for (const std::string mode : modes) {
            const std::string name = std::to_string(depth) + "/" + mode;
            if (reporter.fastest_ms.count("frame/" + name) == 0) {
                continue; // left out by --benchmark_filter
            }
            const double f = reporter.fastest_ms["frame/" + name],
                         b = reporter.fastest_ms["bare/" + name];
            std::printf("| %d | %s | %.0f | %.3f | %.3f | %.3f |\n", depth, mode.c_str(),
                        reporter.cubes["bare/" + name], f, b, f / b);
        }
    }
    std::printf("\n");
    own_work_report(max_depth);
    memory_report();
    startup_report();
    return 0;
}
