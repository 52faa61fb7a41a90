#pragma once

// Shared by the resource script and the code that loads the resources.
#define KONVERSI_ICON 1
#define KONVERSI_SKY 2
