#include "tools/import/progress_bar.h"

#include <unistd.h>

#include "tools/i18n/locale_forms.h"
#include "tools/i18n/tool_text.h"
#include "tools/terminal_text/showable_text.h"

namespace import_tool {

ProgressBar::ProgressBar(std::FILE* out, bool force) : out_(out), enabled_(force || isatty(fileno(out))) {}

void ProgressBar::StartTable(const TablePlan& plan) {
    table_ = plan.source.name;
    total_ = plan.records;
    started_ = Clock::now();
    drawn_ = started_ - std::chrono::seconds(1);
}

std::string ProgressBar::Line(const std::string& table, std::uint32_t records, std::uint32_t total, std::uint64_t bytes,
                              double seconds) {
    const double mb_per_second = seconds > 0 ? static_cast<double>(bytes) / 1e6 / seconds : 0.0;
    std::string left = "--:--";
    if (records > 0 && total >= records && seconds > 0) {
        const auto rest = static_cast<long>(seconds * (total - records) / records + 0.5);
        char text[32];
        std::snprintf(text, sizeof text, "%ld:%02ld", rest / 60, rest % 60);
        left = text;
    }
    const int percent = total ? static_cast<int>(100.0 * records / total) : 100;
    char speed[32];
    std::snprintf(speed, sizeof speed, "%.1f", mb_per_second);
    return tool_text::Fill(tool_text::_("%s: %s of %s records (%s%%), %s MB/s, %s left"),
                           {terminal_text::Showable(table), tool_text::Grouped(records), tool_text::Grouped(total),
                            std::to_string(percent), speed, left});
}

void ProgressBar::Advance(std::uint32_t records, std::uint64_t bytes) {
    if (!enabled_) return;
    const auto now = Clock::now();
    if (now - drawn_ < std::chrono::milliseconds(100) && records < total_) return;
    drawn_ = now;
    const double seconds = std::chrono::duration<double>(now - started_).count();
    std::fprintf(out_, "\r\033[K%s", Line(table_, records, total_, bytes, seconds).c_str());
    std::fflush(out_);
    shown_ = true;
}

void ProgressBar::EndTable() {
    if (!shown_) return;
    std::fprintf(out_, "\r\033[K");
    std::fflush(out_);
    shown_ = false;
}

}  // namespace import_tool
