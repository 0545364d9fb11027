#include "benchcases.h"

#include <cstdio>

int benchScan(const QStringList& /*options*/) {
    std::fprintf(stderr, "scan: not built yet\n");
    return 1;
}
