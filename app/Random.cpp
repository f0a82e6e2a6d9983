#include "app/Random.h"

namespace {
thread_local CCrtGenerator t_generator;
}

void CrtSrand(uint32_t seed) { t_generator = CCrtGenerator(seed); }

int CrtRand() { return t_generator.Next(); }
