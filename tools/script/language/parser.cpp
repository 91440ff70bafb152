#include "tools/script/language/parser.h"

#include <algorithm>
#include <unordered_map>

#include "tools/script/bridge/host_text.h"
#include "tools/script/bridge/russian.h"
#include "tools/script/language/builtins.h"
#include "tools/script/language/date_value.h"
#include "tools/script/language/forward_declarations.h"
#include "tools/script/language/labels.h"
#include "tools/script/language/lexer.h"
#include "tools/script/language/stack_guard.h"

namespace script {

namespace {

// A call whose target is known only when the whole module has been read (procedures may follow).
struct PendingCall {
    Expr* call;
    std::string name;  // as written
    bool as_value;     // the script uses its value
    int line, column;
};

using Scope = std::unordered_map<std::string, int>;  // folded name -> slot

class Parser {
public:
    explicit Parser(std::string_view source) : tokens_(Tokenize(source)) {
        MatchParentheses();
        // The one variable the runner gives every module, under both its names.
        globals_.emplace(FoldName(RU("ПутьКБазе")), kDatabasePathSlot);
        globals_.emplace(FoldName("DatabasePath"), kDatabasePathSlot);
        global_count_ = kDatabasePathSlot + 1;
    }

    // Reads one expression in the scope of a parsed module's procedure (null: outside procedures).
    Parser(std::string_view source, const Module& module, const Procedure* procedure) : Parser(source) {
        known_ = &module;
        globals_ = module.global_names;
        procedure_index_ = module.procedure_names;
        if (procedure == nullptr) return;
        locals_ = procedure->names;
        procedure_ = &expression_scope_;
    }

    ExprPtr RunExpression() {
        ExprPtr expr = ParseExpression();
        if (Peek().kind != TokenKind::End)
            Fail(Peek(), std::string(RU("Ожидается конец выражения")), "the end of the expression expected");
        ResolveCalls();
        return expr;
    }

    Module Run() {
        while (Peek().kind != TokenKind::End) {
            if (IsKeyword(Keyword::Procedure) || IsKeyword(Keyword::Function)) {
                ParseProcedure();
            } else {
                ParseStatementInto(module_.main, Stop::None);
            }
        }
        main_labels_.Resolve();
        forwards_.CheckAllDefined();
        ResolveCalls();
        module_.global_count = global_count_;
        module_.global_names = globals_;
        module_.procedure_names = procedure_index_;
        return std::move(module_);
    }

private:
    enum class Stop { None, Block };

    // Holds one level of nesting while a construct is read; too many levels, or too little stack
    // left for the next one, is a syntax error where the reading stands.
    class Nested {
    public:
        explicit Nested(Parser& parser) : parser_(parser) {
            if (++parser_.nesting_ > kMaxNesting || parser_.stack_.Exhausted())
                parser_.Fail(parser_.Peek(), std::string(RU("Слишком большая вложенность")), "nesting too deep");
        }
        ~Nested() { --parser_.nesting_; }
        Nested(const Nested&) = delete;
        Nested& operator=(const Nested&) = delete;

    private:
        Parser& parser_;
    };

    // --- tokens

    const Token& Peek(int ahead = 0) const {
        const std::size_t at = std::min(at_ + static_cast<std::size_t>(ahead), tokens_.size() - 1);
        return tokens_[at];
    }
    const Token& Next() {
        const Token& token = tokens_[at_];
        if (at_ + 1 < tokens_.size()) ++at_;
        return token;
    }
    bool IsKeyword(Keyword keyword) const { return Peek().kind == TokenKind::Keyword && Peek().keyword == keyword; }
    bool IsSymbol(std::string_view symbol) const { return Peek().kind == TokenKind::Symbol && Peek().text == symbol; }
    bool Accept(std::string_view symbol) {
        if (!IsSymbol(symbol)) return false;
        Next();
        return true;
    }
    bool AcceptKeyword(Keyword keyword) {
        if (!IsKeyword(keyword)) return false;
        Next();
        return true;
    }

