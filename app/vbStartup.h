#pragma once

#include <QString>

// The working folders of the main program, prepared at start and cleaned at exit.
namespace vbStartup {

// Creates "TempImages" in base if needed, removes the per-photo sub-folders
// (named by number) with all they hold, and deletes the JPEG files ("*.jpg",
// "*.jpeg", any case) in it and in its other sub-folders; sub-folders left
// empty are removed. Other files stay. Returns false when the folder cannot be
// created or entered (then nothing is deleted).
bool clearTempImages(const QString& base);

// Creates the "data" folder in base if needed; nothing in it is touched.
bool prepareDataFolder(const QString& base);

} // namespace vbStartup
