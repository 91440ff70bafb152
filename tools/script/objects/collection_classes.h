#pragma once
// Registers the value list and the value table under their Russian and English names
// ("СписокЗначений"/"ValueList", "ТаблицаЗначений"/"ValueTable") for its lifetime, so a script
// creates them with СоздатьОбъект as it creates the host's own objects.

namespace script {

class CollectionClassRegistration {
public:
    CollectionClassRegistration();
    ~CollectionClassRegistration();
    CollectionClassRegistration(const CollectionClassRegistration&) = delete;
    CollectionClassRegistration& operator=(const CollectionClassRegistration&) = delete;
};

}  // namespace script
