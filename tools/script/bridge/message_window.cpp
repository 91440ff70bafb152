#include "tools/script/bridge/message_window.h"

#include "platform/runtime/module.h"
#include "platform/text/cp1251.h"
#include "tools/terminal_text/showable_text.h"

namespace script {

namespace {

struct Marker {
    std::string_view text;  // as a script writes it
    int number;             // the host's marker picture
};

// The plain marker is the one the module's ordinary lines carry; 5 and 7 are its two others.
constexpr Marker kMarkers[] = {{"", 1}, {" ", 1}, {"i", 5}, {"I", 5}, {"!", 7}, {"!!", 8}, {"!!!", 9}, {"*", 3}};

// The window the host's echo reaches (the host calls back a plain function).
MessageWindow* showing = nullptr;

}  // namespace

MessageWindow::MessageWindow(std::FILE* shown_on, std::FILE* answers_from)
    : shown_on_(shown_on), answers_from_(answers_from) {
    printed_status_ = GetBkEndUI()->StatusHistory().size();
    if (shown_on_ == nullptr) return;
    showing = this;
    GetBkEndUI()->SetEcho(EchoToShowing);
}

MessageWindow::~MessageWindow() {
    if (shown_on_ == nullptr) return;
    ShowNewStatusTexts();
    if (showing == this) {
        GetBkEndUI()->SetEcho(nullptr);
        showing = nullptr;
    }
    std::fflush(shown_on_);
}

void MessageWindow::EchoToShowing(const MessageLine& line) {
    if (showing != nullptr) showing->Echo(line);
}

void MessageWindow::Echo(const MessageLine& line) {
    ShowNewStatusTexts();  // a status set before the line shows before it
    PrintLines(MarkerPrefix(line.marker), line.text);
}

// Each line of the text on its own line, safe for the terminal; LF and CR-LF end a line.
void MessageWindow::PrintLines(std::string_view prefix, std::string_view cp1251) {
    if (shown_on_ == nullptr) return;
    for (;;) {
        const std::size_t end = cp1251.find('\n');
        std::string_view line = cp1251.substr(0, end);
        if (end != std::string_view::npos && !line.empty() && line.back() == '\r') line.remove_suffix(1);
        const std::string shown = terminal_text::ShowableFromCp1251(line);
        if (prefix.empty())
            std::fprintf(shown_on_, "%s\n", shown.c_str());
        else
            std::fprintf(shown_on_, "%.*s %s\n", static_cast<int>(prefix.size()), prefix.data(), shown.c_str());
        if (end == std::string_view::npos) return;
        cp1251.remove_prefix(end + 1);
    }
}

void MessageWindow::Message(std::string_view cp1251, std::string_view marker) {
    GetBkEndUI()->DoMessageLine(std::string(cp1251).c_str(), MarkerNumber(marker));
}

void MessageWindow::Status(std::string_view cp1251) {
    GetBkEndUI()->DoStatusLine(std::string(cp1251).c_str());
    ShowNewStatusTexts();
}

void MessageWindow::MessageBox(std::string_view cp1251) {
    PrintLines("Предупреждение:", cp1251);
}

bool MessageWindow::Ask(std::string_view kind_utf8, std::string_view question, std::string& answer) {
    ShowNewStatusTexts();
    PrintLines(kind_utf8, question);
    if (answers_from_ == nullptr) return false;
    if (shown_on_ != nullptr) std::fflush(shown_on_);
    std::string line;
    int c = 0;
    while ((c = std::fgetc(answers_from_)) != EOF && c != '\n') line.push_back(static_cast<char>(c));
    if (c == EOF && line.empty()) return false;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    answer = cp1251::FromUtf8(line);
    return true;
}

void MessageWindow::Clear() {
    GetBkEndUI()->Clear();
    printed_status_ = 0;
}

void MessageWindow::ShowNewStatusTexts() {
    const auto& history = GetBkEndUI()->StatusHistory();
    if (printed_status_ > history.size()) printed_status_ = 0;  // the history was cleared
    for (; printed_status_ < history.size(); ++printed_status_) {
        const std::string& text = history[printed_status_];
        if (!text.empty()) PrintLines("Состояние:", text);
    }
}

int MarkerNumber(std::string_view marker) {
    for (const Marker& m : kMarkers)
        if (m.text == marker) return m.number;
    return 1;
}

std::string_view MarkerPrefix(int marker) {
    if (marker == 1) return "";
    for (const Marker& m : kMarkers)
        if (m.number == marker) return m.text;
    return "";
}

}  // namespace script
