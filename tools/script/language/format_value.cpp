#include "tools/script/language/format_value.h"

#include <cctype>

#include "tools/script/bridge/host_text.h"
#include "tools/script/bridge/russian.h"
#include "tools/script/bridge/script_error.h"
#include "tools/script/language/arithmetic.h"
#include "tools/script/language/date_builtins.h"
#include "tools/script/language/date_value.h"

namespace script {

namespace {

constexpr int kMaxWidth = 1000;  // far beyond any report's column; a bigger one is a mistake

[[noreturn]] void BadForm(const std::string& form) {
    throw RuntimeError{{std::string(RU("Неверная форма Формат")) + " (" + form + ")", "bad Format form (" + form + ")"}};
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reads a run of digits at `at` (none: -1).
int ReadCount(const std::string& form, std::size_t& at) {
    if (at >= form.size() || !IsDigit(form[at])) return -1;
    int n = 0;
    while (at < form.size() && IsDigit(form[at])) {
        n = n * 10 + (form[at++] - '0');
        if (n > kMaxWidth) BadForm(form);
    }
    return n;
}

// Inserts the triad separator into a run of integer digits.
std::string Grouped(const std::string& digits, char triad) {
    if (triad == '\0') return digits;
    std::string out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i != 0 && (digits.size() - i) % 3 == 0) out += triad;
        out += digits[i];
    }
    return out;
}

CValue NumberForm(const CValue& value, const std::string& form) {
    std::size_t at = 1;
    const int width = ReadCount(form, at);
    int places = 0;
    char decimal = '.', triad = '\0';
    if (at < form.size() && form[at] == '.') {
        ++at;
        places = ReadCount(form, at);
        if (places < 0 || places > 100) BadForm(form);
        if (at < form.size() && form[at] == '.') {
            ++at;
            if (at < form.size()) decimal = form[at++];
            if (at < form.size()) triad = form[at++];
        }
    }
    if (at != form.size()) BadForm(form);
    return TextValue(FormatNumber(value.GetNumeric(), width < 0 ? 0 : width, places, decimal, triad));
}

CValue TextForm(const CValue& value, const std::string& form) {
    std::size_t at = 1;
    const int length = ReadCount(form, at);
    if (at != form.size()) BadForm(form);
    std::string text = TextOf(value);
    if (length >= 0) text.resize(static_cast<std::size_t>(length), ' ');
    return TextValue(text);
}

}  // namespace

std::string FormatNumber(const CNumeric& number, int width, int places, char decimal, char triad) {
    const std::string plain = Round(number, places, /*half_up=*/true).Format();
    std::string shown = plain;
    if (plain.find_first_of("eE") == std::string::npos) {  // beyond 10^38 the number keeps its exponent
        const bool negative = !plain.empty() && plain[0] == '-';
        const std::string body = negative ? plain.substr(1) : plain;
        const std::size_t point = body.find('.');
        const std::string whole = body.substr(0, point);
        std::string fraction = point == std::string::npos ? std::string() : body.substr(point + 1);
        fraction.resize(static_cast<std::size_t>(places), '0');
        shown = (negative ? "-" : "") + Grouped(whole, triad);
        if (places > 0) shown += decimal + fraction;
    }
    if (shown.size() < static_cast<std::size_t>(width)) shown.insert(0, static_cast<std::size_t>(width) - shown.size(), ' ');
    return shown;
}

CValue FormatValue(const CValue& value, const std::string& form) {
    if (IsDate(value)) return FormatDateValue(value, TextValue(form));
    const std::string letter = form.empty() ? std::string() : ToUpper(form.substr(0, 1));
    if (letter == RU("Ч") || letter == "N") return NumberForm(value, form);
    if (letter == RU("С") || letter == "S") return TextForm(value, form);
    BadForm(form);
}

}  // namespace script
