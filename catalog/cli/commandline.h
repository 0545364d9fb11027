#pragma once

// Runs the program as a command ("Catalog scan ...", "Catalog search ...") on a core
// application without windows. Returns the exit status.
int runCommandLine(int argc, char* argv[]);
