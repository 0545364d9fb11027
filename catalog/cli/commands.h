#pragma once

#include "clicommon.h"

// The subcommands, each in a file of its own.
namespace cli {
extern const Command scanCommand;
extern const Command searchCommand;
extern const Command exportCommand;
extern const Command reportCommand;
extern const Command copyCommand;
} // namespace cli
