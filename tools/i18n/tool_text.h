#pragma once
// The tools' own texts in the user's language (gettext, text domain "rowlark"): Russian under a
// Russian locale (LANG, LC_ALL or LC_MESSAGES = ru_RU.UTF-8), English otherwise. The module's own
// messages are not translated here: they reach the user as the module raised them.
//
// How a tool uses it:
//   1. main() calls tool_text::Start() first, before it prints anything.
//   2. Every text a person reads is written in English and wrapped where it is shown:
//        using tool_text::_;
//        std::fprintf(stderr, "%s\n", _("the database has no table"));
//        Fill(_("row %s of %s"), {Grouped(row), Grouped(count)});       // %s placeholders, in order
//        Fill(Plural("%s row", "%s rows", count), {Grouped(count)});     // Russian has three forms
//      A text kept in a table before it is shown is marked with N_("...") and given to _() when shown.
//   3. The source file is listed in po/POTFILES; `cmake --build B --target rowlark_update_po`
//      extracts the texts into po/rowlark.pot and merges them into po/ru.po, where a translator
//      fills in the msgstr lines (a fuzzy or empty msgstr leaves the English text).
//   4. The tool links rowlark_tool_text; the build compiles po/*.po into B/locale, which the programs
//      read in the build tree, and from ../share/locale beside their folder once installed.

#include <initializer_list>
#include <string>

namespace tool_text {

// The user's locale for every category but numbers (the platform reads and writes numbers with a
// point), and the message catalogue bound. Calling it again does no harm.
void Start();

// The text in the user's language (UTF-8); the text itself when there is no translation.
const char* _(const char* english);
// Marks a text for extraction where it is kept, not shown; translated later with _().
constexpr const char* N_(const char* english) { return english; }
// The form of a text that goes with the number count: one / many in English, three forms in Russian.
const char* Plural(const char* one, const char* many, unsigned long long count);

// The format with each %s replaced by the next argument, in order (%% is a per cent sign). A
// translation keeps the same %s count (msgfmt --check-format holds the build to it).
std::string Fill(const char* format, std::initializer_list<std::string> arguments);

}  // namespace tool_text
