// Time of one "Test Popup" without the browser: generate, compose and write
// the default record's page (to a scratch directory, replacing it each time),
// next to writing the same bytes straight over the page, as a baseline for
// what the whole-or-nothing write costs.
#include "generator/TestPageWriter.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include <stdlib.h>

namespace {

// A scratch directory for one benchmark, removed with what it holds.
class ScratchDir {
public:
    ScratchDir()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "tavrin-bench-XXXXXX").string();
        path_ = mkdtemp(pattern.data());
    }
    ~ScratchDir()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    std::string page() const { return (path_ / "tvtest.htm").string(); }

private:
    std::filesystem::path path_;
};

std::string defaultPage()
{
    tavrin::PopupSettings s = tavrin::PopupSettings::defaults();
    return tavrin::TestPageWriter::composePage(tavrin::ScriptGenerator::generate(s), *s.trigger);
}

void BM_ComposeAndWriteDefaultPage(benchmark::State& state)
{
    const ScratchDir dir;
    const tavrin::TestPageWriter writer(dir.page());
    for (auto _ : state) {
        if (!writer.writePage(defaultPage())) {
            state.SkipWithError("the page could not be written");
            break;
        }
    }
}
BENCHMARK(BM_ComposeAndWriteDefaultPage)->Unit(benchmark::kMicrosecond);

void BM_PlainWriteOfTheSamePage(benchmark::State& state)
{
    const ScratchDir dir;
    const std::string path = dir.page();
    for (auto _ : state) {
        const std::string page = defaultPage();
        std::FILE* file = std::fopen(path.c_str(), "wb");
        if (!file || std::fwrite(page.data(), 1, page.size(), file) != page.size() || std::fclose(file) != 0) {
            state.SkipWithError("the page could not be written");
            break;
        }
    }
}
BENCHMARK(BM_PlainWriteOfTheSamePage)->Unit(benchmark::kMicrosecond);

}  // namespace
