// The host records' layout as the C++ compiler sees it; checked while this compiles.
#include "tests/host/record_layout.h"
