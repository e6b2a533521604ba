#include "core/tables.h"

#include <cmath>
#include <cstdlib>

#include "core/errors.h"

float* SinTable = nullptr;
float* CosTable = nullptr;

void BuildTables() {
  SinTable = static_cast<float*>(CheckedAlloc(kTableSize * sizeof(float)));
  CosTable = static_cast<float*>(CheckedAlloc(kTableSize * sizeof(float)));
  for (int i = 0; i < kTableSize; ++i) {
    // The angle is formed in extended precision; only the results are rounded to single.
    const long double angle = static_cast<long double>(i) * static_cast<long double>(kTableStep);
    SinTable[i] = static_cast<float>(std::sin(angle));
    CosTable[i] = static_cast<float>(std::cos(angle));
  }
}

void FreeTables() {
  std::free(CosTable);
  CosTable = nullptr;
  std::free(SinTable);
  SinTable = nullptr;
}
