#include "rotator/direct_rotators.h"

#include "rotator/pst_rotator.h"
#include "rotator/rotctld_client.h"

namespace korvalen::rotator {

std::vector<std::unique_ptr<DirectRotator>> MakeDirectRotators() {
    std::vector<std::unique_ptr<DirectRotator>> rotators;
    rotators.push_back(std::make_unique<RotctldClient>());
    rotators.push_back(std::make_unique<PstRotatorClient>());
    return rotators;
}

}  // namespace korvalen::rotator