    [[noreturn]] void Fail(const Token& at, std::string russian, std::string english) const {
        throw SyntaxError{{std::move(russian), std::move(english)}, at.line, at.column};
    }
    [[noreturn]] void Expected(const std::string& what) const {
        Fail(Peek(), std::string(RU("Ожидается")) + " " + what, "expected " + what);
    }
    void Expect(std::string_view symbol) {
        if (!Accept(symbol)) Expected("'" + std::string(symbol) + "'");
    }
    void ExpectKeyword(Keyword keyword) {
        if (!AcceptKeyword(keyword)) Expected(KeywordText(keyword));
    }
    std::string ExpectName() {
        if (Peek().kind != TokenKind::Name) Fail(Peek(), std::string(RU("Ожидается имя")), "a name expected");
        return Next().text;
    }

    // --- names

    int Declare(Scope& scope, const std::string& name) {
        const auto found = scope.find(FoldName(name));
        if (found != scope.end()) return found->second;
        int& count = &scope == &globals_ ? global_count_ : local_count_;
        scope.emplace(FoldName(name), count);
        return count++;
    }

    // A variable as an expression: local to the procedure being read, else the module's. When the
    // name is unknown, an assignment makes it (in the procedure, or in the module outside one);
    // a read is an error.
    ExprPtr Variable(const Token& token, bool assigned) {
        auto expr = std::make_unique<Expr>();
        expr->line = token.line;
        const std::string folded = FoldName(token.text);
        // The form module's context: the runner runs no form, so the name is refused where it stands.
        if (folded == FoldName(RU("Контекст")) || folded == "context")
            Fail(token, std::string(RU("Конструкция не поддерживается")) + " (" + token.text + ")",
                 "construct not supported (" + token.text + ")");
        if (procedure_ != nullptr) {
            const auto local = locals_.find(folded);
            if (local != locals_.end()) {
                expr->kind = ExprKind::Local;
                expr->slot = local->second;
                return expr;
            }
        }
        const auto global = globals_.find(folded);
        if (global != globals_.end()) {
            expr->kind = ExprKind::Global;
            expr->slot = global->second;
            return expr;
        }
        if (!assigned)
            Fail(token, std::string(RU("Переменная не определена")) + " (" + token.text + ")",
                 "variable not defined (" + token.text + ")");
        if (procedure_ != nullptr) {
            expr->kind = ExprKind::Local;
            expr->slot = Declare(locals_, token.text);
        } else {
            expr->kind = ExprKind::Global;
            expr->slot = Declare(globals_, token.text);
        }
        return expr;
    }

    void ParseVar() {
        do {
            const Token& token = Peek();
            const std::string name = ExpectName();
            Scope& scope = procedure_ != nullptr ? locals_ : globals_;
            if (scope.count(FoldName(name)))
                Fail(token, std::string(RU("Переменная с таким именем уже определена")) + " (" + name + ")",
                     "variable already defined (" + name + ")");
            Declare(scope, name);
            if (IsKeyword(Keyword::Export) && procedure_ != nullptr)
                Fail(Peek(), std::string(RU("Локальная переменная не может быть экспортирована")) + " (" + name + ")",
                     "a local variable cannot be exported (" + name + ")");
            AcceptKeyword(Keyword::Export);  // the module has no other module to export to: taken, no effect
        } while (Accept(","));
    }

    // --- procedures

