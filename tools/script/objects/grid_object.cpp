#include "tools/script/objects/grid_object.h"

#include <cstdint>
#include <cstdio>

#include "platform/runtime/module.h"
#include "platform/text/cp1251.h"
#include "tools/script/bridge/host_text.h"
#include "tools/script/bridge/russian.h"
#include "tools/script/objects/member_table.h"
#include "tools/session/page_table.h"

namespace script {

namespace {

constexpr int kErrorFlag = 7;
constexpr long kMaxPageSize = 1000;

enum Property { kPageSize, kProvider, kVisibleRows, kPropertyCount };
enum Method { kSetProvider, kHome, kEnd, kPageDown, kPageUp, kRefresh, kSearch, kGoToKey, kShow, kPageText,
              kRowCount, kRowKey, kCellValue, kMethodCount };

const MemberTable& Properties() {
    static const MemberTable table({
        {RU("РазмерСтраницы"), "PageSize", 0, true, 0},
        {RU("Провайдер"), "Provider", 0, true, 0},
        {RU("ВидимыхСтрок"), "VisibleRows", 0, true, 0},
    });
    return table;
}

// Every argument is required: no method has defaults.
const MemberTable& Methods() {
    static const MemberTable table({
        {RU("УстановитьПровайдер"), "SetProvider", 1, false, 1},
        {RU("ВНачало"), "Home", 0, true, 0},
        {RU("ВКонец"), "End", 0, true, 0},
        {RU("СтраницаВниз"), "PageDown", 0, true, 0},
        {RU("СтраницаВверх"), "PageUp", 0, true, 0},
        {RU("Обновить"), "Refresh", 0, true, 0},
        {RU("Найти"), "Search", 2, true, 2},
        {RU("НайтиПоКлючу"), "GoToKey", 1, true, 1},
        {RU("Показать"), "Show", 0, false, 0},
        {RU("ТекстСтраницы"), "PageText", 0, true, 0},
        {RU("КоличествоСтрок"), "RowCount", 0, true, 0},
        {RU("КлючСтроки"), "RowKey", 1, true, 1},
        {RU("ЗначениеЯчейки"), "CellValue", 2, true, 2},
    });
    return table;
}

void Raise(std::string_view text) { CBLModule::RaiseExtRuntimeError(std::string(text).c_str(), kErrorFlag); }

CObject* CreateGridObject() { return new GridObject(); }

// The number of row's field named name in any letter case, the exact name first: the layer names
// a result's columns in small letters, while a script writes them as its query did ("Артикул").
// -1 when there is none.
int FieldIndex(::CDataRow& row, const char* name) {
    const int exact = row.LookupFieldIndex(name);
    if (exact >= 0) return exact;
    const std::string folded = FoldName(name);
    for (int i = 0; i < row.GetFieldCount(); ++i) {
        const char* field = row.LookupFieldName(i);
        if (field && FoldName(field) == folded) return i;
    }
    return -1;
}

// The name the provider gives the column a script names in any letter case, as a visible row has
// it; the name as written when no row shows or none has it (the provider then answers for it).
std::string ProviderColumnName(const grid_component::Grid& grid, const char* name) {
    if (grid.Rows().empty()) return name;
    ::CDataRow& row = *grid.Rows().front();
    const int index = FieldIndex(row, name);
    const char* field = index < 0 ? nullptr : row.LookupFieldName(index);
    return field ? field : name;
}

// The host value of a visible row's column (its name in any letter case), read through the
// provider's grid interface as the grid reads it; raises for a column it does not have.
void ReadCell(const CValue& provider, ::CDataRow* row, const CValue& column, CValue& out) {
    const auto v7_provider = GetGridInterface<CV7DataProvider>(provider.GetContext());
    const int index = FieldIndex(*row, column.GetString());
    if (!v7_provider || index < 0) {
        Raise(std::string(RU("Нет такой колонки у провайдера")) + " (" + std::string(column.GetString().view()) + ")");
        return;
    }
    out = v7_provider->GetV7Row(row)->GetValueAt(index);
}

}  // namespace

CRuntimeClass GridObject::classGridObject = {"CGridObject", sizeof(GridObject), 0xFFFF, CreateGridObject,
                                             &CBLContext::classCBLContext};

GridObject::GridObject() = default;
GridObject::~GridObject() = default;
CRuntimeClass* GridObject::GetRuntimeClass() const { return &classGridObject; }
const char* GridObject::DisplayTypeName() const { return RU("Сетка").data(); }

int GridObject::PropertyCount() { return Properties().Count(); }
int GridObject::LookupProperty(const char* name) { return Properties().Lookup(name); }
const char* GridObject::PropertyNameAt(int index, int language) { return Properties().NameAt(index, language); }
int GridObject::CanReadProperty(int index) { return Properties().Has(index) ? 1 : 0; }
int GridObject::CanWriteProperty(int index) { return index == kPageSize ? 1 : 0; }

int GridObject::ReadProperty(int index, CValue& out) {
    switch (index) {
        case kPageSize: out = static_cast<long>(page_size_); return 1;
        case kProvider: out = provider_; return 1;
        case kVisibleRows: out = static_cast<long>(grid_ ? grid_->Rows().size() : 0); return 1;
        default: return 0;
    }
}

// A new page size takes effect at once: the grid is made again over the same provider.
int GridObject::WriteProperty(int index, const CValue& value) {
    if (index != kPageSize) return 0;
    const std::int64_t size = value.GetNumeric().ToInt64();
    if (value.GetKind() != CValue::Kind::Number || size < 1 || size > kMaxPageSize) {
        Raise(RU("Размер страницы должен быть числом от 1 до 1000"));
        return 1;
    }
    page_size_ = static_cast<int>(size);
    if (grid_) {
        const CValue provider = provider_;
        Attach(provider);
    }
    return 1;
}

int GridObject::MethodCount() { return Methods().Count(); }
int GridObject::LookupMethod(const char* name) { return Methods().Lookup(name); }
const char* GridObject::MethodNameAt(int index, int language) { return Methods().NameAt(index, language); }
int GridObject::MethodArity(int index) { return Methods().Arity(index); }
int GridObject::MethodDefaultArg(int, int, CValue*) { return 0; }
int GridObject::MethodHasResult(int index) { return Methods().HasResult(index) ? 1 : 0; }

int GridObject::InvokeAsProcedure(int index, CValue** args) {
    CValue ignored;
    return InvokeAsFunction(index, ignored, args);
}

bool GridObject::RequireProvider() {
    if (grid_) return true;
    Raise(RU("Не установлен провайдер (метод УстановитьПровайдер/SetProvider)"));
    return false;
}

bool GridObject::Attach(const CValue& provider) {
    auto grid = std::make_unique<grid_component::Grid>(page_size_);
    if (!grid->Attach(provider)) {
        Raise(RU("Объект не является провайдером данных"));
        return false;
    }
    grid_ = std::move(grid);
    provider_ = provider;
    grid_->Home();
    return true;
}

int GridObject::InvokeAsFunction(int index, CValue& result, CValue** args) {
    if (!Methods().Has(index)) return 0;
    const auto arg = [&](int i) -> const CValue& {
        static const CValue kEmpty;
        return args && args[i] ? *args[i] : kEmpty;
    };
    const auto answer = [&](bool yes) { result = yes ? 1L : 0L; };
    result.Reset();
    if (index == kSetProvider) {
        Attach(arg(0));
        return 1;
    }
    if (!RequireProvider()) return 1;
    switch (index) {
        case kHome: answer(grid_->Home()); break;
        case kEnd: answer(grid_->End()); break;
        case kPageDown: answer(grid_->PageDown()); break;
        case kPageUp: answer(grid_->PageUp()); break;
        case kRefresh: answer(grid_->Refresh()); break;
        case kSearch:
            answer(grid_->Search(ProviderColumnName(*grid_, arg(0).GetString()).c_str(), arg(1).GetString()));
            break;
        case kGoToKey: {
            const bool found = grid_->GoToKey(arg(0));
            answer(found);
            // Not found, and no key for a row it shows: the provider does not look rows up by key.
            if (!found && !grid_->Rows().empty() && grid_->RowKey(0).GetKind() == CValue::Kind::Empty)
                Raise(RU("Провайдер не находит строки по ключу (НайтиПоКлючу/GoToKey)"));
            break;
        }
        case kShow: std::printf("%s", tools::PageTable(grid_->Rows(), provider_).c_str()); break;
        case kPageText: result = cp1251::FromUtf8(tools::PageTable(grid_->Rows(), provider_)).c_str(); break;
        case kRowCount: {
            int count = 0;
            if (grid_->RowCount(count))
                result = static_cast<long>(count);
            else
                Raise(RU("Провайдер не знает числа строк"));
            break;
        }
        case kRowKey:
        case kCellValue: {
            const std::int64_t row = arg(0).GetNumeric().ToInt64();
            if (row < 1 || row > static_cast<std::int64_t>(grid_->Rows().size())) {
                Raise(RU("Неверный номер строки"));
                break;
            }
            if (index != kRowKey) {
                ReadCell(provider_, grid_->Rows()[static_cast<std::size_t>(row - 1)].get(), arg(1), result);
                break;
            }
            result = grid_->RowKey(static_cast<int>(row - 1));
            // The provider leaves the key untouched when it has none to give.
            if (result.GetKind() == CValue::Kind::Empty) Raise(RU("Провайдер не дает ключей строк (КлючСтроки/RowKey)"));
            break;
        }
        default: return 0;
    }
    return 1;
}

GridClassRegistration::GridClassRegistration() {
    CBLContext::RegisterContextClass(&GridObject::classGridObject, RU("Сетка").data(), CType(100));
    CBLContext::RegisterContextClass(&GridObject::classGridObject, "Grid", CType(100));
}

GridClassRegistration::~GridClassRegistration() {
    CBLContext::UnRegisterContextClass(&GridObject::classGridObject);
    CBLContext::UnRegisterContextClass(&GridObject::classGridObject);
}

}  // namespace script
