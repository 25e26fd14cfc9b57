// EditListener: told by an EditWidget, by its id, of its text when Enter is
// pressed in it.
#pragma once

#include <string>

namespace Varn {

class EditListener {
public:
    virtual ~EditListener() = default;
    virtual void EditWidgetText(int id, const std::string& text) {}
};

}  // namespace Varn
