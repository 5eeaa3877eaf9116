// The auto-mapper measured over a corpus: tallies overall, per trait and over the rigs whose
// sides something other than a guess can tell, and the calibration report they print as.
#pragma once

#include "corpus.h"

#include <cstdio>
#include <map>

struct CorpusMeasure
{
    CorpusTally all;
    std::map<QString, CorpusTally> byTrait; // "(none)" for rigs without an edit
    // Rigs whose sides the rest pose shows (it shows the facing) or, with names kept, the
    // thighs' side words tell; non-bipeds count here too.
    CorpusTally decidable;

    // Proposes for every rig, with every joint renamed to a meaningless token when `scramble`
    // is set. Rigs whose label ("source + trait + ...") contains `dump` print their rows.
    static CorpusMeasure Of(const std::vector<TruthRig>& corpus, bool scramble,
                            const QString& dump = QString());

    // Per trait: rigs, required and other slots right, wrong rows that would bind without
    // asking, refused bipeds; then precision per confidence band and the first `failures`
    // failing rigs among the decidable ones.
    void Print(std::FILE* out, const char* title, int failures = 12) const;
};
