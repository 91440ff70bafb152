#include "platform/oledb/statement_params.h"

#include <map>
#include <optional>

#include "platform/oledb/name_fold.h"
#include "platform/oledb/text_out.h"
#include "text/cp1251_literal.h"

namespace oledb_backend {

namespace {

constexpr cp1251::Literal kMethod{" (метод УстановитьПараметр/SetParameter)"};

std::string Cp1251(std::string_view utf8) {
    std::string text;
    AppendCp1251(utf8, text);
    return text;
}

// The parameter as a message names it: as written, a plain "?" with its number.
std::string Shown(const ParameterRef& ref) {
    static constexpr cp1251::Literal kNumber{" номер "};
    return ref.written == "?" ? "?" + kNumber.str() + ref.name : Cp1251(ref.written);
}

void RefuseMarksBesideNames(const std::vector<ParameterRef>& refs) {
    static constexpr cp1251::Literal kMixed{
        "В тексте запроса параметры ? стоят вместе с именованными: задайте параметрам номера (?1, ?2) или имена"};
    bool marks = false, names = false;
    for (const ParameterRef& ref : refs) {
        if (ref.written == "?") marks = true;
        else if (ref.written[0] != '?') names = true;
    }
    if (marks && names) throw ParameterMismatch(kMixed.str());
}

// The bound values by name: the latest under each exact name, and the exact names of each folded one.
class ValuesByName {
public:
    explicit ValuesByName(const std::vector<BoundValue>& bound) : bound_(bound) {
        for (std::size_t i = 0; i < bound.size(); ++i) {
            const auto [it, fresh] = exact_.insert_or_assign(bound[i].name, i);
            if (fresh) folded_[FoldCp1251(bound[i].name)].push_back(&it->first);
        }
    }

    // The place in bound of the parameter's value: the one under its very name, else the only one
    // under its name in another letter case; none when there is none. Throws ParameterMismatch when
    // there are several of those.
    std::optional<std::size_t> Find(const ParameterRef& ref) const {
        static constexpr cp1251::Literal kAmbiguous{"Для параметра запроса "};
        static constexpr cp1251::Literal kSeveral{" установлено несколько значений, под именами "};
        static constexpr cp1251::Literal kAnd{" и "};
        const std::string name = Cp1251(ref.name);
        if (const auto it = exact_.find(name); it != exact_.end()) return it->second;
        const auto it = folded_.find(FoldCp1251(name));
        if (it == folded_.end()) return std::nullopt;
        const std::vector<const std::string*>& names = it->second;
        if (names.size() > 1)
            throw ParameterMismatch(kAmbiguous.str() + Shown(ref) + kSeveral.str() + Given(*names[0]) + kAnd.str() +
                                    Given(*names[1]));
        return exact_.at(*names[0]);
    }
    // The name a value was last bound under, as the caller gave it.
    const std::string& Given(const std::string& name) const { return bound_[exact_.at(name)].given; }
    const std::map<std::string, std::size_t>& exact() const { return exact_; }

private:
    const std::vector<BoundValue>& bound_;
    std::map<std::string, std::size_t> exact_;                       // name: its latest value's place
    std::map<std::string, std::vector<const std::string*>> folded_;  // folded name: the exact names
};

}  // namespace

NamedParams MatchParameters(const std::vector<ParameterRef>& refs, const std::vector<BoundValue>& bound) {
    static constexpr cp1251::Literal kNoValue{"Не установлено значение параметра запроса "};
    static constexpr cp1251::Literal kNoParameter{"В тексте запроса нет параметра "};
    static constexpr cp1251::Literal kHasValue{", значение которого установлено"};

    RefuseMarksBesideNames(refs);
    const ValuesByName values_by_name(bound);
    std::vector<bool> used(bound.size(), false);
    NamedParams values;
    for (const ParameterRef& ref : refs) {
        const auto place = values_by_name.Find(ref);
        if (!place) throw ParameterMismatch(kNoValue.str() + Shown(ref) + kMethod.str());
        used[*place] = true;
        values[ref.name] = bound[*place].value;
    }
    for (const auto& [name, place] : values_by_name.exact()) {
        if (used[place]) continue;
        throw ParameterMismatch(kNoParameter.str() + bound[place].given + kHasValue.str() + kMethod.str());
    }
    return values;
}

}  // namespace oledb_backend
