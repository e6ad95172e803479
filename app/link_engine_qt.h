#pragma once

// The link engines' header for code that also uses Qt: Qt defines `emit` as a macro, which
// would eat the engines' own emit(). Include this before any other link header.
#pragma push_macro("emit")
#undef emit
#include "link/link_engine.h"
#pragma pop_macro("emit")
