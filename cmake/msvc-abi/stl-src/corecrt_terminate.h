// Stands in for the Universal CRT's <corecrt_terminate.h>: terminate and its handler, as <eh.h>
// declares them.
#pragma once

#include <eh.h>
