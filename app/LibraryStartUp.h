#pragma once
// The start-up work of the two run-time libraries, done before any window
// exists.

namespace app {

// Checks that the full-text library can be loaded and creates the
// process-wide database engine object. Returns false when the application
// must end; the failing loader has then shown its own message.
bool StartLibraries();

// True when loading the database engine failed while the main window was
// created; its loader has shown its message and the application must end.
bool EngineEndedTheApplication();

}  // namespace app
