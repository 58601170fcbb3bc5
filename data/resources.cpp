#include "data/resources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE declares the registration function at the point of use,
// so it must be expanded outside any namespace.
static void InitDataResources() { Q_INIT_RESOURCE(data); }

namespace korvalen::data {

void InitResources() { InitDataResources(); }

}  // namespace korvalen::data
