#pragma once

// Prepares the standard output and error of the command-line programs: their output is UTF-8
// with "\n" line ends, the same bytes on every system. On Windows the C runtime would turn
// each "\n" into "\r\n" (and a CSV file's "\r\n" into "\r\r\n"): both streams are switched to
// binary, and a console, which shows UTF-8 only once its output code page says so, is switched to
// UTF-8 until the program ends. Nothing to do elsewhere.
void Prepare_Console_Output();
