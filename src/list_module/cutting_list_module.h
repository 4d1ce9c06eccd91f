#pragma once

#include "app/list_module.h"

// The cutting list's module: its window and its --list and --cut, built
// both as the module the program loads on first use and, for the tests, as a
// library they link.
const ListModule& cuttingListModule();