    // "Процедура Имя(...) [Экспорт]" and its body, or "... Далее" and no body (a forward declaration).
    void ParseProcedure() {
        const bool is_function = Next().keyword == Keyword::Function;
        const Token& name_token = Peek();
        Procedure procedure;
        procedure.name = ExpectName();
        procedure.is_function = is_function;
        procedure.line = name_token.line;
        const std::string folded = FoldName(procedure.name);
        if (procedure_index_.count(folded))
            Fail(name_token,
                 std::string(RU("Процедура или функция с таким именем уже определена")) + " (" + procedure.name + ")",
                 "procedure or function already defined (" + procedure.name + ")");
        locals_.clear();
        local_count_ = 0;
        procedure_ = &procedure;
        ParseParameters(procedure);
        AcceptKeyword(Keyword::Export);  // taken, no effect: the module is the only one
        if (AcceptKeyword(Keyword::Forward)) {
            procedure_ = nullptr;
            forwards_.Declare(std::move(procedure), name_token);
            return;
        }
        forwards_.Define(procedure, name_token);
        procedure_index_.emplace(folded, static_cast<int>(module_.procedures.size()));
        LabelScope labels(next_label_);
        procedure_labels_ = &labels;
        const Keyword end = is_function ? Keyword::EndFunction : Keyword::EndProcedure;
        procedure.body = ParseBlock();
        ExpectKeyword(end);
        labels.Resolve();
        procedure_labels_ = nullptr;
        procedure.frame_size = local_count_;
        procedure.names = locals_;
        procedure_ = nullptr;
        module_.procedures.push_back(std::move(procedure));
    }

    void ParseParameters(Procedure& procedure) {
        Expect("(");
        if (!IsSymbol(")")) {
            do {
                Parameter parameter;
                parameter.by_value = AcceptKeyword(Keyword::Val);
                const Token& token = Peek();
                parameter.name = ExpectName();
                if (locals_.count(FoldName(parameter.name)))
                    Fail(token, std::string(RU("Параметр с таким именем уже определен")) + " (" + parameter.name + ")",
                         "parameter already defined (" + parameter.name + ")");
                Declare(locals_, parameter.name);
                if (Accept("=")) {
                    parameter.has_default = true;
                    parameter.default_value = ParseConstant();
                }
                procedure.parameters.push_back(std::move(parameter));
            } while (Accept(","));
        }
        Expect(")");
    }

    // A default argument: a number (possibly negative), a text or a date.
    CValue ParseConstant() {
        const bool negative = Accept("-");
        const Token& token = Peek();
        if (token.kind == TokenKind::Number) {
            Next();
            if (!negative) return NumberValue(token.number);
            return NumberValue(CNumeric::Parse("-" + token.number.Format()));
        }
        if (token.kind == TokenKind::Text && !negative) return TextValue(Next().text);
        if (token.kind == TokenKind::Date && !negative) return DateValue(Next().date);
        Fail(token, std::string(RU("Ожидается константа")), "a constant expected");
    }

    // --- statements

    LabelScope& Labels() { return procedure_labels_ != nullptr ? *procedure_labels_ : main_labels_; }

    bool AtBlockEnd() const {
        if (Peek().kind == TokenKind::End) return true;
        if (Peek().kind != TokenKind::Keyword) return false;
        switch (Peek().keyword) {
            case Keyword::ElsIf: case Keyword::Else: case Keyword::EndIf: case Keyword::EndDo:
            case Keyword::EndProcedure: case Keyword::EndFunction: case Keyword::Except: case Keyword::EndTry:
                return true;
            default:
                return false;
        }
    }

    Block ParseBlock() {
        const Nested nested(*this);
        Block block;
        Labels().EnterBlock();
        while (!AtBlockEnd()) ParseStatementInto(block, Stop::Block);
        Labels().LeaveBlock();
        return block;
    }

    // One statement and its ';' (which a block's end may stand for). A procedure may not start
    // inside a block.
    void ParseStatementInto(Block& block, Stop stop) {
        if (Accept(";")) return;
        if (Peek().kind == TokenKind::Label && IsSymbolAt(1, ":")) {  // "~Name:" needs no ';' after it
            const Token& label = Next();
            Next();
            auto stmt = NewStmt(StmtKind::Label, label);
            Labels().Define(label, *stmt);
            block.push_back(std::move(stmt));
            return;
        }
        if (IsKeyword(Keyword::Var)) {
            Next();
            ParseVar();
        } else if (stop == Stop::None && AtBlockEnd()) {
            Fail(Peek(), std::string(RU("Ожидается оператор")), "a statement expected");
        } else {
            block.push_back(ParseStatement());
        }
        if (!Accept(";") && !AtBlockEnd()) Expected("';'");
    }

    std::unique_ptr<Stmt> NewStmt(StmtKind kind, const Token& at) {
        auto stmt = std::make_unique<Stmt>();
        stmt->kind = kind;
        stmt->line = at.line;
        return stmt;
    }

