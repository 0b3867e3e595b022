// Start to main window: the program (every window created at start, as it starts for a user)
// against a bare Qt window of the same size, both started as processes in the same way, in the
// same run, on the same display. Each time runs from starting the process until it reports its
// first paint (bench/app/StartProbe.h).
//
// The display: the one QT_QPA_PLATFORM and DISPLAY name; without either, an X server of the
// benchmark's own (Xvfb) when one is installed, else the offscreen platform. The label says which.
// Offscreen makes the bare window far cheaper than any real display does (no server to talk to),
// so its ratio is not the one a user sees.
//
// Paired runs, the order alternating inside the pair, after one warm-up of each (the file
// cache). Counters:
//   program_ms, bare_ms     medians over the pairs
//   start_per_bare          program_ms / bare_ms                     goal <= 1.5
//   worst_pair              the highest ratio of a single pair
#include <QDir>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <memory>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kPairs = 15;

std::string besideMe(const char* name)
{
    char self[4096];
    const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0)
        throw std::runtime_error("cannot find the benchmark's own folder");
    self[n] = '\0';
    return (QFileInfo(QString::fromLocal8Bit(self)).absolutePath() + QLatin1Char('/') + QLatin1String(name))
        .toStdString();
}

struct Run {
    double ms = 0;
    std::string line;
};

// Starts the program with its arguments and times it until its report line arrives.
Run timeStart(const std::vector<std::string>& argv)
{
    int out[2];
    if (::pipe(out) != 0)
        throw std::runtime_error("pipe");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    // Qt's notes about the environment would fill the report.
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    const auto start = Clock::now();
    pid_t pid = 0;
    const int spawned = ::posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    if (spawned != 0) {
        ::close(out[0]);
        throw std::runtime_error("cannot start " + argv[0]);
    }
    Run r;
    char buffer[256];
    for (;;) {
        const ssize_t n = ::read(out[0], buffer, sizeof buffer);
        if (n <= 0)
            break;
        r.line.append(buffer, size_t(n));
        if (r.line.find('\n') != std::string::npos)
            break;
    }
    r.ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    ::close(out[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (r.line.rfind("shown ", 0) != 0)
        throw std::runtime_error(argv[0] + " did not report its window");
    return r;
}

// An X server for the run, ended with the benchmark.
class OwnDisplay {
public:
    OwnDisplay()
    {
        int fd[2];
        if (::pipe(fd) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        // The read end may itself be number 3: closed first, then the write end goes there.
        posix_spawn_file_actions_addclose(&actions, fd[0]);
        posix_spawn_file_actions_adddup2(&actions, fd[1], 3);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        char* args[] = {const_cast<char*>("Xvfb"), const_cast<char*>("-displayfd"), const_cast<char*>("3"),
                        const_cast<char*>("-screen"), const_cast<char*>("0"), const_cast<char*>("1280x1024x24"),
                        const_cast<char*>("-nolisten"), const_cast<char*>("tcp"), nullptr};
        const int spawned = ::posix_spawnp(&pid_, "Xvfb", &actions, nullptr, args, environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(fd[1]);
        if (spawned != 0) {
            pid_ = 0;
            ::close(fd[0]);
            return;
        }
        std::string number;
        char c;
        while (::read(fd[0], &c, 1) == 1 && c != '\n')
            number += c;
        ::close(fd[0]);
        if (!number.empty())
            display_ = ":" + number;
    }
    ~OwnDisplay()
    {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    OwnDisplay(const OwnDisplay&) = delete;
    OwnDisplay& operator=(const OwnDisplay&) = delete;
    const std::string& display() const { return display_; }

private:
    pid_t pid_ = 0;
    std::string display_;
};

// Chooses the display as the header says; returns its description.
std::string chooseDisplay(std::unique_ptr<OwnDisplay>& own)
{
    if (const char* platform = std::getenv("QT_QPA_PLATFORM"); platform && *platform)
        return platform;
    if (const char* display = std::getenv("DISPLAY"); display && *display) {
        ::setenv("QT_QPA_PLATFORM", "xcb", 1);
        return std::string("xcb on ") + display;
    }
    own = std::make_unique<OwnDisplay>();
    if (!own->display().empty()) {
        ::setenv("DISPLAY", own->display().c_str(), 1);
        ::setenv("QT_QPA_PLATFORM", "xcb", 1);
        return "xcb on the benchmark's own Xvfb";
    }
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    return "offscreen (no X server)";
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

void BM_StartToMainWindow(benchmark::State& state)
{
    std::unique_ptr<OwnDisplay> own;
    state.SetLabel(chooseDisplay(own));
    QTemporaryDir folder;
    const std::string program = besideMe("startprobe_program");
    const std::string bare = besideMe("startprobe_bare");
    const std::vector<std::string> programArgs = {program, QDir(folder.path()).absolutePath().toStdString()};
    std::vector<double> programMs, bareMs, ratios;
    try {
        // Warm-up; the program's report gives the size of its main window.
        const Run first = timeStart(programArgs);
        int width = 0, height = 0;
        if (std::sscanf(first.line.c_str(), "shown %d %d", &width, &height) != 2)
            throw std::runtime_error("unreadable report: " + first.line);
        const std::vector<std::string> bareArgs = {bare, std::to_string(width), std::to_string(height)};
        timeStart(bareArgs);
        for (auto _ : state) {
            for (int i = 0; i < kPairs; ++i) {
                double p = 0, b = 0;
                if (i % 2 == 0) {
                    p = timeStart(programArgs).ms;
                    b = timeStart(bareArgs).ms;
                } else {
                    b = timeStart(bareArgs).ms;
                    p = timeStart(programArgs).ms;
                }
                programMs.push_back(p);
                bareMs.push_back(b);
                ratios.push_back(p / b);
            }
        }
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
        return;
    }
    const double p = median(programMs);
    const double b = median(bareMs);
    state.counters["program_ms"] = p;
    state.counters["bare_ms"] = b;
    state.counters["start_per_bare"] = p / b;
    state.counters["worst_pair"] = *std::max_element(ratios.begin(), ratios.end());
}
BENCHMARK(BM_StartToMainWindow)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
