#include "tools/script/language/forward_declarations.h"

#include "tools/script/bridge/host_text.h"
#include "tools/script/bridge/russian.h"
#include "tools/script/bridge/script_error.h"

namespace script {

namespace {

bool SameParameter(const Parameter& a, const Parameter& b) {
    if (a.name != b.name || a.by_value != b.by_value || a.has_default != b.has_default) return false;
    if (!a.has_default) return true;
    const CValue& x = a.default_value;
    const CValue& y = b.default_value;
    if (x.GetKind() != y.GetKind()) return false;
    if (x.GetKind() == CValue::Kind::Number) return x.GetNumeric() == y.GetNumeric();
    return x.GetString().view() == y.GetString().view();
}

bool SameHeader(const Procedure& a, const Procedure& b) {
    if (a.is_function != b.is_function || a.parameters.size() != b.parameters.size()) return false;
    for (std::size_t i = 0; i < a.parameters.size(); ++i)
        if (!SameParameter(a.parameters[i], b.parameters[i])) return false;
    return true;
}

}  // namespace

void ForwardDeclarations::Declare(Procedure header, const Token& name) {
    const std::string folded = FoldName(header.name);
    if (declared_.count(folded))
        throw SyntaxError{{std::string(RU("Процедура или функция с таким именем уже объявлена")) + " (" + name.text + ")",
                           "procedure or function already declared (" + name.text + ")"},
                          name.line, name.column};
    declared_.emplace(folded, Declared{std::move(header), name});
}

void ForwardDeclarations::Define(const Procedure& definition, const Token& name) {
    const auto found = declared_.find(FoldName(definition.name));
    if (found == declared_.end()) return;
    found->second.defined = true;
    if (SameHeader(found->second.header, definition)) return;
    const std::string declared_at = std::to_string(found->second.name.line);
    const std::string defined_at = std::to_string(name.line);
    throw SyntaxError{{std::string(RU("Определение не совпадает с объявлением Далее")) + " (" + name.text + "): " +
                           std::string(RU("объявление в строке")) + " " + declared_at + ", " +
                           std::string(RU("определение в строке")) + " " + defined_at,
                       "the definition does not match its forward declaration (" + name.text + "): declared at line " +
                           declared_at + ", defined at line " + defined_at},
                      name.line, name.column};
}

void ForwardDeclarations::CheckAllDefined() const {
    const Declared* first = nullptr;  // the earliest undefined, so the error does not depend on the map's order
    for (const auto& [folded, declared] : declared_)
        if (!declared.defined && (first == nullptr || declared.name.line < first->name.line)) first = &declared;
    if (first != nullptr) {
        const Token& name = first->name;
        throw SyntaxError{{std::string(RU("Процедура или функция объявлена Далее, но не определена")) + " (" +
                               name.text + ")",
                           "declared forward but never defined (" + name.text + ")"},
                          name.line, name.column};
    }
}

}  // namespace script
