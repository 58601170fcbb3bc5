#pragma once
// The rotators the program turns directly at its publications, one of each
// controller it speaks to. The program holds this list and wires every entry
// alike; a new controller joins by being made here.
#include <memory>
#include <vector>

#include "rotator/direct_rotator.h"

namespace korvalen::rotator {

/// Every directly driven rotator, each off until given an address.
std::vector<std::unique_ptr<DirectRotator>> MakeDirectRotators();

}  // namespace korvalen::rotator
