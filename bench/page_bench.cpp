// Time of one "Test Popup" without the browser: generate, compose and write
// the default record's page (to a scratch directory, replacing it each time).
#include "generator/TestPageWriter.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include <stdlib.h>

namespace {

void BM_ComposeAndWriteDefaultPage(benchmark::State& state)
{
    std::string pattern = (std::filesystem::temp_directory_path() / "tavrin-bench-XXXXXX").string();
    const std::filesystem::path dir = mkdtemp(pattern.data());
    const tavrin::TestPageWriter writer(dir / "tvtest.htm");
    for (auto _ : state) {
        tavrin::PopupSettings s = tavrin::PopupSettings::defaults();
        const tavrin::GeneratedScript script = tavrin::ScriptGenerator::generate(s);
        if (!writer.writePage(tavrin::TestPageWriter::composePage(script, *s.trigger))) {
            state.SkipWithError("the page could not be written");
            break;
        }
    }
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
}
BENCHMARK(BM_ComposeAndWriteDefaultPage)->Unit(benchmark::kMicrosecond);

}  // namespace
