// A point in a window's pixels.
#pragma once

namespace qf {

struct ViewPoint {
    int x = 0;
    int y = 0;
    bool operator==(const ViewPoint&) const = default;
};

}  // namespace qf
