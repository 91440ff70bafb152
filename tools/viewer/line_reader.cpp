#include "tools/viewer/line_reader.h"

#include <unistd.h>

#include <cerrno>

#include "tools/session/stop_signals.h"

namespace viewer {

LineReader::Status LineReader::Fill() {
    if (tools::WaitForInput(fd_) != tools::WaitEnd::kInput) return Status::kInterrupted;
    char chunk[4096];
    const ssize_t got = ::read(fd_, chunk, sizeof chunk);
    if (got > 0) {
        buffer_.append(chunk, static_cast<std::size_t>(got));
        return Status::kLine;
    }
    if (got == 0) {
        end_ = true;
        return Status::kEnd;
    }
    return errno == EINTR ? Status::kInterrupted : Status::kError;
}

LineReader::Status LineReader::Next(std::string& line) {
    line.clear();
    for (;;) {
        const std::size_t newline = buffer_.find('\n');
        if (newline != std::string::npos) {
            std::string taken = buffer_.substr(0, newline);
            buffer_.erase(0, newline + 1);
            if (!taken.empty() && taken.back() == '\r') taken.pop_back();
            if (skipping_ || taken.size() > max_line_) {
                skipping_ = false;
                return Status::kTooLong;
            }
            line = std::move(taken);
            return Status::kLine;
        }
        // Only the tail of a too-long line is in hand: drop it rather than keep it.
        if (buffer_.size() > max_line_ + 1) {
            skipping_ = true;
            buffer_.clear();
        }
        if (end_) {
            if (skipping_) {
                skipping_ = false;
                return Status::kTooLong;
            }
            if (buffer_.empty()) return Status::kEnd;
            line.swap(buffer_);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            return Status::kLine;
        }
        const Status filled = Fill();
        if (filled != Status::kLine && filled != Status::kEnd) return filled;
    }
}

}  // namespace viewer
