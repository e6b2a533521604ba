// The sine and cosine tables every scene shares: 1024 entries make a turn.
#pragma once

inline constexpr int kTableSize = 1024;
inline constexpr int kTableMask = 0x3FF;
inline constexpr double kTableStep = 6.283185308 / 1024;

extern float* SinTable;
extern float* CosTable;

// Allocates both tables and fills entries 0 to 1023.
void BuildTables();
// Frees CosTable, then SinTable.
void FreeTables();
