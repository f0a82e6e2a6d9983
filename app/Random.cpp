#include "app/Random.h"

namespace {
thread_local uint32_t t_crtState = 1;
}

void CrtSrand(uint32_t seed) { t_crtState = seed; }

int CrtRand() {
    t_crtState = t_crtState * 214013u + 2531011u; // unsigned: wraps mod 2^32
    return static_cast<int>((t_crtState >> 16) & 0x7FFF);
}
