#pragma once

#include <QByteArray>

namespace qmx {

// Page 0 of an Access-format file: the header of a blank Jet 4 database made by the
// database engine, with its creation date, which the catalog's owner identifiers belong to.
namespace JetHeader {

[[nodiscard]] QByteArray Page();

} // namespace JetHeader

} // namespace qmx
