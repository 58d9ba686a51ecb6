// Measures the Results dialog of the GTK program with the default script and
// with a script of about 1 MB (a 1 MB page address pasted into the URL box),
// on the current X display (bench/gtk_results.sh gives it a private Xvfb).
// The program runs as a user meets it; keys and clicks go through the X
// server. For each script it reports the median over the rounds of:
//   shown    "Create Popup" clicked until the Results dialog is first painted
//   key      Tab pressed as soon as it shows until the focus has moved, while
//            the dialog may still be laying out the rest of the script
//   settled  "Create Popup" clicked until the dialog has nothing left to lay out
//   copy     "Copy Functions" clicked until the clipboard holds the script
//   read     another program (xclip, its start included) reading all of it
// and then each of the 1 MB script's figures over the default script's.
//   gtk_results_bench [rounds]      (default 5)

#include "GtkTestSupport.h"
#include "ProgramDriver.h"

#include "app/RunTavrin.h"
#include "framework/backends/gtk/GtkBackend.h"
#include "generator/ScriptGenerator.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace tavrin::fw::gtk::test {
namespace {

double msSince(gint64 start, gint64 end)
{
    return static_cast<double>(end - start) / 1000.0;
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    std::size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

// Times of one round, in microseconds of the monotonic clock.
struct Round {
    gint64 clicked = 0;
    gint64 shown = 0;
    gint64 keySent = 0;
    gint64 keyHandled = 0;
    gint64 settled = 0;
    gint64 copyClicked = 0;
    gint64 copied = 0;
    gint64 readStarted = 0;
    gint64 read = 0;
};

// Watches the Results dialog for its first paint, a moved focus, the moment the program has nothing left to
// do, and the clipboard for the copy being taken.
class ResultsWatch {
public:
    ResultsWatch()
    {
        hook_ = g_signal_add_emission_hook(g_signal_lookup("map", GTK_TYPE_WIDGET), 0, onMap, this, nullptr);
        g_signal_connect(gtk_clipboard_get(GDK_SELECTION_CLIPBOARD), "owner-change", G_CALLBACK(onOwnerChange),
                         this);
    }
    ~ResultsWatch()
    {
        g_signal_handlers_disconnect_by_data(gtk_clipboard_get(GDK_SELECTION_CLIPBOARD), this);
        g_signal_remove_emission_hook(g_signal_lookup("map", GTK_TYPE_WIDGET), hook_);
    }
    ResultsWatch(const ResultsWatch&) = delete;
    ResultsWatch& operator=(const ResultsWatch&) = delete;

    Round* round = nullptr;

private:
    static gboolean onMap(GSignalInvocationHint*, guint, const GValue* params, gpointer self)
    {
        GObject* widget = static_cast<GObject*>(g_value_get_object(params));
        if (GTK_IS_WINDOW(widget) && g_strcmp0(gtk_window_get_title(GTK_WINDOW(widget)), "Results") == 0) {
            g_signal_connect_after(widget, "draw", G_CALLBACK(onDraw), self);
            g_signal_connect_after(widget, "set-focus", G_CALLBACK(onFocus), self);
        }
        return TRUE;
    }
    static void onFocus(GtkWindow*, GtkWidget*, gpointer self)
    {
        Round* round = static_cast<ResultsWatch*>(self)->round;
        if (round && round->keySent != 0 && round->keyHandled == 0)
            round->keyHandled = g_get_monotonic_time();
    }
    static gboolean onDraw(GtkWidget* window, cairo_t*, gpointer self)
    {
        auto* watch = static_cast<ResultsWatch*>(self);
        g_signal_handlers_disconnect_by_func(window, reinterpret_cast<gpointer>(onDraw), self);
        if (watch->round) {
            watch->round->shown = g_get_monotonic_time();
            // Below every priority of painting and laying out text: runs once those are done.
            g_idle_add_full(G_PRIORITY_LOW, onSettled, watch->round, nullptr);
        }
        return FALSE;
    }
    static void onOwnerChange(GtkClipboard*, GdkEvent*, gpointer self)
    {
        // Every copy makes the clipboard change owner, even to the same program.
        Round* round = static_cast<ResultsWatch*>(self)->round;
        if (round && round->copyClicked != 0 && round->copied == 0)
            round->copied = g_get_monotonic_time();
    }
    static gboolean onSettled(gpointer round)
    {
        static_cast<Round*>(round)->settled = g_get_monotonic_time();
        return G_SOURCE_REMOVE;
    }
    gulong hook_ = 0;
};

struct Case {
    std::string name;
    std::string url;  // empty: the default address
    std::size_t scriptBytes = 0;
    std::vector<Round> rounds;
    double pasteMs = 0;
};

GtkWindow* mainDialog()
{
    return windowTitled("Tavrin");
}

// Queues the rounds of one case on `driver`.
void queueCase(ProgramDriver& driver, Case& c, int rounds, ResultsWatch& watch, ClipboardOwner& source,
               ClipboardReader& reader)
{
    if (!c.url.empty()) {
        auto pasteStart = std::make_shared<gint64>(0);
        driver.then([&source, &c] { source.serve(c.url); })
            .until("xclip to hold the address", [&source] { return source.serving(); })
            .then([pasteStart] {
                GtkWidget* url = named(mainDialog(), "URL", GTK_TYPE_ENTRY);
                sendClick(url);
                sendKey(url, GDK_KEY_a, GDK_CONTROL_MASK);
                *pasteStart = g_get_monotonic_time();
                sendKey(url, GDK_KEY_v, GDK_CONTROL_MASK);
            })
            .until("the address in the URL box", [&c] {
                GtkWidget* url = named(mainDialog(), "URL", GTK_TYPE_ENTRY);
                return url && gtk_entry_buffer_get_bytes(gtk_entry_get_buffer(GTK_ENTRY(url))) == c.url.size();
            }, 60)
            .then([pasteStart, &c] { c.pasteMs = msSince(*pasteStart, g_get_monotonic_time()); });
    }
    c.rounds.resize(static_cast<std::size_t>(rounds));
    for (Round& round : c.rounds) {
        driver
            .then([&watch, &round] {
                watch.round = &round;
                round.clicked = g_get_monotonic_time();
                sendClick(named(mainDialog(), "Create Popup"));
            })
            .until("the Results dialog to show", [&round] { return round.shown != 0; }, 60)
            .then([&round] {
                round.keySent = g_get_monotonic_time();
                sendKey(GTK_WIDGET(windowTitled("Results")), GDK_KEY_Tab);
            })
            .until("the Results dialog to settle", [&round] { return round.settled != 0 && round.keyHandled != 0; }, 60)
            .then([&round] {
                round.copyClicked = g_get_monotonic_time();
                sendClick(named(windowTitled("Results"), "Copy Functions"));
            })
            .until("the copy to be taken", [&round] { return round.copied != 0; }, 60)
            .then([&reader, &round] {
                round.readStarted = g_get_monotonic_time();
                reader.start();
            })
            .until("xclip to read the script", [&reader] { return reader.done(); }, 60)
            .then([&round, &reader, &c] {
                round.read = g_get_monotonic_time();
                if (reader.text().size() != c.scriptBytes)
                    std::fprintf(stderr, "gtk_results_bench: xclip read %zu bytes of %zu\n", reader.text().size(),
                                 c.scriptBytes);
                sendClick(named(windowTitled("Results"), "Return"));
            })
            .until("the Results dialog to close", [] { return windowTitled("Results") == nullptr; });
    }
}

std::size_t scriptBytes(const std::string& url)
{
    PopupSettings settings = PopupSettings::defaults();
    if (!url.empty())
        settings.pageUrl = url;
    return ScriptGenerator::generate(settings).functionsText.size();
}

int run(int rounds)
{
    GtkBackend backend;
    ResultsWatch watch;
    ClipboardOwner source;
    ClipboardReader reader;

    std::string megabyte = "http://www.tavrin.example/";
    while (megabyte.size() < (1u << 20))
        megabyte += "abcdefghij";
    megabyte.resize(1u << 20);
    std::vector<Case> cases(2);
    cases[0].name = "default script";
    cases[1].name = "1 MB address";
    cases[1].url = megabyte;
    for (Case& c : cases)
        c.scriptBytes = scriptBytes(c.url);

    ProgramDriver driver;
    driver.until("the main dialog", [] { return mainDialog() != nullptr; });
    for (Case& c : cases)
        queueCase(driver, c, rounds, watch, source, reader);
    driver.then([] { sendKey(GTK_WIDGET(mainDialog()), GDK_KEY_Escape); });
    driver.start();
    runTavrin(backend, "tavrin");
    if (!driver.finished() || !driver.failure().empty()) {
        std::fprintf(stderr, "gtk_results_bench: %s\n", driver.failure().c_str());
        return 1;
    }

    std::printf("Results dialog of tavrin (GTK) on this display, median of %d rounds\n", rounds);
    std::printf("%-16s %9s %10s %8s %11s %9s %9s\n", "script", "bytes", "shown ms", "key ms", "settled ms",
                "copy ms", "read ms");
    // The five medians of each case, in the table's order.
    std::vector<std::vector<double>> medians;
    for (const Case& c : cases) {
        auto column = [&c](gint64 Round::*from, gint64 Round::*to) {
            std::vector<double> values;
            for (const Round& r : c.rounds)
                values.push_back(msSince(r.*from, r.*to));
            return median(values);
        };
        medians.push_back({column(&Round::clicked, &Round::shown), column(&Round::keySent, &Round::keyHandled),
                           column(&Round::clicked, &Round::settled), column(&Round::copyClicked, &Round::copied),
                           column(&Round::readStarted, &Round::read)});
        const std::vector<double>& m = medians.back();
        std::printf("%-16s %9zu %10.1f %8.1f %11.1f %9.1f %9.1f\n", c.name.c_str(), c.scriptBytes, m[0], m[1], m[2],
                    m[3], m[4]);
    }
    // Each of the 1 MB script's figures next to the default script's, in the same columns.
    const int widths[] = {9, 7, 10, 8, 8};
    std::printf("%-16s %9s", "1 MB / default", "");
    for (std::size_t i = 0; i < medians[0].size(); ++i)
        std::printf(" %*.1fx", widths[i], medians[1][i] / medians[0][i]);
    std::printf("\n");
    for (const Case& c : cases) {
        if (!c.url.empty())
            std::printf("pasting the %s into the URL box: %.1f ms\n", c.name.c_str(), c.pasteMs);
    }
    return 0;
}

}  // namespace
}  // namespace tavrin::fw::gtk::test

int main(int argc, char** argv)
{
    int rounds = argc > 1 ? std::atoi(argv[1]) : 5;
    if (!tavrin::fw::gtk::initToolkit(argc, argv)) {
        std::fprintf(stderr, "gtk_results_bench: no display; run it through bench/gtk_results.sh\n");
        return 2;
    }
    return tavrin::fw::gtk::test::run(std::max(rounds, 1));
}
