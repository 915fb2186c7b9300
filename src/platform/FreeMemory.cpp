#include "FreeMemory.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

void FreeMemory::returnToSystem()
{
#if defined(__GLIBC__)
    // Whole free pages anywhere in every arena, not only at the heap's top.
    malloc_trim(0);
#endif
}
