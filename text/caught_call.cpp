// caught_call.cpp -- the exports run by the text library's own workers, messages caught.
#include "text/caught_call.h"

#include <cstring>

#include "api/entry_frames.h"
#include "api/workers.h"

namespace ostrel2::text {

namespace {

using api::Arguments;
using api::Kind;

// The worker column of the version's row: the version has no frame here.
constexpr struct NoWorker {
} none{};

// The frame of kind K around the worker, as the export of that kind runs it.
template <Kind K, typename Worker>
void Enter(Arguments& a, Worker worker) {
    if constexpr (K == Kind::OneRecord) {
        a.returned = entry::OneRecord(a.result, a.x, worker);
    } else if constexpr (K == Kind::OneRecordOverX) {
        a.returned = entry::OneRecordOverX(a.result, a.x, worker);
    } else if constexpr (K == Kind::TwoRecords) {
        a.returned = entry::TwoRecords(a.result, a.x, a.y, worker);
    } else if constexpr (K == Kind::TwoRecordsOverX) {
        a.returned = entry::TwoRecordsOverX(a.result, a.x, a.y, worker);
    } else if constexpr (K == Kind::RecordDouble) {
        a.returned = entry::RecordDouble(a.result, a.x, a.n, worker);
    } else if constexpr (K == Kind::Precision) {
        a.returned = entry::Precision(a.result, a.first, worker);
    } else if constexpr (K == Kind::IntPrecision) {
        a.returned = entry::IntPrecision(a.result, a.first, a.second, worker);
    } else if constexpr (K == Kind::Cofactors) {
        a.returned = entry::Cofactors(a.result, a.x, a.y, worker);
    }
}

// Worker names in the table are looked up from here: ostrel2's workers, and `none` above.
#define OSTREL2_CAUGHT_ROW(ordinal, name, kind, bytes, cost, command, summary, worker) \
    {#name, Kind::kind, [](Arguments& a) { Enter<Kind::kind>(a, worker); }},

const CaughtExport kCaught[] = {OSTREL2_EXPORTS(OSTREL2_CAUGHT_ROW)};

#undef OSTREL2_CAUGHT_ROW

// The reports of failures that the library gives without a message: refused arguments (before
// the call), an operand carrying an error (after it, when the call reported nothing else).
void ReportRefused(const CaughtExport& f, const Arguments& a) {
    if (f.kind == Kind::Precision || f.kind == Kind::IntPrecision) {
        const int32_t precision = f.kind == Kind::Precision ? a.first : a.second;
        if (!entry::PrecisionAccepted(precision)) Report(Message::PrecisionRefused);
        return;
    }
    const int records = api::RecordCount(f.kind);
    if (!entry::Accepted(a.x) || (records == 2 && !entry::Accepted(a.y))) {
        Report(Message::RecordRefused);
    }
}

bool OperandFailed(const CaughtExport& f, const Arguments& a) {
    const int records = api::RecordCount(f.kind);
    return (records >= 1 && a.x->error < 0) || (records >= 2 && a.y->error < 0);
}

}  // namespace

const CaughtExport* FindCaughtExport(const char* name) {
    if (name == nullptr) return nullptr;
    for (const CaughtExport& f : kCaught) {
        if (f.kind != Kind::Version && std::strcmp(f.name, name) == 0) return &f;
    }
    return nullptr;
}

bool ArgumentsComplete(const CaughtExport& f, const Arguments& a) {
    const int records = api::RecordCount(f.kind);
    return a.result != nullptr && (records < 1 || a.x != nullptr) &&
           (records < 2 || a.y != nullptr);
}

void CallCaught(const CaughtExport& f, Arguments& a, MessageSink& sink) {
    CatchMessages caught(sink);
    const int32_t before = sink.count;
    // The operands' errors are read before the call: the greatest common divisor writes its
    // cofactors over them.
    const bool inherited = OperandFailed(f, a);
    ReportRefused(f, a);
    f.enter(a);
    if (a.result->error < 0 && sink.count == before && inherited) Report(Message::OperandFailed);
}

}  // namespace ostrel2::text
