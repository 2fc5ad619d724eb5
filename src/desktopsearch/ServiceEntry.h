#pragma once

class QCoreApplication;

// meslek-arama-servisi: registers the search service on the session bus and
// answers until it has been idle for two minutes (MESLEKANA_SERVICE_IDLE_MS
// shortens that, for tests). Returns the exit status: 1 with a message on
// the error output when there is no session bus or the name is taken.
int runSearchService(QCoreApplication& application);
