#pragma once

// Lets a console show what the command-line programs print: their output is UTF-8, and a
// Windows console shows UTF-8 only once its output code page says so (nothing to do elsewhere,
// and nothing when the output goes to a file or a pipe, which get the UTF-8 bytes as they are).
void Prepare_Console_Output();
