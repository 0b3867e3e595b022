#pragma once
// What the image benchmarks share: a project folder of one device type with its builder state,
// the three things they time (parsing the project's XML files, building the image, saving it)
// and the run that times all three and reports the ratios the targets are about.
#include "image/ImageBuilder.h"
#include "platform/xml/XmlDom.h"
#include "workspace/Workspace.h"

#include <QDir>
#include <QStringList>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <memory>

namespace image_bench {

struct BenchProject {
    QTemporaryDir dir;
    workspace::ScopedWorkspace ws;
    std::unique_ptr<image::ImageState> st = std::make_unique<image::ImageState>();
    QStringList files; // the files the build reads, each parsed by parseOnly

    explicit BenchProject(int32_t type) : ws(type)
    {
        ws->Project_Dir = dir.path();
        QDir(dir.path()).mkdir(QStringLiteral("bin"));
    }

    void parseOnly() const
    {
        for (const QString& f : files) {
            platform::XmlDocument d;
            if (!d.load(f))
                std::abort();
            benchmark::DoNotOptimize(d.firstNode());
        }
    }
    void build()
    {
        if (!image::Build_Bin(*st).ok)
            std::abort();
    }
    void save()
    {
        if (!image::Save_Bin(*st).ok)
            std::abort();
    }
};

// Parse, build and save in one run, with the ratios the target is about (build / parse at most 2).
inline void timeParseBuildSave(benchmark::State& state, BenchProject& p)
{
    using Clock = std::chrono::steady_clock;
    Clock::duration parse{}, build{}, save{};
    for (auto _ : state) {
        const auto t0 = Clock::now();
        p.parseOnly();
        const auto t1 = Clock::now();
        p.build();
        const auto t2 = Clock::now();
        p.save();
        const auto t3 = Clock::now();
        parse += t1 - t0;
        build += t2 - t1;
        save += t3 - t2;
    }
    auto ms = [&](Clock::duration d) {
        return std::chrono::duration<double, std::milli>(d).count() / static_cast<double>(state.iterations());
    };
    state.counters["parse_ms"] = ms(parse);
    state.counters["build_ms"] = ms(build);
    state.counters["save_ms"] = ms(save);
    state.counters["build_per_parse"] = ms(build) / ms(parse);
    state.counters["build_save_per_parse"] = (ms(build) + ms(save)) / ms(parse);
}

} // namespace image_bench
