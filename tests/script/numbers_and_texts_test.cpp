// Numbers and texts as scripts see them: the host number's arithmetic behind the operators, Формат's
// number form piece by piece, Шаблон in the caller's scope, and the message window the runner prints.
#include <cstdio>
#include <string>
#include <vector>

#include "tests/script/script_fixture.h"
#include "tools/script/bridge/message_window.h"
#include "tools/script/language/format_value.h"

namespace {

using namespace script_test;

using Lines = std::vector<std::string>;
using ScriptNumbersAndTexts = ScriptTest;

TEST_F(ScriptNumbersAndTexts, RemainderOfFarApartOperandsIsExact) {
    EXPECT_EQ(Line("Сообщить(555310942802200000000000000 % 94);"), "0");
    EXPECT_EQ(Line("Сообщить(-555310942802200000000000001 % 94);"), "-1");
    EXPECT_EQ(Line("Сообщить(1000000000000000000000000000000000000000 % 7);"), "6");
    EXPECT_EQ(Line("Сообщить(2 / 3 * 3);"), "2");  // 2.0…01 has 39 digits: rounded to 38
    EXPECT_EQ(Line("Сообщить(1 / 3 * 3);"), "0.99999999999999999999999999999999999999");
    EXPECT_EQ(Line("Сообщить(\"\" + Окр(-2.5) + \" \" + Окр(2.5, 0, 0) + \" \" + Окр(1250, -2) + \" \" + Цел(-7.9));"),
              "-3 2 1300 -7");
}

TEST_F(ScriptNumbersAndTexts, NumberFormPadsRoundsAndSeparates) {
    using script::FormatNumber;
    EXPECT_EQ(FormatNumber(CNumeric::Parse("1234567.895"), 15, 2, ',', ' '), "   1 234 567,90");
    EXPECT_EQ(FormatNumber(CNumeric::Parse("-1234567.895"), 0, 2, '.', '\''), "-1'234'567.90");
    EXPECT_EQ(FormatNumber(CNumeric::Parse("-0.004"), 6, 2, '.', '\0'), "  0.00");
    EXPECT_EQ(FormatNumber(CNumeric::Parse("-0.005"), 6, 2, '.', '\0'), " -0.01");
    EXPECT_EQ(FormatNumber(CNumeric::Parse("123"), 2, 0, '.', '\0'), "123");  // wider than asked: whole
    EXPECT_EQ(FormatNumber(CNumeric::Parse("100"), 0, 0, '.', ' '), "100");
    EXPECT_EQ(FormatNumber(CNumeric::Parse("1000"), 0, 0, '.', ' '), "1 000");
    EXPECT_EQ(FormatNumber(CNumeric::Parse("1e50"), 0, 2, '.', ' '), "1e+50");
}

TEST_F(ScriptNumbersAndTexts, TemplateReadsTheCallersVariablesAndCallsItsProcedures) {
    const Outcome outcome = Run(
        "Перем глА;\nглА = 2;\nФункция Квадрат(Х)\n  Возврат Х * Х;\nКонецФункции\n"
        "Процедура П(Знач Б)\n  В = \"в\";\n  Для К = 1 По 2 Цикл\n"
        "    Сообщить(Шаблон(\"[глА]-[Б]-[В]-[К]-[Квадрат(К + Б)]-[В + В]\"));\n"
        "  КонецЦикла;\nКонецПроцедуры\nП(10);\nСообщить(Шаблон(\"[глА * 3]\"));");
    EXPECT_FALSE(outcome.error) << outcome.error_text();
    EXPECT_EQ(outcome.lines, (Lines{"2-10-в-1-121-вв", "2-10-в-2-144-вв", "6"}));
}

TEST_F(ScriptNumbersAndTexts, TemplateErrorsAreRunTimeErrorsAPopytkaCatches) {
    const Outcome outcome = Run(
        "Процедура П()\n  Л = 1;\nКонецПроцедуры\n"
        "Попытка\n  Шаблон(\"[Л]\");\nИсключение\n  Сообщить(ОписаниеОшибки());\nКонецПопытки;\n"
        "Попытка\n  Шаблон(\"[1 +]\");\nИсключение\n  Сообщить(ОписаниеОшибки());\nКонецПопытки;\n"
        "Шаблон(\"а [1\");");
    ASSERT_TRUE(outcome.error);
    EXPECT_EQ(outcome.error_text(), "Не закрыта скобка ']' в шаблоне");
    EXPECT_EQ(outcome.error->line, 14);
    EXPECT_EQ(outcome.lines, (Lines{"Ошибка в выражении [Л]: Переменная не определена (Л)",
                                    "Ошибка в выражении [1 +]: Ожидается выражение"}));
}

TEST_F(ScriptNumbersAndTexts, ClearingTheMessageWindowForgetsItsLines) {
    const Outcome outcome = Run("Сообщить(1);\nОчиститьОкноСообщений();\nСообщить(2);");
    EXPECT_FALSE(outcome.error) << outcome.error_text();
    EXPECT_EQ(outcome.lines, Lines{"2"});
}

// What a printing window writes, read back from its stream.
std::string Printed(const std::function<void(script::MessageWindow&)>& use) {
    std::FILE* stream = std::tmpfile();
    {
        script::MessageWindow window(stream);
        use(window);
    }
    std::rewind(stream);
    std::string text;
    for (int c = std::fgetc(stream); c != EOF; c = std::fgetc(stream)) text.push_back(static_cast<char>(c));
    std::fclose(stream);
    return text;
}

TEST_F(ScriptNumbersAndTexts, MessageWindowShowsControlsByStandInsAndKeepsLineBreaks) {
    const std::string printed = Printed([](script::MessageWindow& window) {
        window.Message(cp1251::FromUtf8("а\x1b[2Jб\r\nв\rг\nд"), "!");
        window.Status(cp1251::FromUtf8("с\x07"));
        window.MessageBox("x\x08y");
    });
    EXPECT_EQ(printed, "! а␛[2Jб\n! в␍г\n! д\nСостояние: с␇\nПредупреждение: x␈y\n");
}

TEST_F(ScriptNumbersAndTexts, QuietWindowAnswersNoQuestion) {
    script::MessageWindow quiet;
    std::string answer = "unchanged";
    EXPECT_FALSE(quiet.Ask("Вопрос:", "?", answer));
    EXPECT_EQ(answer, "unchanged");
    const Outcome outcome = Run("Сообщить(Вопрос(\"Да?\", \"Да+Нет\") + Вопрос(\"ОК?\", 1));\nС = \"с\";\n"
                                "Сообщить(\"\" + ВвестиСтроку(С, \"?\") + С);");
    EXPECT_EQ(outcome.lines, (Lines{"Нет2", "0с"}));
}

}  // namespace
