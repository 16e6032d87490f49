#pragma once

#include <string>

// Where the companions keep what they need for a while: TMPDIR when it
// names a directory (made absolute, for a child that runs elsewhere), else
// /tmp.
std::string temporary_base();

// A new file there with no name (unlinked at once, so that nothing is left
// however the command ends), open for reading and writing; -1, with errno,
// when it cannot be made. `program` starts the name it has for a moment.
int nameless_temporary_file(const char* program);
