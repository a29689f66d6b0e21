#include "lisp_table.h"

#include "ads.h"

void lisp_table_define(const ads_symbol_rec* const table[], int slots)
{
    int index = 0;
    for (int i = 0; i < slots; ++i) {
        const ads_symbol_rec* entry = table[i];
        if (entry == nullptr) continue;
        acedDefun(entry->name, index);
        if (entry->regFunc) acedRegFunc(entry->function, index);
        ++index;
    }
}

void lisp_table_undefine(const ads_symbol_rec* const table[], int slots)
{
    int index = 0;
    for (int i = 0; i < slots; ++i) {
        const ads_symbol_rec* entry = table[i];
        if (entry == nullptr) continue;
        acedUndef(entry->name, index);
        ++index;
    }
}

void lisp_table_invoke(const ads_symbol_rec* const table[], int slots)
{
    const int code = acedGetFunCode();
    int index = 0;
    for (int i = 0; i < slots; ++i) {
        const ads_symbol_rec* entry = table[i];
        if (entry == nullptr) continue;
        if (index == code) {
            if (entry->function) entry->function();
            return;
        }
        ++index;
    }
}
