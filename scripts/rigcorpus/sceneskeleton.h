// Reads a skeleton file through the host stand-in into the auto-mapper's input (tests, benchmarks).
#pragma once

#include "skeleton.h"

#include <QString>

// Opens `path` in a fresh host and takes every transform with its world rest position. False
// when the file does not open (missing, or a format that does not import).
bool LoadSkeleton(const QString& path, Skeleton& skeleton);
