#include "tools/script/language/interpreter.h"

#include <algorithm>
#include <new>

#include "tools/script/bridge/host_text.h"
#include "tools/script/bridge/message_window.h"
#include "tools/script/bridge/object_calls.h"
#include "tools/script/bridge/russian.h"
#include "tools/script/bridge/script_error.h"
#include "tools/script/bridge/value_holder.h"
#include "tools/script/language/arithmetic.h"
#include "tools/script/language/parser.h"
#include "tools/script/language/value_ops.h"

namespace script {

namespace {
[[noreturn]] void Fail(std::string russian, std::string english) {
    throw RuntimeError{{std::move(russian), std::move(english)}};
}

// Too many calls in progress, or too little stack left for the next level; procedure: the one
// running, "" outside procedures.
[[noreturn]] void StackOverflow(const std::string& procedure) {
    const std::string named = procedure.empty() ? std::string() : " (" + procedure + ")";
    Fail(std::string(RU("Переполнение стека вызовов")) + named, "call stack overflow" + named);
}
}  // namespace

// A running procedure's variables. A parameter passed by reference points at the caller's
// variable; every other slot points into the frame's own storage.
struct Interpreter::Frame {
    const Procedure* procedure;
    std::vector<CValue> storage;
    std::vector<CValue*> slots;
    CValue result;
};

Interpreter::Interpreter(const Module& module, MessageWindow* window)
    : module_(module), globals_(static_cast<std::size_t>(module.global_count)) {
    state_.window = window != nullptr ? window : &quiet_window_;
    state_.evaluate = [this](const std::string& text) { return EvaluateText(text); };
}

// The host counts references and has no collector: an object in a cycle lives on after the last
// variable lets go of it, where no script can reach or tell. The run's end frees such cycles in one
// sweep, rather than a sweep over every held value whenever a variable goes out of scope.
Interpreter::~Interpreter() {
    globals_.clear();
    try {
        BreakUnreachableCycles();
    } catch (const std::bad_alloc&) {
        // No memory for the sweep's own books: the cycles stay, as they would in the host.
    }
}

void Interpreter::SetDatabasePath(const std::string& path) {
    globals_[kDatabasePathSlot] = TextValue(path);
}

void Interpreter::Run() { ExecBlock(module_.main, nullptr); }

void Interpreter::Step(const Frame* frame) {
    if (step_limit_ != 0 && ++steps_ > step_limit_)
        Fail(std::string(RU("Превышено допустимое число шагов выполнения")), "step limit reached");
    if (stack_.Exhausted()) StackOverflow(frame != nullptr ? frame->procedure->name : std::string());
}

bool Interpreter::OutOfSteps() const { return step_limit_ != 0 && steps_ > step_limit_; }

// A jump to a label of this block goes on after the label; one to a label further out leaves it.
Interpreter::Flow Interpreter::ExecBlock(const Block& block, Frame* frame) {
    for (std::size_t i = 0; i < block.size(); ++i) {
        const Flow flow = Exec(*block[i], frame);
        if (flow == Flow::Goto) {
            const auto label = std::find_if(block.begin(), block.end(), [this](const auto& stmt) {
                return stmt->kind == StmtKind::Label && stmt->label == goto_label_;
            });
            if (label == block.end()) return flow;
            i = static_cast<std::size_t>(label - block.begin());
        } else if (flow != Flow::Normal) {
            return flow;
        }
    }
    return Flow::Normal;
}

Interpreter::Flow Interpreter::Exec(const Stmt& stmt, Frame* frame) {
    try {
        Step(frame);
        switch (stmt.kind) {
            case StmtKind::Assign:
                Assign(*stmt.target, Eval(*stmt.value, frame), frame);
                return Flow::Normal;
            case StmtKind::Call:
                Eval(*stmt.value, frame, /*want_result=*/false);
                return Flow::Normal;
            case StmtKind::If:
                for (std::size_t i = 0; i < stmt.conditions.size(); ++i)
                    if (IsTrue(Eval(*stmt.conditions[i], frame))) return ExecBlock(stmt.blocks[i], frame);
                if (stmt.blocks.size() > stmt.conditions.size()) return ExecBlock(stmt.blocks.back(), frame);
                return Flow::Normal;
            case StmtKind::While:
                while (IsTrue(Eval(*stmt.conditions[0], frame))) {
                    const Flow flow = ExecBlock(stmt.blocks[0], frame);
                    if (flow == Flow::Break) break;
                    if (flow == Flow::Return || flow == Flow::Goto) return flow;
                }
                return Flow::Normal;
            case StmtKind::For: return ExecFor(stmt, frame);
            case StmtKind::Break: return Flow::Break;
            case StmtKind::Continue: return Flow::Continue;
            case StmtKind::Return:
                if (stmt.value) frame->result = Eval(*stmt.value, frame);
                return Flow::Return;
            case StmtKind::Try: return ExecTry(stmt, frame);
            case StmtKind::Raise: Raise(stmt, frame);
            case StmtKind::Label: return Flow::Normal;
            case StmtKind::Goto:
                goto_label_ = stmt.label;
                return Flow::Goto;
        }
    } catch (RuntimeError& error) {
        if (error.line == 0) error.line = stmt.line;
        throw;
    } catch (const std::bad_alloc&) {
        throw RuntimeError{{std::string(RU("Недостаточно памяти")), "out of memory"}, stmt.line};
    }
    return Flow::Normal;
}

// The limit is taken once; the variable steps by one and may be changed by the body.
Interpreter::Flow Interpreter::ExecFor(const Stmt& stmt, Frame* frame) {
    Assign(*stmt.target, NumberValue(Eval(*stmt.value, frame).GetNumeric()), frame);
    const CNumeric limit = Eval(*stmt.limit, frame).GetNumeric();
    const CValue one = NumberValue(CNumeric(1));
    for (;;) {
        Step(frame);
        CValue& variable = Slot(*stmt.target, frame);
        if (limit < variable.GetNumeric()) return Flow::Normal;
        const Flow flow = ExecBlock(stmt.blocks[0], frame);
        if (flow == Flow::Break) return Flow::Normal;
        if (flow == Flow::Return || flow == Flow::Goto) return flow;
        CValue& after = Slot(*stmt.target, frame);
        after = Arithmetic(BinaryOp::Add, after, one, state_.max_text_length);
    }
}

Interpreter::Flow Interpreter::ExecTry(const Stmt& stmt, Frame* frame) {
    const int depth = depth_;
    try {
        return ExecBlock(stmt.blocks[0], frame);
    } catch (RuntimeError& error) {
        if (OutOfSteps()) throw;  // the budget is the runner's, not the script's to catch
        depth_ = depth;
        state_.last_error = error.text.russian;
        handling_.push_back(error);
    }
    const std::size_t handled = handling_.size();
    try {
        const Flow flow = ExecBlock(stmt.blocks[1], frame);
        handling_.resize(handled - 1);
        return flow;
    } catch (...) {
        handling_.resize(handled - 1);
        throw;
    }
}

// Read once for each procedure and text, then kept: a template in a loop is parsed once. A syntax
// error in the text is a run-time error of the call.
CValue Interpreter::EvaluateText(const std::string& text) {
    Frame* const frame = calling_frame_;
    const Procedure* procedure = frame != nullptr ? frame->procedure : nullptr;
    const std::string key = std::to_string(reinterpret_cast<std::uintptr_t>(procedure)) + ':' + text;
    auto found = expressions_.find(key);
    if (found == expressions_.end()) {
        try {
            found = expressions_.emplace(key, ParseExpressionIn(text, module_, procedure)).first;
        } catch (const SyntaxError& error) {
            Fail(std::string(RU("Ошибка в выражении")) + " [" + text + "]: " + error.text.russian,
                 "error in the expression [" + text + "]: " + error.text.english);
        }
    }
    const CValue value = Eval(*found->second, frame);
    calling_frame_ = frame;
    return value;
}

// With a text: a new error of that text, caught as any other. Without one: the error being
// handled, as it was (its text and line); outside every Исключение block, an error saying so.
void Interpreter::Raise(const Stmt& stmt, Frame* frame) {
    if (stmt.value) {
        const CValue text = Eval(*stmt.value, frame);
        throw RuntimeError{{std::string(text.GetString().view()), "raised by the script"}, stmt.line};
    }
    if (!handling_.empty()) throw RuntimeError(handling_.back());
    Fail(std::string(RU("ВызватьИсключение без текста вне обработки ошибки")),
         "Raise without a text outside an error handler");
}

CValue& Interpreter::Slot(const Expr& variable, Frame* frame) {
    if (variable.kind == ExprKind::Local) return *frame->slots[static_cast<std::size_t>(variable.slot)];
    return globals_[static_cast<std::size_t>(variable.slot)];
}

void Interpreter::Assign(const Expr& target, const CValue& value, Frame* frame) {
    if (target.kind != ExprKind::Property) {
        Slot(target, frame) = value;
        return;
    }
    const CValue holder = Eval(*target.a, frame);  // keeps the object alive through the write
    WriteProperty(ObjectIn(holder, target.name), target.name, value);
    state_.window->ShowNewStatusTexts();
}

CBLContext& Interpreter::ObjectIn(const CValue& holder, const std::string& member) {
    CBLContext* object = holder.GetContext();
    if (object == nullptr)
        Fail(std::string(RU("Значение не является значением объектного типа")) + " (" + member + ")",
             "the value is not an object (" + member + ")");
    return *object;
}

// Each kind with values of its own has its own function, so the frame of Eval, which deep
// expressions stack up, stays small.
CValue Interpreter::Eval(const Expr& expr, Frame* frame, bool want_result) {
    Step(frame);
    switch (expr.kind) {
        case ExprKind::Constant: return expr.value;
        case ExprKind::Local:
        case ExprKind::Global: return Slot(expr, frame);
        case ExprKind::Negate: return EvalNegate(expr, frame);
        case ExprKind::Not: return Boolean(!IsTrue(Eval(*expr.a, frame)));
        case ExprKind::Binary: return EvalBinary(expr, frame);
        case ExprKind::Choice: return IsTrue(Eval(*expr.a, frame)) ? Eval(*expr.b, frame) : Eval(*expr.c, frame);
        case ExprKind::CallProcedure: return CallProcedure(expr, frame, want_result);
        case ExprKind::CallBuiltin: return CallBuiltin(expr, frame);
        case ExprKind::Property: return EvalProperty(expr, frame);
        case ExprKind::Method: return CallMethod(expr, frame, want_result);
    }
    return CValue();
}

CValue Interpreter::EvalNegate(const Expr& expr, Frame* frame) {
    const CValue a = Eval(*expr.a, frame);
    if (a.GetKind() == CValue::Kind::Object)
        Fail(std::string(RU("Недопустимая операция над объектом")), "an object cannot take this operation");
    return NumberValue(Negate(a.GetNumeric()));
}

CValue Interpreter::EvalBinary(const Expr& expr, Frame* frame) {
    if (expr.op == BinaryOp::And) return Boolean(IsTrue(Eval(*expr.a, frame)) && IsTrue(Eval(*expr.b, frame)));
    if (expr.op == BinaryOp::Or) return Boolean(IsTrue(Eval(*expr.a, frame)) || IsTrue(Eval(*expr.b, frame)));
    const CValue a = Eval(*expr.a, frame);
    const CValue b = Eval(*expr.b, frame);
    if (expr.op >= BinaryOp::Equal) return Boolean(Compare(expr.op, a, b));
    return Arithmetic(expr.op, a, b, state_.max_text_length);
}

CValue Interpreter::EvalProperty(const Expr& expr, Frame* frame) {
    // Evaluated before the object's lookup, so the object lives through the read.
    const CValue holder = Eval(*expr.a, frame);
    CValue value = ReadProperty(ObjectIn(holder, expr.name), expr.name);
    state_.window->ShowNewStatusTexts();
    return value;
}

CValue Interpreter::CallProcedure(const Expr& call, Frame* frame, bool want_result) {
    const Procedure& procedure = module_.procedures[static_cast<std::size_t>(call.slot)];
    const std::size_t count = procedure.parameters.size();
    if (call.args.size() > count)
        Fail(std::string(RU("Слишком много фактических параметров")) + " (" + procedure.name + ")",
             "too many arguments (" + procedure.name + ")");
    Frame callee{&procedure, {}, {}, {}};
    callee.storage.resize(static_cast<std::size_t>(procedure.frame_size));
    callee.slots.resize(static_cast<std::size_t>(procedure.frame_size));
    for (std::size_t i = 0; i < callee.slots.size(); ++i) callee.slots[i] = &callee.storage[i];
    for (std::size_t i = 0; i < count; ++i) {
        const Parameter& parameter = procedure.parameters[i];
        const Expr* arg = i < call.args.size() ? call.args[i].get() : nullptr;
        if (arg == nullptr) {
            // Left out: the default, or the empty value as the host gives it.
            if (parameter.has_default) callee.storage[i] = parameter.default_value;
        } else if (!parameter.by_value && (arg->kind == ExprKind::Local || arg->kind == ExprKind::Global)) {
            callee.slots[i] = &Slot(*arg, frame);
        } else {
            callee.storage[i] = Eval(*arg, frame);
        }
    }
    if (depth_ >= kMaxCallDepth || stack_.Exhausted()) StackOverflow(procedure.name);
    ++depth_;
    try {
        ExecBlock(procedure.body, &callee);
    } catch (...) {
        --depth_;
        throw;
    }
    --depth_;
    if (!want_result) return CValue();
    return callee.result;
}

CValue Interpreter::CallBuiltin(const Expr& call, Frame* frame) {
    const Builtin& builtin = Builtins()[static_cast<std::size_t>(call.slot)];
    const int given = static_cast<int>(call.args.size());
    const std::string name(builtin.russian);
    if (given < builtin.min_args)
        Fail(std::string(RU("Недостаточно фактических параметров")) + " (" + name + ")",
             "too few arguments (" + std::string(builtin.english) + ")");
    if (builtin.max_args >= 0 && given > builtin.max_args)
        Fail(std::string(RU("Слишком много фактических параметров")) + " (" + name + ")",
             "too many arguments (" + std::string(builtin.english) + ")");
    std::vector<CValue> args;
    args.reserve(call.args.size());
    for (const ExprPtr& arg : call.args) args.push_back(arg ? Eval(*arg, frame) : CValue());
    Frame* const caller = calling_frame_;
    calling_frame_ = frame;
    CValue result = builtin.run(state_, args);
    calling_frame_ = caller;  // a built-in that throws leaves it stale; the next call sets it again
    // Arguments the built-in fills reach the caller's variables, as a procedure's by-reference ones.
    for (std::size_t i = 0; i < call.args.size() && i < 32; ++i) {
        const Expr* arg = call.args[i].get();
        if ((builtin.fills_args >> i & 1u) != 0 && arg != nullptr &&
            (arg->kind == ExprKind::Local || arg->kind == ExprKind::Global))
            Slot(*arg, frame) = args[i];
    }
    return result;
}

CValue Interpreter::CallMethod(const Expr& call, Frame* frame, bool want_result) {
    const CValue holder = Eval(*call.a, frame);  // keeps the object alive through the call
    CBLContext& object = ObjectIn(holder, call.name);
    std::vector<Argument> args(call.args.size());
    for (std::size_t i = 0; i < call.args.size(); ++i) {
        if (call.args[i])
            args[i].value = Eval(*call.args[i], frame);
        else
            args[i].given = false;
    }
    CValue result = script::CallMethod(object, call.name, args, want_result);
    // A variable passed to a host object's method receives what the method wrote into it.
    for (std::size_t i = 0; i < call.args.size(); ++i) {
        const Expr* arg = call.args[i].get();
        if (arg != nullptr && (arg->kind == ExprKind::Local || arg->kind == ExprKind::Global))
            Slot(*arg, frame) = args[i].value;
    }
    state_.window->ShowNewStatusTexts();
    return result;
}

}  // namespace script
