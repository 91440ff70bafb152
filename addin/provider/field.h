#pragma once
// One column of a result: its name as the OLE DB layer reports it and its 0-based number.
// Fields are shared (boost::shared_ptr) by the FieldSet, rows and script objects; they never change.

#include <cstdint>
#include <string>

#include <boost/shared_ptr.hpp>

namespace OleDb {
namespace GridProvider {

class CField {
public:
    // A new field with an empty name and number 0 (what a script object made by default holds).
    CField() = default;
    CField(std::string name, std::uint32_t number) : name_(std::move(name)), number_(number) {}

    // Valid while the field lives.
    const std::string& GetName() const { return name_; }
    std::uint32_t GetNumber() const { return number_; }

    // Key extractors of the FieldSet's two indices.
    struct NameGetter {
        using result_type = std::string;
        const std::string& operator()(const CField& field) const { return field.name_; }
        const std::string& operator()(const boost::shared_ptr<CField>& field) const { return field->name_; }
    };
    struct NumberGetter {
        using result_type = std::uint32_t;
        std::uint32_t operator()(const CField& field) const { return field.number_; }
        std::uint32_t operator()(const boost::shared_ptr<CField>& field) const { return field->number_; }
    };

private:
    std::string name_;
    std::uint32_t number_ = 0;
};

}  // namespace GridProvider
}  // namespace OleDb
