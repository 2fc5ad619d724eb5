#pragma once

#include <QString>

#include "web/WebPanel.h"

// Must run before the application object exists: the engine shares the
// application's OpenGL contexts.
void prepareWebEngine();

// Why the engine cannot start on this machine (its helper program or its
// resources are missing), or empty when it can. Honours the engine's own
// QTWEBENGINE_PROCESS_PATH and QTWEBENGINE_RESOURCES_PATH.
QString webEngineStartProblem();

// Makes the engine's panel; throws when the engine cannot start, so that the
// window is never shown without it.
WebPanelFactory engineWebPanelFactory();
