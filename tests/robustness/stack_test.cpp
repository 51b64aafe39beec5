// stack_test.cpp -- every export runs on a thread with a 1 MiB stack at precision 303, and the
// deepest stack use of each is measured: the stack is painted with a pattern before the call and
// scanned for the lowest byte the call overwrote.
#include <gtest/gtest.h>
#include <pthread.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "robustness_inputs.h"

namespace {

using namespace ostrel2_robust;

constexpr size_t kStackBytes = 1 << 20;
constexpr unsigned char kPaint = 0xC7;

struct Task {
    const Export* e;
    Inputs in;
    LongNumber result;
};

void* RunTask(void* p) {
    Task& task = *static_cast<Task*>(p);
    Arguments a;
    a.result = &task.result;
    a.x = &task.in.x;
    a.y = &task.in.y;
    a.n = task.in.n;
    a.first = task.in.first;
    a.second = task.in.second;
    task.e->invoke(a);
    return nullptr;
}

// Runs the task on a painted 1 MiB stack with a guard page below it; returns the bytes of stack
// the thread used (its start-up included).
size_t MeasureStack(Task& task) {
    const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    void* region = mmap(nullptr, kStackBytes + page, PROT_READ | PROT_WRITE,
                        MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (region == MAP_FAILED) return 0;
    mprotect(region, page, PROT_NONE);  // an overflow faults instead of writing elsewhere
    unsigned char* stack = static_cast<unsigned char*>(region) + page;
    std::memset(stack, kPaint, kStackBytes);
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setstack(&attr, stack, kStackBytes);
    pthread_t thread;
    size_t used = 0;
    if (pthread_create(&thread, &attr, RunTask, &task) == 0) {
        pthread_join(thread, nullptr);
        size_t untouched = 0;
        while (untouched < kStackBytes && stack[untouched] == kPaint) ++untouched;
        used = kStackBytes - untouched;
    }
    pthread_attr_destroy(&attr);
    munmap(region, kStackBytes + page);
    return used;
}

TEST(Stack, EveryExportFitsInOneMebibyte) {
    // What a thread that calls nothing uses, so the figures show the calls' own share too.
    static const Export idle = {0, "(idle thread)", Kind::Version, 0, Cost::Cheap, "", "", [](Arguments&) {}};
    Task baseline{&idle, {}, {}};
    const size_t base = MeasureStack(baseline);
    std::printf("%-16s %9s\n", "export", "stack bytes");
    std::printf("%-16s %9zu\n", idle.name, base);
    for (const Export& e : kExports) {
        size_t deepest = 0;
        // A dear export gets short arguments (three limbs) in its records of precision 303.
        const std::vector<Inputs> sets =
            IsDear(e) ? DemandingInputs(e.kind, 23, 3, 303, 3) : DemandingInputs(e.kind, 23, 3);
        for (const Inputs& in : sets) {
            Task task{&e, in, {}};
            deepest = std::max(deepest, MeasureStack(task));
        }
        std::printf("%-16s %9zu\n", e.name, deepest);
        // A call holds at least its private copies of the argument records (or its result
        // record) beyond what the idle thread uses: a measurement below that measured nothing.
        // The thread's start-up itself varies by a few hundred bytes from one thread to the
        // next, so the bound leaves that much room (Version_XL holds no record and may even
        // come out below the idle thread).
        constexpr size_t kStartupJitter = 1024;
        const size_t held = e.kind == Kind::Version ? 0 : std::max(1, RecordCount(e.kind));
        if (held > 0) {
            EXPECT_GE(deepest + kStartupJitter, base + held * sizeof(LongNumber)) << e.name;
        }
        // A quarter of the stack stays free for the caller's own frames.
        EXPECT_LT(deepest, kStackBytes * 3 / 4) << e.name;
    }
}

}  // namespace
