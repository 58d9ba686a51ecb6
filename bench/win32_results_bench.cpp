// How long the Results dialog takes to open on the Win32 back end: from
// DoModal until the dialog has shown its texts and has nothing left to do,
// for scripts of several shapes. Run it under Wine with
// bench/win32_results.sh; it prints one line per script, in milliseconds and
// over the default settings' time.
#include "framework/App.h"
#include "framework/backends/win32/Win32Backend.h"
#include "generator/ScriptGenerator.h"
#include "res/Resources.h"
#include "ui/CResultsDlg.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using namespace tavrin;

// The script block for the default settings with `url` as the page.
std::string scriptWithUrl(std::string url)
{
    PopupSettings settings = PopupSettings::defaults();
    settings.pageUrl = std::move(url);
    return ScriptGenerator::generate(settings).functionsText;
}

// About `bytes` of text in lines of 70 characters.
std::string shortLines(size_t bytes)
{
    std::string text;
    while (text.size() < bytes)
        text += std::string(68, 'x') + "\r\n";
    return text;
}

DWORD shownAt = 0;

// Runs once the dialog's queue is empty, so after it has painted: notes the
// time and closes the dialog.
void CALLBACK dialogShown(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    shownAt = GetTickCount();
    fw::activeDialogWindow()->endDialog(fw::kIdOk);
}

// Milliseconds from DoModal until the dialog showing `functions` is idle.
DWORD openResults(const std::string& functions)
{
    ui::CResultsDlg results;
    results.functionsText = functions;
    results.loaderText = "onLoad=\"tavrin()\"";
    const DWORD start = GetTickCount();
    SetTimer(nullptr, 0, 0, dialogShown);
    results.DoModal();
    return shownAt - start;
}

class ResultsBench final : public fw::CWinApp {
public:
    ResultsBench() : CWinApp(res::strings()) {}

    bool InitInstance() override
    {
        const std::string domain = "http://www.tavrin.example/";
        const struct {
            const char* name;
            std::string functions;
        } cases[] = {
            {"default settings", scriptWithUrl(std::string(kDefaultPageUrl))},
            {"1 MB in short lines", shortLines(1 << 20)},
            {"100 KB URL", scriptWithUrl(domain + std::string(100 << 10, 'q'))},
            {"1 MB URL", scriptWithUrl(domain + std::string(1 << 20, 'q'))},
        };
        std::printf("%-22s %10s %12s %12s\n", "Results with", "bytes", "median ms", "x default");
        DWORD baseline = 0;
        for (const auto& c : cases) {
            std::vector<DWORD> times;
            for (int run = 0; run < 5; ++run)
                times.push_back(openResults(c.functions));
            std::sort(times.begin(), times.end());
            if (baseline == 0)
                baseline = std::max<DWORD>(times[2], 1);  // the default settings, first
            std::printf("%-22s %10zu %12lu %11.1fx\n", c.name, c.functions.size(), static_cast<unsigned long>(times[2]),
                        static_cast<double>(times[2]) / baseline);
        }
        return false;
    }
};

}  // namespace

int main()
{
    fw::win32::Win32Backend backend;
    ResultsBench bench;
    return bench.run(backend, "win32_results_bench.exe");
}