    std::unique_ptr<Stmt> ParseStatement() {
        const Token& first = Peek();
        if (first.kind == TokenKind::Keyword) {
            switch (first.keyword) {
                case Keyword::If: return ParseIf();
                case Keyword::While: return ParseWhile();
                case Keyword::For: return ParseFor();
                case Keyword::Try: return ParseTry();
                case Keyword::Break:
                case Keyword::Continue: {
                    Next();
                    if (loop_depth_ == 0)
                        Fail(first, std::string(RU("Оператор")) + " " + KeywordText(first.keyword) + " " +
                                        std::string(RU("вне цикла")),
                             KeywordText(first.keyword) + " outside a loop");
                    return NewStmt(first.keyword == Keyword::Break ? StmtKind::Break : StmtKind::Continue, first);
                }
                case Keyword::Return: return ParseReturn();
                case Keyword::Raise: return ParseRaise();
                case Keyword::Goto: return ParseGoto();
                default:
                    Fail(first, std::string(RU("Ожидается оператор")), "a statement expected");
            }
        }
        if (first.kind != TokenKind::Name)
            Fail(first, std::string(RU("Ожидается оператор")), "a statement expected");
        ExprPtr target = ParsePostfix(/*assigned=*/true, /*as_value=*/false);
        if (IsSymbol("=")) {
            if (target->kind != ExprKind::Local && target->kind != ExprKind::Global &&
                target->kind != ExprKind::Property)
                Fail(Peek(), std::string(RU("Ожидается переменная слева от '='")), "a variable expected left of '='");
            Next();
            auto stmt = NewStmt(StmtKind::Assign, first);
            stmt->target = std::move(target);
            stmt->value = ParseExpression();
            return stmt;
        }
        if (target->kind != ExprKind::CallProcedure && target->kind != ExprKind::CallBuiltin &&
            target->kind != ExprKind::Method)
            Fail(first, std::string(RU("Ожидается оператор")), "a statement expected");
        auto stmt = NewStmt(StmtKind::Call, first);
        stmt->value = std::move(target);
        return stmt;
    }

    std::unique_ptr<Stmt> ParseIf() {
        auto stmt = NewStmt(StmtKind::If, Next());
        do {
            stmt->conditions.push_back(ParseExpression());
            ExpectKeyword(Keyword::Then);
            stmt->blocks.push_back(ParseBlock());
        } while (AcceptKeyword(Keyword::ElsIf));
        if (AcceptKeyword(Keyword::Else)) stmt->blocks.push_back(ParseBlock());
        ExpectKeyword(Keyword::EndIf);
        return stmt;
    }

    Block ParseLoopBody() {
        ExpectKeyword(Keyword::Do);
        ++loop_depth_;
        Block body = ParseBlock();
        --loop_depth_;
        ExpectKeyword(Keyword::EndDo);
        return body;
    }

    std::unique_ptr<Stmt> ParseWhile() {
        auto stmt = NewStmt(StmtKind::While, Next());
        stmt->conditions.push_back(ParseExpression());
        stmt->blocks.push_back(ParseLoopBody());
        return stmt;
    }

    std::unique_ptr<Stmt> ParseFor() {
        auto stmt = NewStmt(StmtKind::For, Next());
        const Token& name = Peek();
        ExpectName();
        stmt->target = Variable(name, /*assigned=*/true);
        Expect("=");
        stmt->value = ParseExpression();
        ExpectKeyword(Keyword::To);
        stmt->limit = ParseExpression();
        stmt->blocks.push_back(ParseLoopBody());
        return stmt;
    }

    std::unique_ptr<Stmt> ParseTry() {
        auto stmt = NewStmt(StmtKind::Try, Next());
        stmt->blocks.push_back(ParseBlock());
        ExpectKeyword(Keyword::Except);
        stmt->blocks.push_back(ParseBlock());
        ExpectKeyword(Keyword::EndTry);
        return stmt;
    }

