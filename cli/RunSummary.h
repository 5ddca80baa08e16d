#pragma once
// The end of `kestrum-sim run`: what the batch played and found, the
// measured rate beside the exact one with the figures a careful person can
// quote, as text or as JSON.

#include <QJsonObject>
#include <QString>

#include "batch/BatchResult.h"

namespace kestrum {

struct ExactCounts;

// "cpu" or "cuda", as --device names it.
QString DeviceName(BatchDevice device);

QString SummaryText(const BatchResult& result, const ExactCounts& exact);
QJsonObject SummaryJson(const BatchResult& result, const ExactCounts& exact);

}  // namespace kestrum
