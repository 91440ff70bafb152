#include "tools/grid/place_gauge.h"

#include <cmath>
#include <cstdlib>

#include "platform/oledb/connection.h"
#include "tools/grid/table_catalogue.h"

namespace grid_tool {

PlaceGauge::PlaceGauge(const std::string& path, const TablePlan& plan) {
    std::string error;  // a gauge that cannot open shows no place; the grid itself opened fine
    catalogue_ = OpenCatalogue(path, error);
    Find(plan.table, plan.tag);
}

PlaceGauge::PlaceGauge(std::unique_ptr<oledb_backend::Catalogue> catalogue, const std::string& table,
                       const std::string& tag)
    : catalogue_(std::move(catalogue)) {
    Find(table, tag);
}

void PlaceGauge::Find(const std::string& table, const std::string& tag) {
    if (!catalogue_) return;
    try {
        table_ = catalogue_->Table(table).value_or(table);
        tag_ = catalogue_->Tag(table_, tag);
    } catch (const oledb_backend::CursorError&) {
        tag_.reset();
    }
}

std::optional<double> PlaceGauge::PlaceOf(const std::string& key) {
    if (!tag_) return std::nullopt;
    try {
        return catalogue_->TagPlace(table_, *tag_, key);
    } catch (const oledb_backend::CursorError&) {
        return std::nullopt;  // statistics being rebuilt, a server gone: no place rather than a wrong one
    }
}

std::optional<oledb_backend::TagRow> PlaceGauge::RowAt(double place) {
    if (!tag_) return std::nullopt;
    try {
        return catalogue_->TagRowAt(table_, *tag_, place);
    } catch (const oledb_backend::CursorError&) {
        return std::nullopt;
    }
}

std::optional<std::int64_t> PlaceGauge::RowsBetween(const std::string& from, const oledb_backend::TagRow& row) {
    if (!tag_) return std::nullopt;
    try {
        return catalogue_->TagRowsBetween(table_, *tag_, from, row);
    } catch (const oledb_backend::CursorError&) {
        return std::nullopt;
    }
}

int WholePercent(double place) {
    return static_cast<int>(std::fmax(0, std::fmin(100, std::round(place * 100))));
}

std::optional<double> ParsePercent(const std::string& text) {
    std::size_t end = text.find_last_not_of(" ");
    if (end == std::string::npos) return std::nullopt;
    std::string number = text.substr(0, end + 1);
    if (number.back() == '%') number.pop_back();
    while (!number.empty() && number.back() == ' ') number.pop_back();
    const std::size_t start = number.find_first_not_of(' ');
    if (start == std::string::npos) return std::nullopt;
    number = number.substr(start);
    if (number.find_first_not_of("0123456789.") != std::string::npos || number.front() == '.') return std::nullopt;
    char* stop = nullptr;
    const double percent = std::strtod(number.c_str(), &stop);
    if (*stop != '\0' || percent > 100) return std::nullopt;
    return percent / 100;
}

}  // namespace grid_tool
