#pragma once
// The real sqlite3 shell (sqlite3.exe beside the test program), which reads a
// database file independently of our own code.
#include <string>
#include <vector>

#include "CString.h"

namespace testutil {

// Runs sqlite3.exe on the file, feeding sql on its standard input; returns
// what it printed (list mode, '|' between columns, '\n' after rows, carriage
// returns removed). Sets *exitCode when given.
std::string RunSqliteShell(const CString& dbFile, const std::string& sql, int* exitCode = nullptr);

// Splits shell output into lines (without the line ends).
std::vector<std::string> Lines(const std::string& text);

}  // namespace testutil
