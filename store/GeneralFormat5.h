#pragma once

#include <string>

namespace kestrum {

// The heavenly-hand percentage with five significant digits, the way the
// log and the record dialog have always shown it: fixed form from 0.1 to
// below 100000, otherwise d.dddde-XXX; trailing zeros dropped, the point
// always kept ("100.", "33.333", "5.e-002", "0.").
std::string GeneralFormat5(double v);

}  // namespace kestrum
