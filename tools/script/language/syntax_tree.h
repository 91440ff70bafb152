#pragma once
// The parsed module: its procedures and functions, the statements outside them, and the number of
// module variables. Names are resolved while parsing: a variable is a slot of its procedure's frame
// or of the module, a call names a procedure of the module or a built-in. Owned by the Module.

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/runtime/value.h"

namespace script {

struct Expr;
using ExprPtr = std::unique_ptr<Expr>;

enum class ExprKind {
    Constant,     // value
    Local,        // slot of the running procedure's frame
    Global,       // slot of the module's variables
    Negate,       // a
    Not,          // a
    Binary,       // a op b
    Choice,       // ?(a, b, c)
    CallProcedure,  // procedure index, args
    CallBuiltin,    // builtin index, args
    Property,     // a.name
    Method,       // a.name(args)
};

enum class BinaryOp { Add, Subtract, Multiply, Divide, Modulo, Equal, NotEqual, Less, Greater, LessEqual,
                      GreaterEqual, And, Or };

struct Expr {
    ExprKind kind;
    int line = 0;
    int height = 1;            // levels of the tree from here down (see parser.h)
    CValue value;              // Constant
    int slot = 0;              // Local, Global; procedure or builtin index for calls
    BinaryOp op = BinaryOp::Add;
    ExprPtr a, b, c;           // operands; a is the object of Property and Method
    std::string name;          // Property, Method: the member name as written (CP1251)
    std::vector<ExprPtr> args; // calls; a null entry is an argument left out ("F(1, , 3)")
};

struct Stmt;
using Block = std::vector<std::unique_ptr<Stmt>>;

// Raise: value is the text, or null to raise again the error being handled. Label: a place "~Name:"
// that Goto jumps to; both carry the label's number.
enum class StmtKind { Assign, Call, If, While, For, Break, Continue, Return, Try, Raise, Label, Goto };

struct Stmt {
    StmtKind kind;
    int line = 0;
    ExprPtr target;             // Assign: Local, Global or Property; For: the loop variable
    ExprPtr value;              // Assign, Return (may be null), For: the start; Call: the call
    ExprPtr limit;              // For: the end
    std::vector<ExprPtr> conditions;  // If: one per branch with a condition; While: one
    std::vector<Block> blocks;  // If: one per condition, then the Else block if any; loops: body;
                                // Try: body, then handler
    int label = -1;             // Label, Goto: the label's number within the module
};

struct Parameter {
    std::string name;   // folded
    bool by_value = false;
    bool has_default = false;
    CValue default_value;
};

struct Procedure {
    std::string name;      // as written
    bool is_function = false;
    int line = 0;
    std::vector<Parameter> parameters;  // slots 0..n-1 of its frame
    int frame_size = 0;                 // parameters and locals
    Block body;
    std::unordered_map<std::string, int> names;  // folded name -> slot, for expressions read at run time
};

// The module variable ПутьКБазе/DatabasePath: the database the runner was given (a text).
inline constexpr int kDatabasePathSlot = 0;

struct Module {
    std::vector<Procedure> procedures;
    int global_count = 0;
    Block main;  // the statements outside procedures, in file order
    // For expressions read at run time (Шаблон): folded names of the module's variables and procedures.
    std::unordered_map<std::string, int> global_names;
    std::unordered_map<std::string, int> procedure_names;
};

}  // namespace script
