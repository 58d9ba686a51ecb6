// Time of ScriptGenerator::generate for typical records and for very long
// URLs; bytes/second over the URL sizes gives the cost per byte.
#include "generator/ScriptGenerator.h"

#include <benchmark/benchmark.h>

namespace {

void generateRecord(benchmark::State& state, const tavrin::PopupSettings& record)
{
    for (auto _ : state) {
        tavrin::PopupSettings s = record;
        benchmark::DoNotOptimize(tavrin::ScriptGenerator::generate(s));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(record.pageUrl.size()));
}

void BM_DefaultRecord(benchmark::State& state)
{
    generateRecord(state, tavrin::PopupSettings::defaults());
}
BENCHMARK(BM_DefaultRecord);

void BM_CookieOnCloseRecord(benchmark::State& state)
{
    tavrin::PopupSettings s = tavrin::PopupSettings::defaults();
    s.pageUrl = "popup.htm";
    s.windowName = "My Popup";
    s.width = "300";
    s.height = "250";
    s.top = "100";
    s.left = "50";
    s.days = "30";
    s.resizable = s.scrollBars = 1;
    s.trigger = tavrin::PopupTrigger::OnClose;
    generateRecord(state, s);
}
BENCHMARK(BM_CookieOnCloseRecord);

void BM_LongUrl(benchmark::State& state)
{
    tavrin::PopupSettings s = tavrin::PopupSettings::defaults();
    s.pageUrl.assign(static_cast<std::size_t>(state.range(0)), 'u');
    generateRecord(state, s);
}
BENCHMARK(BM_LongUrl)->Arg(1 << 10)->Arg(1 << 20)->Arg(10 << 20)->Unit(benchmark::kMicrosecond);

}  // namespace
