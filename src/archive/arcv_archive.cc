#include "archive/arcv_archive.h"

bool ExtractArcvArchive(FILE*, int32_t, const char*) { return true; }
