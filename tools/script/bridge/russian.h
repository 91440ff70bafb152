#pragma once
// RU("текст"): a Russian text of the runner as CP1251 bytes, converted while compiling, readable here.

#include <string_view>

#include "text/cp1251_literal.h"

#define RU(utf8) ([]() -> std::string_view { static constexpr cp1251::Literal kText{utf8}; return kText.view(); }())
