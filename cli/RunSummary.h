#pragma once
// The end of `kestrum-sim run`: what the batch played and found, the
// measured rate beside the exact one, as text or as JSON.

#include <QJsonObject>
#include <QString>

#include "cli/BatchRun.h"
#include "cli/ExactCount.h"

namespace kestrum {

QString SummaryText(const BatchTotals& totals, const ExactCounts& exact);
QJsonObject SummaryJson(const BatchTotals& totals, const ExactCounts& exact);

}  // namespace kestrum