    // "ВызватьИсключение [текст]": without a text, the error being handled is raised again.
    std::unique_ptr<Stmt> ParseRaise() {
        auto stmt = NewStmt(StmtKind::Raise, Next());
        if (!IsSymbol(";") && !AtBlockEnd()) stmt->value = ParseExpression();
        return stmt;
    }

    std::unique_ptr<Stmt> ParseGoto() {
        auto stmt = NewStmt(StmtKind::Goto, Next());
        if (Peek().kind != TokenKind::Label) Fail(Peek(), std::string(RU("Ожидается метка")), "a label expected");
        Labels().Jump(Next(), *stmt);
        return stmt;
    }

    std::unique_ptr<Stmt> ParseReturn() {
        const Token& at = Next();
        auto stmt = NewStmt(StmtKind::Return, at);
        if (procedure_ == nullptr)
            Fail(at, std::string(RU("Оператор Возврат вне процедуры или функции")),
                 "Return outside a procedure or function");
        const bool has_value = !IsSymbol(";") && !AtBlockEnd();
        if (procedure_->is_function && !has_value)
            Fail(Peek(), std::string(RU("Функция должна возвращать значение")), "a function must return a value");
        if (!procedure_->is_function && has_value)
            Fail(Peek(), std::string(RU("Процедура не может возвращать значение")), "a procedure returns no value");
        if (has_value) stmt->value = ParseExpression();
        return stmt;
    }

    // --- expressions, lowest precedence first

    ExprPtr Binary(BinaryOp op, ExprPtr a, ExprPtr b, int line) {
        auto expr = std::make_unique<Expr>();
        expr->kind = ExprKind::Binary;
        expr->op = op;
        expr->line = line;
        expr->a = std::move(a);
        expr->b = std::move(b);
        return Measured(std::move(expr));
    }

    // The node with its height set from its operands'; a syntax error when it grows too tall, as
    // the interpreter and the tree's own destruction walk it recursively.
    ExprPtr Measured(ExprPtr expr) {
        int below = 0;
        for (const ExprPtr* child : {&expr->a, &expr->b, &expr->c})
            if (*child) below = std::max(below, (*child)->height);
        for (const ExprPtr& arg : expr->args)
            if (arg) below = std::max(below, arg->height);
        expr->height = below + 1;
        if (expr->height > kMaxExpressionHeight)
            Fail(Peek(), std::string(RU("Слишком сложное выражение")), "expression too complex");
        return expr;
    }

    ExprPtr ParseExpression() {
        const Nested nested(*this);
        return ParseOr();
    }

    ExprPtr ParseOr() {
        ExprPtr left = ParseAnd();
        while (IsKeyword(Keyword::Or)) {
            const int line = Next().line;
            left = Binary(BinaryOp::Or, std::move(left), ParseAnd(), line);
        }
        return left;
    }

    ExprPtr ParseAnd() {
        ExprPtr left = ParseNot();
        while (IsKeyword(Keyword::And)) {
            const int line = Next().line;
            left = Binary(BinaryOp::And, std::move(left), ParseNot(), line);
        }
        return left;
    }

    ExprPtr ParseNot() {
        if (!IsKeyword(Keyword::Not)) return ParseComparison();
        const Nested nested(*this);
        auto expr = std::make_unique<Expr>();
        expr->kind = ExprKind::Not;
        expr->line = Next().line;
        expr->a = ParseNot();
        return Measured(std::move(expr));
    }

    ExprPtr ParseComparison() {
        ExprPtr left = ParseAdditive();
        static const std::pair<std::string_view, BinaryOp> kOps[] = {
            {"=", BinaryOp::Equal},      {"<>", BinaryOp::NotEqual}, {"<=", BinaryOp::LessEqual},
            {">=", BinaryOp::GreaterEqual}, {"<", BinaryOp::Less},   {">", BinaryOp::Greater}};
        for (;;) {
            bool matched = false;
            for (const auto& [symbol, op] : kOps) {
                if (!IsSymbol(symbol)) continue;
                const int line = Next().line;
                left = Binary(op, std::move(left), ParseAdditive(), line);
                matched = true;
                break;
            }
            if (!matched) return left;
        }
    }

