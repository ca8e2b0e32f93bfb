#include "framework/ResourceModule.h"

namespace {

const ResourceModule* g_module = nullptr;

template <typename T> const T* FindById(std::span<const T> table, unsigned id) {
    for (const T& item : table) {
        if (item.id == id)
            return &item;
    }
    return nullptr;
}

} // namespace

void AfxSetResourceModule(const ResourceModule& module) {
    g_module = &module;
}

const DialogTemplate* FindDialogTemplate(unsigned id) {
    return g_module ? FindById(g_module->dialogs, id) : nullptr;
}

const char* FindStringResource(unsigned id) {
    const StringResource* s = g_module ? FindById(g_module->strings, id) : nullptr;
    return s ? s->text : nullptr;
}

const IconResource* FindIconResource(unsigned id) {
    return g_module ? FindById(g_module->icons, id) : nullptr;
}

const MenuTemplate* FindMenuTemplate(unsigned id) {
    return g_module ? FindById(g_module->menus, id) : nullptr;
}
