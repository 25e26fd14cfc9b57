// SliderListener: told by a Slider, by its id, of each new value (0 to 1).
#pragma once

namespace Varn {

class SliderListener {
public:
    virtual ~SliderListener() = default;
    virtual void SliderValueChanged(int id, double value) {}
};

}  // namespace Varn
