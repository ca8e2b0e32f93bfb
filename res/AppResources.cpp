#include "res/AppResources.h"

#include "res/ResourceTables.h"

const ResourceModule& VocamintResources() {
    static const ResourceModule kModule{DialogTable(), StringTable(), IconTable(), MenuTable()};
    return kModule;
}
