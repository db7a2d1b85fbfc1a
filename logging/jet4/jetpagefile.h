#pragma once

#include <QByteArray>
#include <QString>

// The file an Access-format writer fills page by page: a temporary file in the target's
// folder, renamed over the target once complete and on disk. Until then the target is
// untouched; a file that is not committed is removed. Failures throw DbError.
class JetPageFile {
public:
    explicit JetPageFile(QString target);
    ~JetPageFile();
    JetPageFile(const JetPageFile&) = delete;
    JetPageFile& operator=(const JetPageFile&) = delete;

    void WritePage(quint32 number, const QByteArray& page);
    void Commit();

private:
    QString target_;
    QByteArray temporary_;
    int fd_ = -1;
};
