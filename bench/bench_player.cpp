#include "benchcases.h"

#include <cstdio>

int benchPlayer(const QStringList& /*options*/) {
    std::fprintf(stderr, "player: not built yet\n");
    return 1;
}
