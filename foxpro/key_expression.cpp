#include "foxpro/key_expression.h"

#include <locale.h>

#include <cctype>
#include <climits>
#include <cwchar>
#include <cwctype>
#include <optional>
#include <stdexcept>

#include "foxpro/message_text.h"

namespace rowlark::foxpro {
namespace {

// A translated piece of an expression: its SQL, kind, and width when it is fixed (FoxPro pads).
struct Part {
    std::string sql;
    KeyKind kind = KeyKind::Text;
    int width = -1;  // -1: varies
    bool upper = false;
    bool exact = false;  // the SQL already yields exactly width characters (no padding needed)
};

struct Skip : std::runtime_error {
    using std::runtime_error::runtime_error;
};

std::string Upper(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

// A field's name as FoxPro matches names: without letter case in any alphabet (UTF-8; in ASCII
// letters only where the C library has no UTF-8 locale).
std::string FoldedName(std::string_view name) {
    static const locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
    if (utf8 == static_cast<locale_t>(0)) return Upper(name);
    const locale_t previous = uselocale(utf8);
    std::string out;
    std::mbstate_t in{}, put{};
    for (std::size_t at = 0; at < name.size();) {
        wchar_t wide = 0;
        const std::size_t used = std::mbrtowc(&wide, name.data() + at, name.size() - at, &in);
        if (used == 0 || used > name.size() - at) {  // a NUL or a broken byte: kept as it is
            out += name[at++];
            in = std::mbstate_t{};
            continue;
        }
        char bytes[MB_LEN_MAX];
        const std::size_t made = std::wcrtomb(bytes, static_cast<wchar_t>(std::towupper(static_cast<wint_t>(wide))), &put);
        if (made == static_cast<std::size_t>(-1)) out.append(name.substr(at, used));
        else out.append(bytes, made);
        at += used;
    }
    uselocale(previous);
    return out;
}

// Characters, not bytes, of a UTF-8 text.
int Characters(const std::string& utf8) {
    int count = 0;
    for (const char c : utf8) count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return count;
}

std::string QuoteName(const std::string& name) {
    std::string out = "\"";
    for (const char c : name) out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

std::string QuoteText(const std::string& text) {
    std::string out = "'";
    for (const char c : text) out += c == '\'' ? std::string("''") : std::string(1, c);
    return out + "'";
}

// The blank-padded form FoxPro gives a fixed-width text in a concatenation.
std::string Padded(const Part& part) {
    return "substr(coalesce(" + part.sql + ", '') || '" + std::string(static_cast<std::size_t>(part.width), ' ') +
           "', 1, " + std::to_string(part.width) + ")";
}

class Parser {
public:
    Parser(std::string_view text, const std::vector<KeyColumn>& columns) : text_(text), columns_(columns) {}

    Part Whole() {
        Part part = Concatenation();
        Space();
        if (at_ < text_.size()) throw Skip(Fill(_("unexpected '%s'"), {std::string(text_.substr(at_))}));
        return part;
    }

private:
    Part Concatenation() {
        std::vector<Part> parts{Primary()};
        while (Take('+')) parts.push_back(Primary());
        if (parts.size() == 1) return parts[0];
        Part joined;
        joined.kind = parts[0].kind;
        joined.upper = true;
        joined.width = 0;
        for (std::size_t i = 0; i < parts.size(); ++i) {
            const Part& part = parts[i];
            if (part.kind == KeyKind::Date || joined.kind == KeyKind::Date) throw Skip(_("it adds to a date"));
            if (part.kind != joined.kind) throw Skip(_("it joins text and number parts"));
            const bool text = part.kind == KeyKind::Text;
            const bool pad = text && part.width >= 0 && !part.exact && i + 1 < parts.size();
            const std::string sql = pad ? Padded(part) : part.sql;
            joined.sql += i == 0 ? sql : (text ? " || " : " + ") + sql;
            joined.upper = joined.upper && part.upper;
            joined.width = joined.width < 0 || part.width < 0 ? -1 : joined.width + part.width;
        }
        if (joined.kind == KeyKind::Number) joined.sql = "(" + joined.sql + ")";
        return joined;
    }

    Part Primary() {
        Space();
        if (Take('(')) {
            Part inner = Concatenation();
            if (!Take(')')) throw Skip(_("a parenthesis is not closed"));
            return inner;
        }
        if (at_ < text_.size() && (text_[at_] == '\'' || text_[at_] == '"' || text_[at_] == '[')) return Literal();
        if (at_ < text_.size() && std::isdigit(static_cast<unsigned char>(text_[at_]))) {
            Part number{std::to_string(Integer()), KeyKind::Number};
            return number;
        }
        const std::string name = Identifier();
        if (Take('(')) return Call(Upper(name));
        if (Take('.') || Take("->")) return Field(Identifier());  // alias.field
        return Field(name);
    }

    Part Literal() {
        const char open = text_[at_++];
        const char close = open == '[' ? ']' : open;
        const std::size_t end = text_.find(close, at_);
        if (end == std::string_view::npos) throw Skip(_("a text literal is not closed"));
        const std::string text(text_.substr(at_, end - at_));
        at_ = end + 1;
        return Part{QuoteText(text), KeyKind::Text, Characters(text), false, true};
    }

    Part Field(const std::string& name) {
        for (const KeyColumn& column : columns_) {
            if (FoldedName(column.field) != FoldedName(name)) continue;
            Part part{QuoteName(column.column)};
            switch (column.type) {
                case 'C': case 'V': part.width = column.type == 'C' ? column.length : -1; return part;
                case 'N': case 'F': case 'I': case 'B': case 'Y': part.kind = KeyKind::Number; return part;
                case 'D': case 'T': part.kind = KeyKind::Date; return part;
                default:
                    throw Skip(Fill(_("field %s of type %s is not a key type here"), {name, std::string(1, column.type)}));
            }
        }
        throw Skip(Fill(_("no field %s"), {name}));
    }

    Part Call(const std::string& name) {
        std::vector<Part> args{Concatenation()};
        while (Take(',')) args.push_back(Concatenation());
        if (!Take(')')) throw Skip(Fill(_("%s( is not closed"), {name}));
        const auto need = [&](std::size_t low, std::size_t high, KeyKind kind) {
            if (args.size() < low || args.size() > high || args[0].kind != kind)
                throw Skip(Fill(_("%s() with these arguments is not translated"), {name}));
        };
        const auto number = [&](std::size_t i, int fallback) {
            if (i >= args.size()) return fallback;
            if (args[i].kind != KeyKind::Number || args[i].sql.find_first_not_of("0123456789") != std::string::npos)
                throw Skip(Fill(_("%s() with a computed width is not translated"), {name}));
            return std::stoi(args[i].sql);
        };
        if (name == "UPPER" || name == "LOWER") {
            need(1, 1, KeyKind::Text);
            Part part = args[0];
            part.sql = (name == "UPPER" ? "upper(" : "lower(") + part.sql + ")";
            part.upper = name == "UPPER";
            return part;
        }
        if (name == "DTOS") {
            need(1, 1, KeyKind::Date);
            return Part{"replace(substr(" + args[0].sql + ", 1, 10), '-', '')", KeyKind::Text, 8, false, true};
        }
        if (name == "STR") {
            need(1, 3, KeyKind::Number);
            const int width = number(1, 10), decimals = number(2, 0);
            if (width < 1 || width > 255 || decimals > width)
                throw Skip(Fill(_("%s() with width %s"), {name, std::to_string(width)}));
            if (args.size() == 1 && width == 10) return args[0];  // alone, its order is the number's
            return Part{"printf('%" + std::to_string(width) + "." + std::to_string(decimals) + "f', " + args[0].sql + ")",
                        KeyKind::Text, width, false, true};
        }
        if (name == "PADL" || name == "PADR") {
            need(2, 2, KeyKind::Text);
            const int width = number(1, 0);
            if (width < 1 || width > 255) throw Skip(Fill(_("%s() with width %s"), {name, std::to_string(width)}));
            const std::string pad(static_cast<std::size_t>(width), ' ');
            const std::string value = "coalesce(" + args[0].sql + ", '')";
            const std::string sql = name == "PADR" ? "substr(" + value + " || '" + pad + "', 1, " + std::to_string(width) + ")"
                                                   : "substr('" + pad + "' || " + value + ", -" + std::to_string(width) + ")";
            return Part{sql, KeyKind::Text, width, args[0].upper, true};
        }
        if (name == "ALLTRIM" || name == "TRIM" || name == "RTRIM" || name == "LTRIM") {
            need(1, 1, KeyKind::Text);
            const char* function = name == "ALLTRIM" ? "trim(" : name == "LTRIM" ? "ltrim(" : "rtrim(";
            return Part{function + args[0].sql + ")", KeyKind::Text, -1, args[0].upper};
        }
        throw Skip(Fill(_("function %s() is not translated"), {name}));
    }

    std::string Identifier() {
        Space();
        const std::size_t start = at_;
        // Bytes past ASCII belong to names in other alphabets (UTF-8).
        while (at_ < text_.size() && (std::isalnum(static_cast<unsigned char>(text_[at_])) || text_[at_] == '_' ||
                                      static_cast<unsigned char>(text_[at_]) >= 0x80))
            ++at_;
        if (at_ == start)
            throw Skip(at_ < text_.size() ? Fill(_("unexpected '%s'"), {std::string(1, text_[at_])})
                                          : std::string(_("the expression ends early")));
        return std::string(text_.substr(start, at_ - start));
    }

    long Integer() {
        long value = 0;
        while (at_ < text_.size() && std::isdigit(static_cast<unsigned char>(text_[at_]))) {
            if (value > 100000) throw Skip(_("a number too large"));
            value = value * 10 + (text_[at_++] - '0');
        }
        if (at_ < text_.size() && text_[at_] == '.') throw Skip(_("a fractional number"));
        return value;
    }

    void Space() {
        while (at_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[at_]))) ++at_;
    }
    bool Take(std::string_view token) {
        Space();
        if (text_.substr(at_, token.size()) != token) return false;
        at_ += token.size();
        return true;
    }
    bool Take(char c) { return Take(std::string_view(&c, 1)); }

    std::string_view text_;
    const std::vector<KeyColumn>& columns_;
    std::size_t at_ = 0;
};

bool OnlyLiveRecords(const std::string& filter) {
    std::string compact;
    for (const char c : filter)
        if (!std::isspace(static_cast<unsigned char>(c))) compact += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return compact == "!DELETED()" || compact == "NOTDELETED()" || compact == ".NOT.DELETED()";
}

}  // namespace

KeyTranslation TranslateKeyExpression(std::string_view expression, const std::vector<KeyColumn>& columns) {
    KeyTranslation result;
    try {
        const Part part = Parser(expression, columns).Whole();
        result.translated = true;
        result.sql = part.sql;
        result.kind = part.kind;
        result.upper = part.upper;
    } catch (const Skip& skip) {
        result.reason = skip.what();
    } catch (const std::out_of_range&) {
        result.reason = _("a number out of range");
    }
    return result;
}

TagDescription DescribeTag(const CdxTag& tag, const std::vector<KeyColumn>& columns) {
    TagDescription description;
    description.tag = tag.name;
    description.candidate = tag.candidate;
    description.descending = tag.descending;
    description.key = TranslateKeyExpression(tag.key_expression, columns);
    if (!tag.for_expression.empty() && !OnlyLiveRecords(tag.for_expression)) {
        description.key.translated = false;
        description.key.reason = Fill(_("the tag has a FOR filter (%s)"), {tag.for_expression});
    }
    return description;
}

const char* KeyKindName(KeyKind kind) {
    switch (kind) {
        case KeyKind::Text: return "text";
        case KeyKind::Number: return "number";
        case KeyKind::Date: return "date";
    }
    return "?";
}

}  // namespace rowlark::foxpro
