// CheckboxListener: told by a Checkbox, by its id, of its new state.
#pragma once

namespace Varn {

class CheckboxListener {
public:
    virtual ~CheckboxListener() = default;
    virtual void CheckboxChecked(int id, bool checked) {}
};

}  // namespace Varn
