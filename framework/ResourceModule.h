// Where the dialog layer finds the program's resources: the one module the program registers.
#pragma once

#include "framework/ResourceTypes.h"

// Registers the resources that every later look-up searches; the module must outlive them.
void AfxSetResourceModule(const ResourceModule& module);

// The resource with the given id in the registered module, or nullptr.
const DialogTemplate* FindDialogTemplate(unsigned id);
const char* FindStringResource(unsigned id);
const IconResource* FindIconResource(unsigned id);
const MenuTemplate* FindMenuTemplate(unsigned id);
