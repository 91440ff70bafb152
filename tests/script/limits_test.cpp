// Input built to break the runner ends in the host's error with its line, never in a crash: flat and
// deep expressions, deep nesting and recursion (the parser and the interpreter watch the stack),
// texts that outgrow memory, endless loops under a step budget, every kind of line end, and numbers
// and zero bytes that used to be cut short on the way.
#include <string>
#include <vector>

#include "tests/script/script_fixture.h"
#include "tools/script/language/parser.h"
#include "tools/script/runner.h"

namespace {

using namespace script_test;
using namespace std::string_literals;

std::string Repeated(const std::string& piece, int times) {
    std::string out;
    out.reserve(piece.size() * static_cast<std::size_t>(times));
    for (int i = 0; i < times; ++i) out += piece;
    return out;
}

using ScriptLimits = ScriptTest;

TEST_F(ScriptLimits, LongFlatExpressionIsASyntaxErrorAtItsLine) {
    for (const char* op : {" + 1", " И 1", " = 1", " * 1"}) {
        const SyntaxError e = SyntaxErrorOf("Б = 2;\nА = 1" + Repeated(op, 30000) + ";");
        EXPECT_EQ(Russian(e), "Слишком сложное выражение") << op;
        EXPECT_EQ(e.text.english, "expression too complex") << op;
        EXPECT_EQ(e.line, 2) << op;
    }
}

TEST_F(ScriptLimits, ExpressionWithinTheLimitStillRuns) {
    const int terms = script::kMaxExpressionHeight / 2;
    EXPECT_EQ(Line("Сообщить(1" + Repeated(" + 1", terms - 1) + ");"), std::to_string(terms));
    EXPECT_EQ(Line("Сообщить(" + Repeated("НЕ ", script::kMaxNesting / 2) + "1);"), "1");
}

TEST_F(ScriptLimits, RunsOfUnaryOperatorsAreASyntaxError) {
    for (const char* op : {"НЕ ", "-", "+", "- "}) {
        const SyntaxError e = SyntaxErrorOf("А = 1;\n\nБ = " + Repeated(op, 50000) + "1;");
        EXPECT_EQ(Russian(e), "Слишком большая вложенность") << op;
        EXPECT_EQ(e.line, 3) << op;
    }
}

TEST_F(ScriptLimits, DeepParenthesesCallsAndBlocksAreASyntaxError) {
    const std::vector<std::string> texts = {
        "А = " + Repeated("(", 50000) + "1" + Repeated(")", 50000) + ";",
        "А = " + Repeated("Макс(1, ", 50000) + "1" + Repeated(")", 50000) + ";",
        "А = " + Repeated("?(1, 2, ", 50000) + "1" + Repeated(")", 50000) + ";",
        Repeated("Если 1 Тогда ", 50000) + Repeated("КонецЕсли;", 50000),
        Repeated("Пока 0 Цикл Попытка ", 50000),
    };
    for (const std::string& text : texts) {
        const SyntaxError e = SyntaxErrorOf("\n" + text);
        EXPECT_EQ(Russian(e), "Слишком большая вложенность") << text.substr(0, 20);
        EXPECT_EQ(e.line, 2);
    }
}

// Each call holds a deep expression open, so the stack runs out long before the call limit; the
// error is caught like any other, and the interpreter works on afterwards.
TEST_F(ScriptLimits, DeepRecursionWithinTheCallLimitIsACatchableRuntimeError) {
    const int nesting = script::kMaxNesting - 100;
    const std::string function = "Функция Ф(Знач Н)\n  Возврат ?(Н = 0, 0, " + Repeated("1 + (", nesting) +
                                 "Ф(Н - 1)" + Repeated(")", nesting) + ");\nКонецФункции\n";
    const int calls = Interpreter::kMaxCallDepth - 1;
    const Outcome caught = Run(function + "Попытка А = Ф(" + std::to_string(calls) +
                               "); Исключение Сообщить(ОписаниеОшибки()); КонецПопытки;\nСообщить(Ф(2));");
    EXPECT_FALSE(caught.error) << caught.error_text();
    EXPECT_EQ(caught.lines, (std::vector<std::string>{"Переполнение стека вызовов (Ф)", std::to_string(2 * nesting)}));

    const Outcome uncaught = Run(function + "А = Ф(" + std::to_string(calls) + ");");
    ASSERT_TRUE(uncaught.error);
    EXPECT_EQ(uncaught.error_text(), "Переполнение стека вызовов (Ф)");
    EXPECT_EQ(uncaught.error->line, 2);
}

TEST_F(ScriptLimits, TextOutgrowingItsLimitIsACatchableRuntimeError) {
    const Outcome outcome = Run(
        "А = \"аб\";\nПопытка\n  Пока 1 Цикл\n    А = А + А;\n  КонецЦикла;\n"
        "Исключение\n  Сообщить(ОписаниеОшибки());\nКонецПопытки;\nСообщить(СтрДлина(А));\nБ = А + А + А;",
        [](Interpreter& interpreter) { interpreter.SetTextLimit(1000); });
    EXPECT_EQ(outcome.lines, (std::vector<std::string>{"Слишком длинная строка", "512"}));
    ASSERT_TRUE(outcome.error);
    EXPECT_EQ(outcome.error->line, 10);
}

// The default limit, on the runner's own road; the script survives it.
TEST_F(ScriptLimits, DoublingATextEndsInTheErrorNotInAnAbort) {
    const Outcome outcome = Run(
        "А = \"а\";\nПопытка\n  Пока 1 Цикл А = А + А; КонецЦикла;\n"
        "Исключение\n  Сообщить(ОписаниеОшибки());\nКонецПопытки;\nСообщить(СтрДлина(А));");
    EXPECT_FALSE(outcome.error) << outcome.error_text();
    EXPECT_EQ(outcome.lines,
              (std::vector<std::string>{"Слишком длинная строка", std::to_string(script::kMaxTextLength)}));
}

TEST_F(ScriptLimits, StepLimitEndsAnEndlessLoopPastEveryTry) {
    const Outcome outcome = Run(
        "Н = 0;\nПока 1 Цикл\n  Попытка\n    Пока 1 Цикл Н = Н + 1; КонецЦикла;\n"
        "  Исключение\n    Сообщить(ОписаниеОшибки());\n  КонецПопытки;\nКонецЦикла;",
        [](Interpreter& interpreter) { interpreter.SetStepLimit(10000); });
    ASSERT_TRUE(outcome.error);
    EXPECT_EQ(outcome.error_text(), "Превышено допустимое число шагов выполнения");
    EXPECT_EQ(outcome.error->line, 4);
    EXPECT_TRUE(outcome.lines.empty());
}

using ScriptLineEnds = ScriptTest;

TEST_F(ScriptLineEnds, CarriageReturnLineFeedAndBothEndLines) {
    for (const std::string end : {"\n", "\r\n", "\r"}) {
        const Outcome outcome = Run("А = 1; // комментарий" + end + "Сообщить(\"а" + end + "  |б\");" + end +
                                    "Сообщить(А);" + end + end + "Б = 1 / 0;" + end + "Сообщить(2);");
        EXPECT_EQ(outcome.lines, (std::vector<std::string>{"а\nб", "1"})) << (end == "\r" ? "CR" : "LF or CR-LF");
        ASSERT_TRUE(outcome.error);
        EXPECT_EQ(outcome.error->line, 6);

        SyntaxError e = SyntaxErrorOf("А = 1;" + end + "Б = ;");
        EXPECT_EQ(e.line, 2);
        EXPECT_EQ(e.column, 5);
        e = SyntaxErrorOf("А = 1;" + end + end + "  Б = \"日本\";");
        EXPECT_EQ(e.line, 3);
        EXPECT_EQ(e.column, 8);
    }
}

using ScriptValuesWhole = ScriptTest;

TEST_F(ScriptValuesWhole, HugeCountsAreRefusedOrTakenWholeNeverNarrowed) {
    for (const char* places : {"99999999999999999999", "-99999999999999999999", "4294967297", "101"}) {
        const Outcome outcome = Run(std::string("А = Окр(1.5, ") + places + ");");
        EXPECT_EQ(outcome.error_text(), "Неверное значение аргумента") << places;
    }
    EXPECT_EQ(Line("Сообщить(Строка(Окр(1.55, 1)) + \" \" + Окр(15, -1));"), "1.6 20");
    EXPECT_EQ(Line("Сообщить(Лев(\"абв\", 99999999999999999999) + Лев(\"где\", 4294967295) + Прав(\"жзи\", 4294967295)"
                   " + Сред(\"йкл\", 2, 4294967297) + Сред(\"мно\", 4294967297));"),
              "абвгдежзикл");
}

TEST_F(ScriptValuesWhole, ZeroByteInATextIsShownNotCutShort) {
    const Outcome outcome = Run("А = \"а\0б\";\nСообщить(А);\nСообщить(СтрДлина(А));\nСостояние(А);"s);
    EXPECT_FALSE(outcome.error) << outcome.error_text();
    EXPECT_EQ(outcome.lines, (std::vector<std::string>{"а¤б", "3"}));
    ASSERT_FALSE(GetBkEndUI()->StatusHistory().empty());
    EXPECT_EQ(cp1251::ToUtf8(GetBkEndUI()->StatusHistory().back()), "а¤б");
}

}  // namespace
