#pragma once
// Runs a parsed module: the statements outside procedures top to bottom, calling its procedures and
// the built-ins, and reaching objects through the host's dispatch (object_calls.h). A run-time
// error that no Попытка catches leaves Run as RuntimeError with its line.
// The module must outlive the interpreter. When the interpreter goes, the run has ended: its
// variables go, and so do the value lists and tables that only hold one another (value_holder.h).

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "tools/script/bridge/script_error.h"
#include "tools/script/language/builtins.h"
#include "tools/script/language/stack_guard.h"
#include "tools/script/language/syntax_tree.h"

namespace script {

class Interpreter {
public:
    // window: where the script's messages go; null: the host's window only, nothing printed.
    explicit Interpreter(const Module& module, MessageWindow* window = nullptr);
    ~Interpreter();
    Interpreter(const Interpreter&) = delete;
    Interpreter& operator=(const Interpreter&) = delete;

    void Run();
    // Sets ПутьКБазе/DatabasePath (CP1251) before Run.
    void SetDatabasePath(const std::string& path);
    // Ends the run with a run-time error no Попытка catches once it has taken more steps than this
    // (a step: a statement or an expression evaluated; 0, the default: no limit).
    void SetStepLimit(std::uint64_t steps) { step_limit_ = steps; }
    // The longest text a script may make (kMaxTextLength by default); a longer one is a run-time error.
    void SetTextLimit(std::size_t characters) { state_.max_text_length = characters; }
    // РабочаяДата before Run (the runner's option); the empty date, the default: today's.
    void SetWorkDate(calendar::DayNumber day) { state_.work_date = day; }
    // The clock ТекущаяДата and ТекущееВремя read (LocalNow by default; tests give a fixed one).
    void SetClock(Moment (*clock)()) { state_.clock = clock; }

    // The module's variables, by slot (for tests).
    const std::vector<CValue>& Globals() const { return globals_; }

    // Deeper nesting of calls than this is a run-time error, not a crash; so is less stack left
    // than the next level may need (stack_guard.h).
    static constexpr int kMaxCallDepth = 400;

private:
    enum class Flow { Normal, Break, Continue, Return, Goto };  // Goto: to the label in goto_label_
    struct Frame;

    // Counts a step and checks the stack before going one level deeper (frame: null outside procedures).
    void Step(const Frame* frame);
    bool OutOfSteps() const;
    Flow ExecBlock(const Block& block, Frame* frame);
    Flow Exec(const Stmt& stmt, Frame* frame);
    Flow ExecFor(const Stmt& stmt, Frame* frame);
    Flow ExecTry(const Stmt& stmt, Frame* frame);
    [[noreturn]] void Raise(const Stmt& stmt, Frame* frame);
    // An expression's text evaluated in the scope of the call running a built-in (Шаблон).
    CValue EvaluateText(const std::string& text);
    CValue Eval(const Expr& expr, Frame* frame, bool want_result = true);
    CValue EvalNegate(const Expr& expr, Frame* frame);
    CValue EvalBinary(const Expr& expr, Frame* frame);
    CValue EvalProperty(const Expr& expr, Frame* frame);
    CValue& Slot(const Expr& variable, Frame* frame);
    void Assign(const Expr& target, const CValue& value, Frame* frame);
    CValue CallProcedure(const Expr& call, Frame* frame, bool want_result);
    CValue CallBuiltin(const Expr& call, Frame* frame);
    CValue CallMethod(const Expr& call, Frame* frame, bool want_result);
    // The object a value holds; a run-time error naming the member when it holds none.
    static CBLContext& ObjectIn(const CValue& holder, const std::string& member);

    const Module& module_;
    std::vector<CValue> globals_;
    MessageWindow quiet_window_;
    RunState state_;
    int depth_ = 0;
    int goto_label_ = -1;
    Frame* calling_frame_ = nullptr;  // the frame of the call running a built-in
    std::unordered_map<std::string, ExprPtr> expressions_;  // see EvaluateText
    std::vector<RuntimeError> handling_;  // the errors whose Исключение blocks are running, innermost last
    std::uint64_t step_limit_ = 0;
    std::uint64_t steps_ = 0;
    const StackGuard stack_;
};

}  // namespace script
