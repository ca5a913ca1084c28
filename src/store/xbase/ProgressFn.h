#pragma once

#include <functional>

namespace quorvo::xbase {

// Progress of a long operation (tag build, pack): values from 0 to 100 that rise as the work advances.
// Each tag of a rebuild starts again near 0, so a listener that adds up the rises sees the whole job.
using ProgressFn = std::function<void(int)>;

} // namespace quorvo::xbase
