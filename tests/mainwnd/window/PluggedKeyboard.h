#pragma once
// A simulated keyboard of a model, plugged into the simulated HID bus for as
// long as the object lives; `index` names it on the bus.
#include "MainWindowHarness.h"
#include "SimKeyboardModels.h"

namespace windowtest {

struct Keyboard
{
    explicit Keyboard(const char* model) : device(sim::Model(model))
    {
        index = testutil::SimulatedHid().AddModel(device);
    }
    sim::SimKeyboard device;
    int index;
};

}  // namespace windowtest
