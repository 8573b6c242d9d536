#pragma once
// A field name typed into a dialog, as the bytes the database will hold.
#include "charset.h"

#include <QString>

#include <optional>
#include <string>

namespace quorvil {

// `name` as bytes of `set`; none when the set cannot hold one of its
// characters or the bytes pass a field name's most (a character of a
// multi-byte set takes two), with `problem` set to the message to show.
std::optional<std::string> FieldNameBytes(const QString& name, TCharset set, QString& problem);

}  // namespace quorvil
