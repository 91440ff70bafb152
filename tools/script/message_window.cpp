#include "tools/script/message_window.h"

#include <cstdio>

#include "platform/runtime/module.h"
#include "platform/text/cp1251.h"

namespace script {

namespace {

struct Marker {
    std::string_view text;  // as a script writes it
    int number;             // the host's marker picture
};

// The plain marker is the one the module's ordinary lines carry; 5 and 7 are its two others.
constexpr Marker kMarkers[] = {{"", 1}, {" ", 1}, {"i", 5}, {"I", 5}, {"!", 7}, {"!!", 8}, {"!!!", 9}, {"*", 3}};

std::size_t printed_status = 0;

void PrintLine(const MessageLine& line) {
    PrintNewStatusTexts();  // a status set before the line shows before it
    const std::string_view prefix = MarkerPrefix(line.marker);
    const std::string text = cp1251::ToUtf8(line.text);
    if (prefix.empty())
        std::printf("%s\n", text.c_str());
    else
        std::printf("%.*s %s\n", static_cast<int>(prefix.size()), prefix.data(), text.c_str());
}

}  // namespace

MessageWindow::MessageWindow() {
    printed_status = GetBkEndUI()->StatusHistory().size();
    GetBkEndUI()->SetEcho(PrintLine);
}

MessageWindow::~MessageWindow() {
    PrintNewStatusTexts();
    GetBkEndUI()->SetEcho(nullptr);
    std::fflush(stdout);
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

void PrintNewStatusTexts() {
    const auto& history = GetBkEndUI()->StatusHistory();
    if (printed_status > history.size()) printed_status = 0;  // the history was cleared
    for (; printed_status < history.size(); ++printed_status) {
        const std::string& text = history[printed_status];
        if (!text.empty()) std::printf("Состояние: %s\n", cp1251::ToUtf8(text).c_str());
    }
}

void PrintMessageBox(std::string_view cp1251) {
    std::printf("Предупреждение: %s\n", cp1251::ToUtf8(cp1251).c_str());
}

}  // namespace script
