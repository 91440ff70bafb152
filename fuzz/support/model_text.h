#pragma once
// Texts the fuzz models build: SQL literals for the tables they make, and the trimming and prefix
// rules that QueryRows applies to text tags, written out plainly so the model does not borrow them.

#include <string>

namespace rowlark_fuzz {

// An SQL text literal.
inline std::string SqlText(const std::string& text) {
    std::string out = "'";
    for (const char c : text) out += c == '\'' ? std::string("''") : std::string(1, c);
    return out + "'";
}

// Without trailing white space, as a text tag stores its values and reads its lower bound.
inline std::string TrimTrailing(std::string text) {
    while (!text.empty() && std::string(" \t\r\n\v\f").find(text.back()) != std::string::npos) text.pop_back();
    return text;
}

inline bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace rowlark_fuzz
