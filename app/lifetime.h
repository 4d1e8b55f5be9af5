// The program's life: its start, the close command and its end.
#pragma once

struct Program;

// Gives the process control the program's end, loads the main window (whose
// creation brings up the rest) and leaves the program ready for the message
// loop.
void StartProgram(Program& program);

// The main window's creation routine: the settings window loaded (its own
// creation loads the settings), the count ready, the menu marks set.
void MainWindowCreated(Program& program);
// Ends the program: edge hiding off, the settings window destroyed, exit code 0.
void CloseProgram(Program& program);

// Stops every routine and what still runs beside the user-interface thread
// (the sound, the threads of edge hiding and of the delay) and releases the
// program-wide records; runs when the process ends, whichever way it ends.
void ProgramExit(Program& program);
