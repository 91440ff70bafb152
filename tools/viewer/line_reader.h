#pragma once
// Reads commands a line at a time from a file descriptor (standard input), for people and pipes
// alike: a line ends at LF or CR-LF (the CR is dropped), the last line may lack its end, and a
// line longer than the limit is skipped whole instead of growing without bound. A signal that
// interrupts the wait, or a stop recorded before it (tools/session/stop_signals.h), is answered at
// once, so the caller can leave through normal returns.

#include <cstddef>
#include <string>

namespace viewer {

class LineReader {
public:
    enum class Status {
        kLine,         // line holds the next line, without its end
        kTooLong,      // a line over max_line bytes was skipped; line is empty
        kEnd,          // no more input
        kInterrupted,  // a signal arrived while waiting; reading may go on
        kError,        // the descriptor cannot be read
    };

    explicit LineReader(int fd, std::size_t max_line = 4096) : fd_(fd), max_line_(max_line) {}
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    Status Next(std::string& line);
    std::size_t max_line() const { return max_line_; }

private:
    // Reads more bytes into buffer_; the status when none came.
    Status Fill();

    int fd_;
    std::size_t max_line_;
    std::string buffer_;         // bytes read and not yet handed out
    bool skipping_ = false;      // inside a line that is too long, until its end
    bool end_ = false;           // the descriptor said end of input
};

}  // namespace viewer
