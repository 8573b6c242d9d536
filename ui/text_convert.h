#pragma once
// The one place where bytes become QString and back. Cell values, titles,
// field names and popup values are bytes of the database's character set
// (TJFILE::Charset); file names are in the file system's own encoding.
#include <QString>

#include "charset.h"

#include <optional>
#include <string>
#include <string_view>

namespace quorvil {

// Bytes of `set` as text; every byte survives the round trip.
QString ToQString(std::string_view bytes, TCharset set);
// Text as bytes of `set`; none when the set lacks one of its characters (or
// the text is broken), with `refusal`, when given, set to the message that
// names the character (RefusalText). Never a replacement character.
std::optional<std::string> FromQString(const QString& text, TCharset set, QString* refusal = nullptr);

// A file name as the file system stores it, and back.
QString PathToQString(const std::string& path);
std::string QStringToPath(const QString& path);

// The message of an exception: ASCII text, perhaps with a file name in the
// file system's encoding.
QString MessageText(const char* what);

// A literal of our own sources (UTF-8) as text, for captions and messages.
inline QString FromUtf8(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

}  // namespace quorvil
