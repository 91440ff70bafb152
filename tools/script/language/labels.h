#pragma once
// The labels of one procedure (or of the statements outside procedures) and the jumps to them. A
// jump may go to a label of its own block or of a block around it (out of loops, conditions and
// Попытка), never into a block it is not inside: the construct entered would run without its start.
// A label missing, or defined twice, is a syntax error at its place.

#include <string>
#include <unordered_map>
#include <vector>

#include "tools/script/language/lexer.h"
#include "tools/script/language/syntax_tree.h"

namespace script {

class LabelScope {
public:
    // next_label: where the module's label numbers go on from (shared by every scope of a module).
    explicit LabelScope(int& next_label) : next_label_(next_label) {}

    void EnterBlock() { open_.push_back(next_block_++); }
    void LeaveBlock() { open_.pop_back(); }
    // "~Name:" read as the statement stmt (a Label).
    void Define(const Token& label, Stmt& stmt);
    // "Перейти ~Name" read as the statement stmt (a Goto).
    void Jump(const Token& label, Stmt& stmt);
    // Gives every jump its label's number; at the end of the procedure or the module.
    void Resolve();

private:
    struct Place {
        int label;
        int block;
    };
    struct Jumping {
        Token at;
        Stmt* stmt;
        std::vector<int> open;  // the blocks the jump is inside, outermost first
    };

    int& next_label_;
    int next_block_ = 1;
    std::vector<int> open_{0};  // the blocks being read; 0 is the scope's own top level
    std::unordered_map<std::string, Place> labels_;  // folded name
    std::vector<Jumping> jumps_;
};

}  // namespace script
