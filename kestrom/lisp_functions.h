// Kestrom's table of 52 LISP functions, in table order (index = function code).
#pragma once

#include "lisp_table.h"

extern const ads_symbol_rec* const* const kestrom_lisp_table;
extern const int kestrom_lisp_slots;