    ExprPtr ParseAdditive() {
        ExprPtr left = ParseMultiplicative();
        for (;;) {
            if (IsSymbol("+") || IsSymbol("-")) {
                const Token& op = Next();
                left = Binary(op.text == "+" ? BinaryOp::Add : BinaryOp::Subtract, std::move(left),
                              ParseMultiplicative(), op.line);
            } else {
                return left;
            }
        }
    }

    ExprPtr ParseMultiplicative() {
        ExprPtr left = ParseUnary();
        for (;;) {
            if (IsSymbol("*") || IsSymbol("/") || IsSymbol("%")) {
                const Token& op = Next();
                const BinaryOp kind = op.text == "*" ? BinaryOp::Multiply
                                      : op.text == "/" ? BinaryOp::Divide
                                                       : BinaryOp::Modulo;
                left = Binary(kind, std::move(left), ParseUnary(), op.line);
            } else {
                return left;
            }
        }
    }

    ExprPtr ParseUnary() {
        if (!IsSymbol("-") && !IsSymbol("+")) return ParsePostfix(/*assigned=*/false, /*as_value=*/true);
        const Nested nested(*this);
        if (Accept("+")) return ParseUnary();
        auto expr = std::make_unique<Expr>();
        expr->kind = ExprKind::Negate;
        expr->line = Next().line;
        expr->a = ParseUnary();
        return Measured(std::move(expr));
    }

    std::vector<ExprPtr> ParseArguments() {
        std::vector<ExprPtr> args;
        Expect("(");
        if (Accept(")")) return args;
        for (;;) {
            if (IsSymbol(",") || IsSymbol(")"))
                args.push_back(nullptr);
            else
                args.push_back(ParseExpression());
            if (Accept(")")) return args;
            Expect(",");
        }
    }

    // A primary followed by members: ".Name" reads a property, ".Name(...)" calls a method. The
    // last link is what an assignment writes or a call statement calls; the value of every link
    // but the last is used, so only the last may be a procedure.
    ExprPtr ParsePostfix(bool assigned, bool as_value) {
        ExprPtr expr = ParsePrimary(assigned && !IsSymbolAt(1, "."), as_value || IsSymbolAfterCall("."));
        while (IsSymbol(".")) {
            Next();
            const Token& name = Peek();
            if (name.kind != TokenKind::Name && name.kind != TokenKind::Keyword)
                Fail(name, std::string(RU("Ожидается имя")), "a name expected");
            Next();
            auto member = std::make_unique<Expr>();
            member->line = name.line;
            member->name = name.text;
            member->a = std::move(expr);
            if (IsSymbol("(")) {
                member->kind = ExprKind::Method;
                member->args = ParseArguments();
            } else {
                member->kind = ExprKind::Property;
            }
            expr = Measured(std::move(member));
        }
        return expr;
    }

    bool IsSymbolAt(int ahead, std::string_view symbol) const {
        return Peek(ahead).kind == TokenKind::Symbol && Peek(ahead).text == symbol;
    }

    // Whether the call that starts here ("Name(...)") is followed by the symbol.
    bool IsSymbolAfterCall(std::string_view symbol) const {
        if (Peek().kind != TokenKind::Name || !IsSymbolAt(1, "(")) return false;
        const std::size_t close = closing_[at_ + 1];
        return close != 0 && close + 1 < tokens_.size() && tokens_[close + 1].kind == TokenKind::Symbol &&
               tokens_[close + 1].text == symbol;
    }

    // For every "(" the place of its ")" (0 when it has none), found once: looking ahead call by
    // call would take time growing with the square of the text.
    void MatchParentheses() {
        closing_.assign(tokens_.size(), 0);
        std::vector<std::size_t> open;
        for (std::size_t i = 0; i < tokens_.size(); ++i) {
            if (tokens_[i].kind != TokenKind::Symbol) continue;
            if (tokens_[i].text == "(") open.push_back(i);
            if (tokens_[i].text == ")" && !open.empty()) {
                closing_[open.back()] = i;
                open.pop_back();
            }
        }
    }

