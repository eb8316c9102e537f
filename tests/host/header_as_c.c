/* The host interface header as a host written in C includes it, and the records' layout as the
 * C compiler sees it; checked while this compiles, with the warnings of a strict C build. */
#include "tests/host/record_layout.h"
