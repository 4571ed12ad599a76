#pragma once

#include <exception>

// The program's own start-up and shut-down, from the process entry to the event loop and back.

// The body of main: runtime set-up, holders, _Main, finalizers, runtime end; the exit status.
int runProgram();

// Guards the whole run up to the end of the event loop: an exception that escapes any step goes
// to the runtime's last-resort handling, and shut-down runs all the same.
void _Main();
void _EarlyStartup();
void _NewAppInstance();
void _InitFileTypes();
void _ApplicationAddMenuHandlers();
void _LateStartup();
void _MakeDefaultView();

// Runs callback(argument): no exception when it returns, the exception when it fails with a
// RuntimeException (or a subclass); any other exception unwinds.
std::exception_ptr _CallFunctionWithExceptionHandling(void (*callback)(void*), void* argument);