    ExprPtr ParsePrimary(bool assigned, bool as_value) {
        const Token& token = Peek();
        auto expr = std::make_unique<Expr>();
        expr->line = token.line;
        switch (token.kind) {
            case TokenKind::Number:
                Next();
                expr->kind = ExprKind::Constant;
                expr->value = NumberValue(token.number);
                return expr;
            case TokenKind::Text:
                Next();
                expr->kind = ExprKind::Constant;
                expr->value = TextValue(token.text);
                return expr;
            case TokenKind::Date:
                Next();
                expr->kind = ExprKind::Constant;
                expr->value = DateValue(token.date);
                return expr;
            case TokenKind::Name:
                Next();
                if (!IsSymbol("(")) return Variable(token, assigned);
                expr->kind = ExprKind::CallBuiltin;  // settled by ResolveCalls
                expr->args = ParseArguments();
                pending_.push_back({expr.get(), token.text, as_value, token.line, token.column});
                return Measured(std::move(expr));
            case TokenKind::Symbol:
                if (token.text == "(") {
                    Next();
                    ExprPtr inner = ParseExpression();
                    Expect(")");
                    return inner;
                }
                if (token.text == "?") {
                    Next();
                    Expect("(");
                    expr->kind = ExprKind::Choice;
                    expr->a = ParseExpression();
                    Expect(",");
                    expr->b = ParseExpression();
                    Expect(",");
                    expr->c = ParseExpression();
                    Expect(")");
                    return Measured(std::move(expr));
                }
                break;
            default:
                break;
        }
        Fail(token, std::string(RU("Ожидается выражение")), "an expression expected");
    }

    void ResolveCalls() {
        for (const PendingCall& pending : pending_) {
            const Token at{TokenKind::Name, Keyword::None, pending.name, {}, pending.line, pending.column};
            const auto procedure = procedure_index_.find(FoldName(pending.name));
            bool has_result = false;
            if (procedure != procedure_index_.end()) {
                pending.call->kind = ExprKind::CallProcedure;
                pending.call->slot = procedure->second;
                const Module& known = known_ != nullptr ? *known_ : module_;
                has_result = known.procedures[static_cast<std::size_t>(procedure->second)].is_function;
            } else {
                const int builtin = FindBuiltin(pending.name);
                if (builtin < 0)
                    Fail(at,
                         std::string(RU("Процедура или функция с указанным именем не определена")) + " (" +
                             pending.name + ")",
                         "no procedure or function of that name (" + pending.name + ")");
                pending.call->slot = builtin;
                has_result = Builtins()[static_cast<std::size_t>(builtin)].has_result;
            }
            if (pending.as_value && !has_result)
                Fail(at, std::string(RU("Процедура не может быть вызвана как функция")) + " (" + pending.name + ")",
                     "a procedure cannot be called as a function (" + pending.name + ")");
        }
    }

    std::vector<Token> tokens_;
    std::vector<std::size_t> closing_;  // see MatchParentheses
    std::size_t at_ = 0;
    int nesting_ = 0;  // levels held by Nested
    const StackGuard stack_;
    Module module_;
    Scope globals_;
    Scope locals_;
    int global_count_ = 0;
    int local_count_ = 0;
    Procedure* procedure_ = nullptr;  // the procedure being read, if any
    int next_label_ = 0;
    LabelScope main_labels_{next_label_};        // the labels outside procedures
    LabelScope* procedure_labels_ = nullptr;     // the labels of the procedure being read
    ForwardDeclarations forwards_;
    int loop_depth_ = 0;
    std::unordered_map<std::string, int> procedure_index_;
    const Module* known_ = nullptr;  // reading an expression: the module whose names it uses
    Procedure expression_scope_;     // reading an expression in a procedure: stands for it
    std::vector<PendingCall> pending_;
};

}  // namespace

Module Parse(std::string_view source) { return Parser(source).Run(); }

ExprPtr ParseExpressionIn(std::string_view source, const Module& module, const Procedure* procedure) {
    return Parser(source, module, procedure).RunExpression();
}

}  // namespace script
