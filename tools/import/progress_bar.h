#pragma once
// The import's progress on a terminal: one line on standard error, redrawn at most ten times a
// second, with the table, records read of its count, MB/s and the time left; cleared when a table
// ends. Silent when standard error is not a terminal (a pipe, a file, a test).

#include <chrono>
#include <cstdio>
#include <string>

#include "tools/import/table_import.h"

namespace import_tool {

class ProgressBar : public ProgressSink {
public:
    // Draws on out when it is a terminal (or when forced, for tests).
    explicit ProgressBar(std::FILE* out = stderr, bool force = false);

    void StartTable(const TablePlan& plan) override;
    void Advance(std::uint32_t records, std::uint64_t bytes) override;
    void EndTable() override;

    // The line drawn for that state; seconds: since the table started.
    static std::string Line(const std::string& table, std::uint32_t records, std::uint32_t total, std::uint64_t bytes,
                            double seconds);

private:
    using Clock = std::chrono::steady_clock;
    std::FILE* out_;
    bool enabled_;
    std::string table_;
    std::uint32_t total_ = 0;
    Clock::time_point started_;
    Clock::time_point drawn_;
    bool shown_ = false;  // a line is on the terminal
};

}  // namespace import_tool
