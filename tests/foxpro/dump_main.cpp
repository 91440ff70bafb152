// foxpro_dump TABLE [CODE_PAGE] [--deleted]: every record of a table as "record<TAB>field<TAB>kind:value"
// lines, the form the tests compare; a header line per column first. For looking into a file by hand.

#include <cstdlib>
#include <cstring>
#include <iostream>

#include "foxpro/error.h"
#include "foxpro/table_reader.h"
#include "tests/foxpro/value_text.h"

int main(int argc, char** argv) {
    using namespace rowlark::foxpro;
    if (argc < 2) {
        std::cerr << "usage: foxpro_dump TABLE [CODE_PAGE] [--deleted]\n";
        return 2;
    }
    ReaderOptions options;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--deleted") == 0) options.include_deleted = true;
        else options.code_page = std::atoi(argv[i]);
    }
    try {
        auto reader = TableReader::Open(argv[1], options);
        for (const FieldInfo& field : reader->Columns())
            std::cout << "#\t" << field.name << "\t" << field.type << "(" << int(field.length) << ","
                      << int(field.decimals) << ")" << (field.nullable ? " null" : "") << "\n";
        Record record;
        while (reader->Next(record)) {
            for (std::size_t i = 0; i < record.values.size(); ++i)
                std::cout << record.number << (record.deleted ? "*" : "") << "\t" << reader->Columns()[i].name << "\t"
                          << testing::ValueText(record.values[i]) << "\n";
        }
    } catch (const FoxProError& error) {
        std::cerr << error.what() << "\n";
        return 1;
    }
    return 0;
}
