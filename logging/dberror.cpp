#include "logging/dberror.h"

#include <sqlite3.h>

#include <cerrno>

namespace qmx {

int DbError::CodeForErrno(int err) {
    switch (err) {
    case EEXIST:
        return kFileExists;
    case ENOENT:
    case ENOTDIR:
        return kEngineFailure;
    case EACCES:
    case EPERM:
    case EROFS:
        return kPermissionDenied;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return kDiskFull;
    case EIO:
        return kIoError;
    default:
        return err;
    }
}

int DbError::CodeForSqlite(int resultCode, int err) {
    switch (resultCode & 0xFF) {
    case SQLITE_FULL:
        return kDiskFull;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return kLocked;
    case SQLITE_IOERR:
        return err == ENOSPC || err == EFBIG || err == EDQUOT ? kDiskFull : kIoError;
    case SQLITE_READONLY:
    case SQLITE_PERM:
        return kPermissionDenied;
    case SQLITE_CANTOPEN:
        return err != 0 ? CodeForErrno(err) : kEngineFailure;
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
        return kNotALog;
    case SQLITE_CONSTRAINT:
        return resultCode == SQLITE_CONSTRAINT_NOTNULL ? kNullNotAllowed : kFieldTooSmall;
    default:
        return kEngineFailure;
    }
}

} // namespace qmx
