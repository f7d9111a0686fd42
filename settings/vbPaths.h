#pragma once

#include <QString>

// The working folders beside the program, relative to the current folder.

// Current folder + "/TempImages": prepared and edited copies of photos, kept for one run.
QString tempImagesPath();
// Current folder + "/data": the upload log and the pending list.
QString dataPath();
