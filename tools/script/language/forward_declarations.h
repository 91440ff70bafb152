#pragma once
// Procedures and functions declared ahead of their definition ("Процедура Имя(...) Далее"). The
// definition must match the declaration: procedure or function, and each parameter's name, Знач
// and default. A mismatch names both lines; a declaration never defined is an error at its line;
// a second declaration of one name is an error at the second.

#include <string>
#include <unordered_map>

#include "tools/script/language/lexer.h"
#include "tools/script/language/syntax_tree.h"

namespace script {

class ForwardDeclarations {
public:
    // header: the procedure as declared (no body); name: its name's token.
    void Declare(Procedure header, const Token& name);
    // Checks a definition against its declaration, if there is one.
    void Define(const Procedure& definition, const Token& name);
    // At the end of the module.
    void CheckAllDefined() const;

private:
    struct Declared {
        Procedure header;
        Token name;
        bool defined = false;
    };
    std::unordered_map<std::string, Declared> declared_;  // folded name
};

}  // namespace script
