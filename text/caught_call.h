// caught_call.h -- one export computed with its messages caught: the calls of the text library.
//
// The text library holds its own copy of the workers and of the entry points' frames (hidden;
// the same object code as the shared library's, so the same result bits). A caught call runs
// the export's frame with the calling thread's messages sent to a sink (core/diagnostics.h), so
// nothing reaches standard output and nothing shared by the process is touched: calls on
// different threads run side by side. A failure the library reports through the error field
// alone gets a quiet message of its own, so that every failure can be read in words: a record or
// precision the entry point refuses, an operand that carries an earlier failure.
#pragma once

#include "api/export_kinds.h"
#include "core/diagnostics.h"

namespace ostrel2::text {

// An export as a caught call reaches it: its name, its kind, and its frame around its worker.
struct CaughtExport {
    const char* name;
    api::Kind kind;
    void (*enter)(api::Arguments& arguments);
};

// The export of this name ("Div_XL"), or null for a name that is none or for Version_XL, which
// takes no records and reports nothing.
const CaughtExport* FindCaughtExport(const char* name);

// Whether the arguments hold every record the export's kind reads.
bool ArgumentsComplete(const CaughtExport& f, const api::Arguments& arguments);

// Runs the export on complete arguments with the calling thread's messages in `sink`.
void CallCaught(const CaughtExport& f, api::Arguments& arguments, MessageSink& sink);

}  // namespace ostrel2::text
