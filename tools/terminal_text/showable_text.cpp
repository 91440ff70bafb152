#include "tools/terminal_text/showable_text.h"

#include <locale.h>
#include <wchar.h>

#include "platform/text/cp1251.h"

namespace terminal_text {

namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr char32_t kControlPictures = 0x2400;  // ␀; DEL's picture is U+2421
constexpr char32_t kEllipsis = 0x2026;

// Characters the terminal would not print but obey: they reorder the text around them (bidi
// marks, embeddings, overrides, isolates and their deprecated kin), break the line, or hide text
// (interlinear annotation). Joiners and zero-width spaces are harmless and keep their width 0.
bool SteersText(char32_t c) {
    return c == 0x061C || c == 0x200E || c == 0x200F || c == 0x2028 || c == 0x2029 || (c >= 0x202A && c <= 0x202E) ||
           (c >= 0x2066 && c <= 0x206F) || (c >= 0xFFF9 && c <= 0xFFFB);
}

// wcwidth under a UTF-8 locale whatever the process's own, the same tables ncurses counts with.
// The locale is switched for this thread only, for as long as the object lives.
class Utf8Widths {
public:
    Utf8Widths() : previous_(Locale() ? uselocale(Locale()) : nullptr) {}
    ~Utf8Widths() {
        if (previous_ != nullptr) uselocale(previous_);
    }
    Utf8Widths(const Utf8Widths&) = delete;
    Utf8Widths& operator=(const Utf8Widths&) = delete;

    // Columns of a printable character, -1 for one the terminal has no width for.
    int Of(char32_t c) const {
        if (Locale() == nullptr) return 1;  // no UTF-8 locale on the machine: one column each
        return wcwidth(static_cast<wchar_t>(c));
    }

private:
    static locale_t Locale() {
        static const locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
        return utf8;
    }
    locale_t previous_;
};

struct Shown {
    char32_t character;
    int width;
};

// The character as the terminal is given it, and its columns.
Shown Show(char32_t c, const Utf8Widths& widths) {
    if (c < 0x20) return {kControlPictures + c, 1};
    if (c == 0x7F) return {kControlPictures + 0x21, 1};
    if (c == cp1251::detail::kIllFormed || (c >= 0x80 && c < 0xA0) || SteersText(c)) return {kReplacement, 1};
    const int width = widths.Of(c);
    if (width < 0) return {kReplacement, 1};
    return {c, width};
}

// Calls step(shown) for each character of the text in turn until it answers false.
template <typename Step>
void EachShown(std::string_view utf8, Step step) {
    const Utf8Widths widths;
    std::size_t i = 0;
    while (i < utf8.size()) {
        const char32_t c = cp1251::detail::DecodeUtf8(utf8.data(), utf8.size(), i);
        if (!step(Show(c, widths))) return;
    }
}

}  // namespace

std::string Showable(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    EachShown(utf8, [&](Shown shown) {
        cp1251::detail::AppendUtf8(out, shown.character);
        return true;
    });
    return out;
}

std::string ShowableFromCp1251(std::string_view cp1251_text) { return Showable(cp1251::ToUtf8(cp1251_text)); }

std::size_t Width(std::string_view utf8) {
    std::size_t columns = 0;
    EachShown(utf8, [&](Shown shown) {
        columns += static_cast<std::size_t>(shown.width);
        return true;
    });
    return columns;
}

std::string Cut(std::string_view utf8, std::size_t width) {
    std::string out;
    std::size_t used = 0;
    EachShown(utf8, [&](Shown shown) {
        if (used + static_cast<std::size_t>(shown.width) > width) return false;
        used += static_cast<std::size_t>(shown.width);
        cp1251::detail::AppendUtf8(out, shown.character);
        return true;
    });
    return out;
}

std::string Fit(std::string_view utf8, std::size_t width, Align align) {
    if (width == 0) return std::string();
    const std::size_t full = Width(utf8);
    std::string shown;
    std::size_t used = full;
    if (full <= width) {
        shown = Showable(utf8);
    } else {
        shown = Cut(utf8, width - 1);
        used = Width(shown) + 1;
        cp1251::detail::AppendUtf8(shown, kEllipsis);
    }
    const std::string padding(width - used, ' ');
    return align == Align::kRight ? padding + shown : shown + padding;
}

}  // namespace terminal_text
