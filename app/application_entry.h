#pragma once

namespace vorlane {

// The whole life of the program: the log, the display check, the application object, the
// delegate's launch, the event loop and the shut-down. 0 after a normal end; 1 (with a
// sentence on stderr) when there is no display or nothing could be started.
int runApplication(int argc, char** argv);

}  // namespace vorlane
