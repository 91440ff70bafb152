// One key press to a repainted screen: the grid program's screen, on a pseudo-terminal of 100 x 30,
// with the module loaded from its file as the grid program loads it. Each iteration writes a key's
// bytes to the terminal's master side and lets the screen read, act and paint (curses writes the
// changed cells to the terminal); a thread drains the master side as a terminal emulator would.
// Held PgDn at the end of the million-row table (dynamic provider), held PgDn from its top, and held
// Down (static provider);
// the median and the 99th percentile of the iterations are reported as counters, in milliseconds.
#include <benchmark/benchmark.h>
#include <curses.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "bench/static/goods_files.h"
#include "database/index_tags.h"
#include "tools/grid/grid_screen.h"
#include "tools/grid/table_plan.h"
#include "tools/grid/terminal.h"
#include "tools/session/host_session.h"

namespace {

// The bytes the terminal sends for a key, from its terminfo entry (xterm sends application-mode
// sequences once the screen turns the keypad on, so fixed sequences would be read as typed text).
std::string KeyBytes(const char* capability) {
    char* sequence = tigetstr(capability);
    if (sequence == nullptr || sequence == reinterpret_cast<char*>(-1))
        throw std::runtime_error(std::string("the terminal has no ") + capability);
    return sequence;
}

// A pseudo-terminal of a fixed size whose output is read away as fast as it comes.
class PseudoTerminal {
public:
    PseudoTerminal() {
        winsize size{};
        size.ws_row = 30;
        size.ws_col = 100;
        if (openpty(&master_, &slave_, nullptr, nullptr, &size) != 0) throw std::runtime_error("openpty failed");
        out_ = fdopen(dup(slave_), "w");
        in_ = fdopen(dup(slave_), "r");
        drain_ = std::thread([this] {
            char buffer[65536];
            while (!stop_) {
                const ssize_t got = read(master_, buffer, sizeof buffer);
                if (got <= 0) break;
                bytes_ += static_cast<std::size_t>(got);
            }
        });
    }
    ~PseudoTerminal() {
        stop_ = true;
        std::fclose(out_);
        std::fclose(in_);
        close(slave_);  // the drain's read ends once every slave side is closed
        drain_.join();
        close(master_);
    }
    void Type(const std::string& bytes) {
        if (write(master_, bytes.data(), bytes.size()) < 0) throw std::runtime_error("write failed");
    }
    FILE* out() const { return out_; }
    FILE* in() const { return in_; }
    std::size_t bytes() const { return bytes_; }

private:
    int master_ = -1;
    int slave_ = -1;
    FILE* out_ = nullptr;
    FILE* in_ = nullptr;
    std::thread drain_;
    std::atomic<bool> stop_{false};
    std::atomic<std::size_t> bytes_{0};
};

double Percentile(std::vector<double> samples, double fraction) {
    if (samples.empty()) return 0;
    std::sort(samples.begin(), samples.end());
    const auto at = static_cast<std::size_t>(fraction * static_cast<double>(samples.size() - 1) + 0.5);
    return samples[std::min(at, samples.size() - 1)];
}

void HoldKey(benchmark::State& state, bool dynamic, const char* capability, bool from_end) {
    const std::string path = rowlark::bench::GoodsFile(1000000);
    grid_tool::Options options;
    options.path = path;
    options.force_static = !dynamic;
    grid_tool::TablePlan plan;
    std::string error;
    if (!grid_tool::MakePlan(options, plan, error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    tools::HostSession host;
    ScriptObject connection = tools::OpenConnection(path);
    ScriptObject provider =
        dynamic ? tools::MakeDynamicProvider(connection, {plan.query, plan.key, plan.key, plan.table, plan.tag})
                : tools::MakeStaticProvider(connection, {plan.query, plan.key});
    if (!provider.Valid()) {
        state.SkipWithError("the provider could not be made");
        return;
    }
    PseudoTerminal pty;
    std::vector<double> samples;
    {
        grid_tool::Terminal terminal("xterm", pty.out(), pty.in());
        grid_tool::GridScreen screen(plan, provider, terminal);
        if (!terminal.open() || !screen.Start()) {
            state.SkipWithError("the screen could not be opened");
            return;
        }
        const std::string key = KeyBytes(capability);
        if (from_end) {  // held PgDn at the end: every press asks for the page after the last row
            pty.Type(KeyBytes("kend"));
            screen.Step();
        }
        for (auto _ : state) {
            const auto started = std::chrono::steady_clock::now();
            pty.Type(key);
            screen.Step();
            samples.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count());
        }
    }
    state.counters["median_ms"] = Percentile(samples, 0.5);
    state.counters["p99_ms"] = Percentile(samples, 0.99);
    state.counters["bytes_out"] = static_cast<double>(pty.bytes());
}

void BM_GridPageDownAtEndDynamic1M(benchmark::State& state) { HoldKey(state, true, "knp", true); }
// Beside it, PgDn from the top, where every press brings a whole new page to paint.
void BM_GridPageDownDynamic1M(benchmark::State& state) { HoldKey(state, true, "knp", false); }
void BM_GridDownStatic1M(benchmark::State& state) { HoldKey(state, false, "kcud1", false); }

BENCHMARK(BM_GridPageDownAtEndDynamic1M)->Iterations(2000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GridPageDownDynamic1M)->Iterations(2000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GridDownStatic1M)->Iterations(2000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
