// What a scroll bar reports, named as its owner answers it.
#pragma once

namespace qf {

enum class ScrollCode {
    LineLeft,  // an arrow
    LineRight,
    PageLeft,  // a click in the track
    PageRight,
    ThumbTrack,  // the thumb held and dragged
    Other,       // a wheel turn, a jump to either end
};

}  // namespace qf
