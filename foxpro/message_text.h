#pragma once
// The reader's messages in the user's language: gettext's text domain "rowlark", which the tools
// bind when they start (tool_text::Start), so a refusal reads in Russian under a Russian locale;
// English wherever no catalogue is bound (tests, other programs). Texts are marked as the tools
// mark theirs (_("...")), and the files that mark them are listed in po/POTFILES.

#include <initializer_list>
#include <string>

namespace rowlark::foxpro {

// The text in the user's language (UTF-8); the text itself when there is no translation.
const char* _(const char* english);

// The format with each %s replaced by the next argument, in order; a translation keeps the same
// %s count (msgfmt --check-format holds the build to it).
std::string Fill(const char* format, std::initializer_list<std::string> arguments);

}  // namespace rowlark::foxpro
