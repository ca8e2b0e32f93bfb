// The tables that make up the program's resource module, one per kind.
#pragma once

#include <span>

#include "framework/ResourceTypes.h"

std::span<const DialogTemplate> DialogTable();
std::span<const StringResource> StringTable();
std::span<const IconResource> IconTable();
std::span<const MenuTemplate> MenuTable();
