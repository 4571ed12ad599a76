#pragma once

// Runs the program's start-up and shut-down in this process with a trace of every framework
// step on standard output, one step a line, a menu bar's address shown as "@", and lines
// starting "check " for facts seen on the way. Scenarios: "quit" (File, Quit once the loop runs),
// "fail-early" (a RuntimeException while the menu bar is built), "handler-runtime-exception" and
// "handler-other-exception" (an event handler fails, then File, Quit). Returns the program's exit
// status.
int runStartUpScenario(const char* scenario);
