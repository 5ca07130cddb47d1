#pragma once

// The serial device component the bench places on its window.

#include "bench/serial/TQxCustomCommDevice.h"

class TQxCommDevice : public TQxCustomCommDevice {
    Q_OBJECT
public:
    using TQxCustomCommDevice::TQxCustomCommDevice;
};
