// A plug-in's table of LISP functions and the three things its shell does
// with it: define every function in a drawing, remove them, and dispatch a
// call by function code.
#pragma once

// One entry of a LISP table. The table is an array of pointers to entries;
// an empty slot (null) is skipped and does not count. An entry's index is its
// position among the non-empty slots, counted from 0: the function code given
// to acedDefun and returned by acedGetFunCode.
struct ads_symbol_rec {
    const char* name;
    int (*function)();
    bool regFunc;
    unsigned name_id;
};

// acedDefun (name, index) for each entry in table order; an entry with regFunc
// set is also registered with acedRegFunc.
void lisp_table_define(const ads_symbol_rec* const table[], int slots);
// acedUndef (name, index) for each entry in table order.
void lisp_table_undefine(const ads_symbol_rec* const table[], int slots);
// Calls the function of the entry whose index is the current function code;
// nothing when no entry has it. The function's result is not looked at.
void lisp_table_invoke(const ads_symbol_rec* const table[], int slots);
