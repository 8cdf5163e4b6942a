#pragma once

#include <string>

#include "calculation/designated_gauge_set.h"
#include "calculation/designation.h"

namespace threadgauge {

// Why a designation was not understood: the part not understood, quoted, and a correct
// example.
std::string DescribeDesignationError(const DesignationError& error);

// The alphabet of classes, for help texts and messages:
// "内螺纹 G、H 配公差等级 4–8；外螺纹 e、f、g、h 配公差等级 3–9".
std::string DescribeClasses();

}  // namespace threadgauge
