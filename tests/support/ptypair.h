#pragma once

#include <QByteArray>
#include <QString>

namespace qmx {

// A pseudo-terminal pair standing in for a meter's serial cable: the program under test
// opens SlavePath() as its port, the test talks through the master side.
class PtyPair {
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    [[nodiscard]] QString SlavePath() const { return slavePath_; }
    void Write(const QByteArray& bytes);
    // What the program has written so far (non-blocking).
    QByteArray ReadAvailable();
    // Hangs up: the slave side sees the device go away.
    void Close();

private:
    int master_ = -1;
    QString slavePath_;
};

} // namespace qmx
