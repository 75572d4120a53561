#pragma once

// Whether the kernels take their 256-bit vector paths (AVX2): true when the
// processor has them, unless turned off. The program is built for the plain
// x86-64 instruction set; the wider paths are picked at run time, and tests
// turn them off to check the narrow paths on any machine.
bool WideVectors();
void AllowWideVectors(bool allow);
