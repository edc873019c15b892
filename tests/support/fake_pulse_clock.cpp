#include "support/fake_pulse_clock.h"
