// The constructs a developer of the host's language writes beyond statements and expressions:
// Экспорт, forward declarations (Далее), ВызватьИсключение, labels and Перейти, source files in
// either code page, and constructs the runner does not take refused where they stand.
#include <string>
#include <vector>

#include "tests/script/script_fixture.h"

namespace {

using namespace script_test;

using Lines = std::vector<std::string>;
using ScriptConstructs = ScriptTest;

TEST_F(ScriptConstructs, ExportIsTakenAfterModuleVariablesProceduresAndFunctions) {
    const Outcome outcome = Run(
        "Перем глСоединение Экспорт, глДругое;\nПерем глТретье Экспорт;\n"
        "Функция Ф() Экспорт\n  Возврат 5;\nКонецФункции\nПроцедура П(А) Экспорт\n  Сообщить(А);\nКонецПроцедуры\n"
        "глСоединение = Ф(); П(глСоединение);");
    EXPECT_FALSE(outcome.error) << outcome.error_text();
    EXPECT_EQ(outcome.lines, Lines{"5"});
    const SyntaxError local = SyntaxErrorOf("Процедура П()\n  Перем Л Экспорт;\nКонецПроцедуры");
    EXPECT_EQ(Russian(local), "Локальная переменная не может быть экспортирована (Л)");
    EXPECT_EQ(local.line, 2);
    EXPECT_EQ(local.column, 11);
}

TEST_F(ScriptConstructs, ForwardDeclarationLetsEarlierCodeCallALaterDefinition) {
    const Outcome outcome = Run(
        "Процедура Б(Знач Х, У = \"у\") Далее\nФункция В() Экспорт Далее\n"
        "Процедура А()\n  Б(1);\n  Сообщить(В());\nКонецПроцедуры\n"
        "Процедура Б(Знач Х, У = \"у\")\n  Сообщить(\"Б\" + Х + У);\nКонецПроцедуры\n"
        "Функция В() Экспорт\n  Возврат \"В\";\nКонецФункции\nА();");
    EXPECT_FALSE(outcome.error) << outcome.error_text();
    EXPECT_EQ(outcome.lines, (Lines{"Б1у", "В"}));
}

TEST_F(ScriptConstructs, DefinitionDifferingFromItsDeclarationNamesBothLines) {
    for (const char* header : {"Процедура П(Б)", "Процедура П(Знач А)", "Процедура П(А = 1)", "Функция П(А)",
                               "Процедура П(А, Б)", "Процедура П()"}) {
        const SyntaxError error =
            SyntaxErrorOf(std::string("Процедура П(А) Далее\n\n") + header + "\nКонецПроцедуры");
        EXPECT_EQ(Russian(error), "Определение не совпадает с объявлением Далее (П): объявление в строке 1, "
                                  "определение в строке 3")
            << header;
        EXPECT_EQ(error.line, 3) << header;
    }
    EXPECT_EQ(Russian(SyntaxErrorOf("Процедура П(А = \"x\") Далее\nПроцедура П(А = \"y\")\nКонецПроцедуры")),
              "Определение не совпадает с объявлением Далее (П): объявление в строке 1, определение в строке 2");
}

TEST_F(ScriptConstructs, ForwardDeclarationNeverDefinedOrRepeatedIsASyntaxError) {
    const SyntaxError missing = SyntaxErrorOf("А = 1;\nПроцедура Позже() Далее\nПроцедура Ещё() Далее\nА = 2;");
    EXPECT_EQ(Russian(missing), "Процедура или функция объявлена Далее, но не определена (Позже)");
    EXPECT_EQ(missing.line, 2);
    const SyntaxError twice = SyntaxErrorOf("Процедура П() Далее\nПроцедура П() Далее\nПроцедура П()\nКонецПроцедуры");
    EXPECT_EQ(Russian(twice), "Процедура или функция с таким именем уже объявлена (П)");
    EXPECT_EQ(twice.line, 2);
    const SyntaxError after = SyntaxErrorOf("Процедура П()\nКонецПроцедуры\nПроцедура П() Далее");
    EXPECT_EQ(Russian(after), "Процедура или функция с таким именем уже определена (П)");
    EXPECT_EQ(after.line, 3);
}

TEST_F(ScriptConstructs, RaisedTextIsCaughtAndReadByErrorDescription) {
    const Outcome outcome = Run(
        "Процедура Проверить(Х)\n  Если Х < 0 Тогда ВызватьИсключение \"Отрицательное: \" + Х; КонецЕсли;\n"
        "КонецПроцедуры\nПопытка\n  Проверить(-2);\n  Сообщить(\"не здесь\");\nИсключение\n"
        "  Сообщить(ОписаниеОшибки());\nКонецПопытки;\nПроверить(1);\nСообщить(\"дальше\");");
    EXPECT_FALSE(outcome.error) << outcome.error_text();
    EXPECT_EQ(outcome.lines, (Lines{"Отрицательное: -2", "дальше"}));
}

TEST_F(ScriptConstructs, UncaughtRaiseStopsTheRunAtItsLine) {
    const Outcome outcome = Run("Сообщить(1);\nВызватьИсключение \"Стоп\";\nСообщить(2);");
    ASSERT_TRUE(outcome.error);
    EXPECT_EQ(outcome.error_text(), "Стоп");
    EXPECT_EQ(outcome.error->line, 2);
    EXPECT_EQ(outcome.lines, Lines{"1"});
}

TEST_F(ScriptConstructs, RaiseWithoutTextInAHandlerRaisesTheCurrentErrorAgain) {
    const Outcome outcome = Run(
        "Процедура Передать()\n  ВызватьИсключение;\nКонецПроцедуры\n"
        "Попытка\n  Попытка\n    А = 1 / 0;\n  Исключение\n    Сообщить(\"внутри\");\n    Передать();\n"
        "  КонецПопытки;\nИсключение\n  Сообщить(\"снаружи: \" + ОписаниеОшибки());\nКонецПопытки;\n"
        "Попытка\n  ВызватьИсключение \"первая\";\nИсключение\n  Попытка\n    ВызватьИсключение \"вторая\";\n"
        "  Исключение\n  КонецПопытки;\n  Сообщить(ОписаниеОшибки());\n  ВызватьИсключение;\nКонецПопытки;");
    ASSERT_TRUE(outcome.error);
    // After the inner handler ends, the error being handled is the outer one again.
    EXPECT_EQ(outcome.error_text(), "первая");
    EXPECT_EQ(outcome.error->line, 15);
    EXPECT_EQ(outcome.lines, (Lines{"внутри", "снаружи: Деление на ноль", "вторая"}));
}

TEST_F(ScriptConstructs, RaiseWithoutTextOutsideAHandlerIsARunTimeError) {
    const Outcome outcome = Run("Попытка\n  ВызватьИсключение;\nИсключение\n  Сообщить(ОписаниеОшибки());\n"
                                "КонецПопытки;\nВызватьИсключение;");
    ASSERT_TRUE(outcome.error);
    EXPECT_EQ(outcome.error_text(), "ВызватьИсключение без текста вне обработки ошибки");
    EXPECT_EQ(outcome.error->line, 6);
    EXPECT_EQ(outcome.lines, Lines{"ВызватьИсключение без текста вне обработки ошибки"});
}

TEST_F(ScriptConstructs, GotoJumpsBackwardForwardAndOutOfLoops) {
    const Outcome outcome = Run(
        "Н = 0;\n~Снова:\nН = Н + 1;\nЕсли Н < 3 Тогда Перейти ~Снова; КонецЕсли;\nСообщить(Н);\n"
        "Для К = 1 По 10 Цикл\n  Пока 1 Цикл\n    Если К = 4 Тогда Перейти ~Выход; КонецЕсли;\n    Прервать;\n"
        "  КонецЦикла;\nКонецЦикла;\nСообщить(\"пропущено\");\n~Выход: Сообщить(\"К=\" + К);\n"
        "Процедура П()\n  Попытка\n    Перейти ~Конец;\n  Исключение\n  КонецПопытки;\n  Сообщить(\"нет\");\n"
        "  ~Конец:\n  Сообщить(\"конец П\");\nКонецПроцедуры\nП();");
    EXPECT_FALSE(outcome.error) << outcome.error_text();
    EXPECT_EQ(outcome.lines, (Lines{"3", "К=4", "конец П"}));
}

TEST_F(ScriptConstructs, GotoLoopCountsItsStepsAgainstTheLimit) {
    const Outcome outcome =
        Run("~Вечно:\nПерейти ~Вечно;", [](script::Interpreter& interpreter) { interpreter.SetStepLimit(1000); });
    ASSERT_TRUE(outcome.error);
    EXPECT_EQ(outcome.error_text(), "Превышено допустимое число шагов выполнения");
}

TEST_F(ScriptConstructs, LabelsStayWithinTheirProcedureAndOutsideConstructs) {
    const SyntaxError missing = SyntaxErrorOf("Процедура П()\n  ~М: Сообщить(1);\nКонецПроцедуры\nПерейти ~М;");
    EXPECT_EQ(Russian(missing), "Метка не определена (~М)");
    EXPECT_EQ(missing.line, 4);
    EXPECT_EQ(missing.column, 9);
    const SyntaxError into = SyntaxErrorOf("Перейти ~В;\nЕсли 1 Тогда\n  ~В: Сообщить(1);\nКонецЕсли;");
    EXPECT_EQ(Russian(into), "Переход внутрь конструкции недопустим (~В)");
    EXPECT_EQ(into.line, 1);
    const SyntaxError twice = SyntaxErrorOf("~М:\nА = 1;\n~м:");
    EXPECT_EQ(Russian(twice), "Метка с таким именем уже определена (~м)");
    EXPECT_EQ(twice.line, 3);
    EXPECT_EQ(Russian(SyntaxErrorOf("Перейти М;")), "Ожидается метка");
    EXPECT_EQ(Russian(SyntaxErrorOf("~ :")), "Ожидается имя метки");
}

TEST_F(ScriptConstructs, SourceInCodePage1251IsReadAsIs) {
    // "Сообщить("Привет");" with CR-LF line ends, as an old editor saves it in the host's code page.
    const std::string cp1251_text = "\xD1\xEE\xEE\xE1\xF9\xE8\xF2\xFC(\"\xCF\xF0\xE8\xE2\xE5\xF2\");\r\n"
                                    "\xD1\xEE\xEE\xE1\xF9\xE8\xF2\xFC(2);\r\n";
    EXPECT_EQ(script::SourceToHostText(cp1251_text), cp1251_text);
    const Outcome outcome = Run(cp1251::ToUtf8(cp1251_text));
    EXPECT_EQ(outcome.lines, (Lines{"Привет", "2"}));
    Module module = script::Parse(script::SourceToHostText(cp1251_text));
    EXPECT_EQ(module.main.size(), 2u);
    EXPECT_EQ(module.main[1]->line, 2);
}

TEST_F(ScriptConstructs, SourceInUtf8WithOrWithoutAByteOrderMarkIsConverted) {
    EXPECT_EQ(script::SourceToHostText("\xEF\xBB\xBF\xD0\x90=1;"), "\xC0=1;");
    EXPECT_EQ(script::SourceToHostText("\xD0\x90=1;\n"), "\xC0=1;\n");
    EXPECT_EQ(script::SourceToHostText("A=1;"), "A=1;");
    // A character the host's code page cannot hold is still refused where it stands.
    try {
        script::SourceToHostText("А = 1;\nБ = \"\xE6\xBC\xA2\";");
        ADD_FAILURE() << "no syntax error";
    } catch (const SyntaxError& error) {
        EXPECT_EQ(error.line, 2);
        EXPECT_EQ(error.column, 6);
    }
}

TEST_F(ScriptConstructs, UnsupportedConstructIsNamedWhereItStands) {
    const SyntaxError directive = SyntaxErrorOf("А = 1;\n  #ЗагрузитьИзФайла общий.txt\nБ = 2;");
    EXPECT_EQ(Russian(directive), "Конструкция не поддерживается (#ЗагрузитьИзФайла)");
    EXPECT_EQ(directive.line, 2);
    EXPECT_EQ(directive.column, 3);
    const SyntaxError context = SyntaxErrorOf("А = 1;\n  Контекст\nБ = 2;");
    EXPECT_EQ(Russian(context), "Конструкция не поддерживается (Контекст)");
    EXPECT_EQ(context.line, 2);
    EXPECT_EQ(context.column, 3);
    // A name alone is no statement: the error stands on its line, not on the next one.
    const SyntaxError bare = SyntaxErrorOf("А = 1;\n  А\nБ = 2;");
    EXPECT_EQ(Russian(bare), "Ожидается оператор");
    EXPECT_EQ(bare.line, 2);
    EXPECT_EQ(bare.column, 3);
}

}  // namespace
