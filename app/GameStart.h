// The game's command line: the page's parameter and the launcher's directory, each quoted by the
// Windows command-line rules so that the game always receives exactly these two arguments.
#pragma once

#include "platform/afx/CString.h"

// The directory of the running executable, ending with its separator; empty when it has none.
CString GetModuleDirectory();

// One argument as the Windows rules read it back unchanged: in double quotes, with the
// backslashes before a quote and at the end doubled and every quote escaped.
CString QuoteCommandLineArgument(const CString& argument);

// The parameter (up to its first NUL) and the directory as two quoted arguments, one space apart.
CString BuildGameParameters(const CString& startParam, const CString& moduleDirectory);
