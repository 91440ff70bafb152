#pragma once
// Runs a parsed module: the statements outside procedures top to bottom, calling its procedures and
// the built-ins, and reaching objects through the host's dispatch (object_calls.h). A run-time
// error that no Попытка catches leaves Run as RuntimeError with its line.
// The module must outlive the interpreter.

#include <vector>

#include "tools/script/builtins.h"
#include "tools/script/syntax_tree.h"

namespace script {

class Interpreter {
public:
    explicit Interpreter(const Module& module);
    Interpreter(const Interpreter&) = delete;
    Interpreter& operator=(const Interpreter&) = delete;

    void Run();
    // Sets ПутьКБазе/DatabasePath (CP1251) before Run.
    void SetDatabasePath(const std::string& path);

    // The module's variables, by slot (for tests).
    const std::vector<CValue>& Globals() const { return globals_; }

    // Deeper nesting of calls than this is a run-time error, not a crash.
    static constexpr int kMaxCallDepth = 400;

private:
    enum class Flow { Normal, Break, Continue, Return };
    struct Frame;

    Flow ExecBlock(const Block& block, Frame* frame);
    Flow Exec(const Stmt& stmt, Frame* frame);
    Flow ExecFor(const Stmt& stmt, Frame* frame);
    Flow ExecTry(const Stmt& stmt, Frame* frame);
    CValue Eval(const Expr& expr, Frame* frame, bool want_result = true);
    CValue& Slot(const Expr& variable, Frame* frame);
    void Assign(const Expr& target, const CValue& value, Frame* frame);
    CValue CallProcedure(const Expr& call, Frame* frame, bool want_result);
    CValue CallBuiltin(const Expr& call, Frame* frame);
    CValue CallMethod(const Expr& call, Frame* frame, bool want_result);
    // The object a value holds; a run-time error naming the member when it holds none.
    static CBLContext& ObjectIn(const CValue& holder, const std::string& member);

    const Module& module_;
    std::vector<CValue> globals_;
    RunState state_;
    int depth_ = 0;
};

}  // namespace script
