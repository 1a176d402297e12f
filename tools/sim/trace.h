// The runner's trace (app/trace.h), under the names the runner uses.
#pragma once

#include "app/trace.h"

namespace sim {

using trace::json_string;
using trace::Line;

}  // namespace sim
