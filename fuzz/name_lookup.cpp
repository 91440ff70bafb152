// Member-name lookup: FoldName over any bytes, and a two-language name index built from the input.
// Folding is idempotent and touches only the capitals it folds; a name found is found again in
// every letter case FoldName folds together; the index answers exactly as a plain map of folded
// names would; a name that folds onto one already entered is refused and changes nothing.

#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "addin/context/fold_name.h"
#include "addin/context/name_index.h"
#include "fuzz/support/check.h"
#include "fuzz/support/fuzz_input.h"

namespace {

using rowlark_fuzz::Escaped;
using rowlark_fuzz::FuzzInput;
using Utils1s::Context::FoldByte;
using Utils1s::Context::FoldName;
using Utils1s::Context::NameIndex;

bool IsCapital(unsigned char b) { return (b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDF); }
bool IsSmall(unsigned char b) { return (b >= 'a' && b <= 'z') || b >= 0xE0; }

// The name with the case of some of its foldable letters turned, chosen by the input.
std::string Recased(const std::string& name, FuzzInput& in) {
    std::string out = name;
    for (char& c : out) {
        const auto b = static_cast<unsigned char>(c);
        if (!in.Flag()) continue;
        if (IsCapital(b)) c = static_cast<char>(b + 0x20);
        else if (IsSmall(b)) c = static_cast<char>(b - 0x20);
    }
    return out;
}

void CheckFold(const std::string& name) {
    const std::string folded = FoldName(name);
    FUZZ_CHECK(folded.size() == name.size(), Escaped(name));
    FUZZ_CHECK(FoldName(folded) == folded, Escaped(name));
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto b = static_cast<unsigned char>(name[i]);
        const auto f = static_cast<unsigned char>(folded[i]);
        FUZZ_CHECK(f == FoldByte(b), Escaped(name));
        FUZZ_CHECK(IsCapital(b) ? f == b + 0x20 : f == b, Escaped(name));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    NameIndex index;
    std::map<std::string, int> model;  // folded name -> member
    std::vector<std::pair<std::string, std::string>> entered;  // both names of each member, as given

    const std::uint32_t members = in.Below(12);
    for (std::uint32_t m = 0; m < members; ++m) {
        // Names travel as C strings: the index sees them up to their first zero byte.
        const std::string russian = in.Text(16).c_str();
        const std::string english = in.Text(16).c_str();
        CheckFold(russian);
        CheckFold(english);
        const std::string fr = FoldName(russian), fe = FoldName(english);
        const bool clash = model.count(fr) != 0 || model.count(fe) != 0;
        const int before = index.Count();
        bool refused = false;
        try {
            index.Add(russian.c_str(), english.c_str());
        } catch (const std::logic_error&) {
            refused = true;
        }
        FUZZ_CHECK(refused == clash, Escaped(russian) + " / " + Escaped(english));
        if (refused) {
            FUZZ_CHECK(index.Count() == before, "a refused name changed the index");
            continue;
        }
        model.emplace(fr, before);
        model.emplace(fe, before);
        entered.emplace_back(russian, english);
    }
    FUZZ_CHECK(index.Count() == static_cast<int>(entered.size()), "members counted");

    for (std::size_t m = 0; m < entered.size(); ++m) {
        const int number = static_cast<int>(m);
        FUZZ_CHECK(index.NameAt(number, Utils1s::Context::kRussian) == FoldName(entered[m].first), "Russian name");
        FUZZ_CHECK(index.NameAt(number, Utils1s::Context::kEnglish) == FoldName(entered[m].second), "English name");
        for (const std::string* name : {&entered[m].first, &entered[m].second}) {
            FUZZ_CHECK(index.Find(name->c_str()) == number, Escaped(*name));
            const std::string variant = Recased(*name, in);
            FUZZ_CHECK(index.Find(variant.c_str()) == number, Escaped(*name) + " as " + Escaped(variant));
        }
    }
    FUZZ_CHECK(index.NameAt(index.Count(), 0) == nullptr && index.NameAt(0, 2) == nullptr, "out of range");

    // Whatever is left is one more name to look up.
    const std::string query(in.Rest());
    CheckFold(query);
    const std::string as_c = query.c_str();
    const auto known = model.find(FoldName(as_c));
    FUZZ_CHECK(index.Find(query.c_str()) == (known == model.end() ? -1 : known->second), Escaped(query));
    FUZZ_CHECK(index.Find(nullptr) == -1, "null name");
    return 0;
}
