#pragma once

#include "store/Database.h"

#include <QStringList>

#include <functional>
#include <string_view>

// The rarity weighting of a random draw from the library, shared by scroll generation and the
// random spellbook: a spell of one of the levels, no rarer than the frequency step (FrequencyID
// of the Frequency scale) is a candidate once for every chosen school it belongs to, so a spell
// of two chosen schools is drawn twice as often. A spell without a known frequency or without a
// chosen school is never a candidate.
//
// take is called once per candidate entry, in name order (the entries of one spell follow each
// other), with the spell's rowid, its name and its level as UTF-8, valid during the call only.
using CandidateSink = std::function<void(qint64 rowid, std::string_view name, std::string_view level)>;
void forEachWeightedCandidate(Connection &db, const QStringList &levels, const QStringList &schools,
                              int lowestFrequencyId, const CandidateSink &take);
