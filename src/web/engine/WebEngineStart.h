#pragma once

#include <QString>

#include "web/WebPanel.h"

// Must run before the application object exists: the engine shares the
// application's OpenGL contexts.
void prepareWebEngine();

// Why the engine cannot start on this machine, as the error code of the check
// that failed: ENOENT when its helper program or its resources are missing,
// EACCES when the helper cannot be run; 0 when it can start. Honours the
// engine's own QTWEBENGINE_PROCESS_PATH and QTWEBENGINE_RESOURCES_PATH.
int webEngineStartError();

// Makes the engine's panel. When the engine cannot start it raises
// EOleSysError with the C library's text for the error code, so that the
// window is never shown without it and the program ends as for any part of a
// window that cannot be created.
WebPanelFactory engineWebPanelFactory();
