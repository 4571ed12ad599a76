#pragma once

#include "console/application.h"

// The system's application object: the framework's application with nothing added, so each of
// its events keeps the framework's default behaviour.
class App : public Application {};
