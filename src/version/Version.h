// The program's version: the project version, and "+g<commit>" when built from a git checkout.
#pragma once

// "1.0.0+g1a2b3c4d5e"; the same text names the Debian package's version.
const char* VexaVersion();
// The short commit id alone; "" when the sources were not a git checkout.
const char* VexaCommit();
