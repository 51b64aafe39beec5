/* corpus_replay.h -- replaying the byte-identity corpus against a loaded build of the library:
 * shared by the Windows client (under Wine) and the Linux replayer (the 32-bit x86 build). */
#ifndef OSTREL2_CORPUS_REPLAY_H
#define OSTREL2_CORPUS_REPLAY_H

#include <stddef.h>

#include "export_calls.h"

/* Checks that passed and failed. */
typedef struct Tally {
    long passed;
    long failed;
} Tally;

typedef struct ReplayOptions {
    /* 0: every entry, in the corpus's order. Above 0: a budget of processor seconds for the
     * replay, shared out evenly over the exports (what one leaves goes to the ones after it);
     * each export's entries are taken coarse to fine (the first, the middle one, the quarters,
     * ...) until its share is spent, passing over those expected to run past it, so that a
     * sample still spans all its cases. The replay may run over the budget by about one call
     * per export. */
    double budgetSeconds;
    /* What the library printed during the last call (see TakeDiagnostics), compared with the
     * bytes the entry holds; NULL where it is not caught (the Windows client, whose caller
     * compares the whole printed stream instead). */
    long (*takeDiagnostics)(char* buffer, size_t size);
} ReplayOptions;

/* Replays the corpus file at path against the loaded exports, byOrdinal[ordinal] (NULL where an
 * export was not found): each call must give the recorded result record byte for byte, write
 * back the recorded cofactors (LCM_XL) or leave its argument records alone (all others), and
 * print the recorded diagnostics where they are caught. One pass or failure per replayed call
 * goes into t, the first 20 differences to standard error. */
void ReplayCorpus(Tally* t, const ExportAddress byOrdinal[OSTREL2_EXPORT_COUNT + 1], const char* path,
                  const ReplayOptions* options);

#endif /* OSTREL2_CORPUS_REPLAY_H */
