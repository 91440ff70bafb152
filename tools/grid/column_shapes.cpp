#include "tools/grid/column_shapes.h"

#include <algorithm>

#include "platform/oledb/name_fold.h"
#include "platform/text/cp1251.h"
#include "tools/grid/screen_painter.h"
#include "tools/i18n/locale_forms.h"
#include "tools/session/row_cells.h"

namespace grid_tool {

namespace {

std::string Upper(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

bool Holds(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

}  // namespace

std::size_t DecimalsOf(const std::string& number) {
    const std::size_t point = number.find('.');
    return point == std::string::npos ? 0 : number.size() - point - 1;
}

std::string WithDecimals(const std::string& number, std::size_t scale) {
    if (!LooksNumeric(number)) return number;
    const std::size_t decimals = DecimalsOf(number);
    if (decimals >= scale) return number;
    std::string text = number;
    if (decimals == 0) text += '.';
    return text.append(scale - decimals, '0');
}

ColumnShapes::ColumnShapes(std::vector<oledb_backend::ColumnInfo> declared) : declared_(std::move(declared)) {}

ColumnShapes::Shape ColumnShapes::Declare(const std::string& name) const {
    Shape shape;
    shape.name = name;
    shape.width = std::max<std::size_t>(CellWidth(name), 1);
    // The layer names the columns in small letters; the catalogue as they were declared.
    const std::string folded = oledb_backend::FoldColumnName(name);
    const auto found = std::find_if(declared_.begin(), declared_.end(), [&](const oledb_backend::ColumnInfo& column) {
        return oledb_backend::FoldColumnName(cp1251::FromUtf8(column.name)) == folded;
    });
    if (found == declared_.end()) return shape;
    const std::string type = Upper(found->declared_type);
    const bool integer = Holds(type, "INT");
    const bool number = integer || Holds(type, "NUM") || Holds(type, "DEC") || Holds(type, "REAL") ||
                            Holds(type, "FLOA") || Holds(type, "DOUB") || Holds(type, "MONEY");
    const bool date = type.rfind("DATE", 0) == 0 && !Holds(type, "TIME");
    const std::size_t size = found->size > 0 ? static_cast<std::size_t>(found->size) : 0;
    const std::size_t scale = found->scale > 0 ? static_cast<std::size_t>(found->scale) : 0;
    if (number && (size > 0 || integer)) {
        shape.fixed_scale = true;
        shape.scale = integer ? 0 : scale;
    }
    // A declared size holds every value: digits, the point and a sign for numbers.
    if (size > 0 && !date) {
        shape.fixed_width = true;
        const std::size_t width = number ? size + (shape.scale > 0 ? 1 : 0) + 1 : size;
        shape.width = std::clamp<std::size_t>(std::max(shape.width, width), 1, kMaxColumnWidth);
    }
    return shape;
}

void ColumnShapes::See(Shape& shape, const std::string& cell) const {
    if (cell.empty() || tools::IsNullCell(cell)) return;  // says nothing of the column's kind
    shape.any = true;
    const bool number = LooksNumeric(cell);
    shape.numbers_only = shape.numbers_only && number;
    shape.dates_only = shape.dates_only && !number && tool_text::LocalDate(cell).has_value();
    if (number && !shape.fixed_scale) shape.scale = std::max(shape.scale, DecimalsOf(cell));
}

void ColumnShapes::Learn(const std::vector<std::string>& names, const std::vector<std::vector<std::string>>& cells) {
    // A page of other columns (a query of the user's can change them) starts the shapes anew.
    bool same = shapes_.size() == names.size();
    for (std::size_t c = 0; same && c < names.size(); ++c) same = shapes_[c].name == names[c];
    if (!same) {
        shapes_.clear();
        for (const std::string& name : names) shapes_.push_back(Declare(name));
    }
    for (const auto& row : cells)
        for (std::size_t c = 0; c < row.size() && c < shapes_.size(); ++c) See(shapes_[c], row[c]);
    // The widths once every cell of the page is in: a new decimal widens every number of its column.
    for (std::size_t c = 0; c < shapes_.size(); ++c) {
        if (shapes_[c].fixed_width) continue;
        for (const auto& row : cells)
            if (c < row.size()) shapes_[c].width = std::max(shapes_[c].width, CellWidth(Shown(c, row[c])));
        shapes_[c].width = std::min(shapes_[c].width, kMaxColumnWidth);
    }
}

std::string ColumnShapes::Shown(std::size_t column, const std::string& cell) const {
    const Shape& shape = shapes_[column];
    if (cell.empty() || tools::IsNullCell(cell) || !shape.any) return cell;
    if (shape.numbers_only) return WithDecimals(cell, shape.scale);
    if (shape.dates_only) return tool_text::LocalDate(cell).value_or(cell);
    return cell;
}

}  // namespace grid_tool
