#pragma once

#include <QString>

#include <cstdlib>

// A file name in a folder of this fuzzing process's own.
inline QString ScratchFile(const char* name) {
    static const QString dir = [] {
        char pattern[] = "/tmp/qmx-fuzz-XXXXXX";
        return QString::fromLocal8Bit(mkdtemp(pattern));
    }();
    return dir + "/" + name;
}
