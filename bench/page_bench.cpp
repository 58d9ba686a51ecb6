// Time of one "Test Popup" without the browser: generate, compose and write
// the default record's page (to a scratch directory, replacing it each time),
// next to writing the same bytes straight over the page, as a baseline for
// what the whole-or-nothing write costs.
#include "generator/TestPageWriter.h"
#include "support/Files.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

namespace {

std::string defaultPage()
{
    tavrin::PopupSettings s = tavrin::PopupSettings::defaults();
    return tavrin::TestPageWriter::composePage(tavrin::ScriptGenerator::generate(s), *s.trigger);
}

void BM_ComposeAndWriteDefaultPage(benchmark::State& state)
{
    const tavrin::test::ScratchDir dir;
    const tavrin::TestPageWriter writer((dir / "tvtest.htm").string());
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
    const tavrin::test::ScratchDir dir;
    const std::string path = (dir / "tvtest.htm").string();
    for (auto _ : state) {
        const std::string page = defaultPage();
        std::FILE* file = std::fopen(path.c_str(), "wb");
        bool written = file && std::fwrite(page.data(), 1, page.size(), file) == page.size();
        written = file && std::fclose(file) == 0 && written;
        if (!written) {
            state.SkipWithError("the page could not be written");
            break;
        }
    }
}
BENCHMARK(BM_PlainWriteOfTheSamePage)->Unit(benchmark::kMicrosecond);

}  // namespace
