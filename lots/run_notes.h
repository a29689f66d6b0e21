// What a long run over many objects or file lines has to say about the ones it
// skipped or took otherwise: kept until the run's progress line is done (a
// progress line returns to the start of its line and would overwrite it), then
// printed in order.
#pragma once

// Keeps one printf-style note ("\n..." like every command-line text).
void run_note(const char* format, ...);
// Prints the kept notes and forgets them; the number printed.
int run_notes_print();
