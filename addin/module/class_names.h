#pragma once
// The names of the four script classes. The English names also name the runtime-class records.

#include "text/cp1251_literal.h"

namespace Rowlark {

inline constexpr const char* kFieldName = "Rowlark.Provider.OleDb.Field";
inline constexpr const char* kFieldsCollectionName = "Rowlark.Provider.OleDb.FieldsCollection";
inline constexpr const char* kStaticProviderName = "Rowlark.Provider.OleDb.VFP.Static";
inline constexpr const char* kDynamicProviderName = "Rowlark.Provider.OleDb.VFP.Dynamic";

inline constexpr cp1251::Literal kFieldRussianName{"Рядовид.Провайдер.OleDb.Поле"};
inline constexpr cp1251::Literal kFieldsCollectionRussianName{"Рядовид.Провайдер.OleDb.КоллекцияПолей"};
inline constexpr cp1251::Literal kStaticProviderRussianName{"Рядовид.Провайдер.OleDb.VFP.Статический"};
inline constexpr cp1251::Literal kDynamicProviderRussianName{"Рядовид.Провайдер.OleDb.VFP.Динамический"};

}  // namespace Rowlark
