#pragma once

#include <string>

#include "calculation/designated_gauge_set.h"
#include "calculation/designation.h"

namespace threadgauge {

// Why a designation was not understood: the part not understood, quoted, and a correct
// example.
std::string DescribeDesignationError(const DesignationError& error);

}  // namespace threadgauge
