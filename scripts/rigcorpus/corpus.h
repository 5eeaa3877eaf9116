// The auto-mapper's corpus: shared and generated rigs under every trait, and how a proposal
// scores against the truth (per trait, per confidence band).
#pragma once

#include "automapproposal.h"
#include "truthrig.h"

#include <QStringList>

#include <map>
#include <vector>

// The shared rigs as they are and under each trait that applies, `generated` random bipeds
// with none, one and two traits, and the non-bipeds; all drawn from `seed`. Shared files that
// do not read as their truth says are appended to `problems`.
std::vector<TruthRig> BuildCorpus(quint32 seed, int generated, QStringList* problems = nullptr);

// Counts over many proposals. A row is right when the truth binds its slot to its joint.
struct CorpusTally
{
    static constexpr int kBands = 5; // [0.5,0.6) [0.6,0.7) [0.7,0.8) [0.8,0.9) [0.9,1]
    int rigs = 0;
    int requiredRight = 0, requiredTotal = 0;
    int otherRight = 0, otherTotal = 0;
    int bandRows[kBands] = {}, bandRight[kBands] = {};
    int wrongConfident = 0;    // wrong rows at or above the tick threshold
    int bipedsRefused = 0;     // bipeds answered with a refusal
    int nonBipedsAccepted = 0; // non-bipeds answered with rows, or refused for a false reason
    int silentlyEmpty = 0;     // required slots missing with no note saying why
    int jointsTwice = 0;       // rows binding a joint another row of the proposal binds
    QStringList failures;      // a few lines for the report

    void Add(const TruthRig& rig, const AutoMapProposal& proposal);
    void Merge(const CorpusTally& other);
    static double BandLow(int band) { return 0.5 + 0.1 * band; }
};
