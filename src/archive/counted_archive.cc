#include "archive/counted_archive.h"

bool ExtractCountedArchive(FILE*, int32_t, const char*) { return true; }
