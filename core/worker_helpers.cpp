// worker_helpers.cpp -- small whole numbers and the failure exits shared by the workers.
#include "core/worker_helpers.h"

#include <cmath>

namespace ostrel2 {

WorkLong WholeNumber(int32_t precision, double value) {
    WorkLong record;
    const int32_t sign = value > 0.0 ? 1 : (value < 0.0 ? -1 : 0);
    InitLong(record, precision, sign, 0, std::fabs(value));
    return record;
}

WorkLong& FailWith(WorkLong& result, WorkLong& record, Message message) {
    Report(message);
    return FailQuietly(result, record);
}

WorkLong& FailQuietly(WorkLong& result, WorkLong& record) {
    record.error = -1;
    return CopyOut(result, record);
}

}  // namespace ostrel2
