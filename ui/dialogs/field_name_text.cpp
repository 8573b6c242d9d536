#include "field_name_text.h"

#include "field_types.h"
#include "text_convert.h"

namespace quorvil {

std::optional<std::string> FieldNameBytes(const QString& name, TCharset set, QString& problem)
{
    std::optional<std::string> bytes = FromQString(name, set, &problem);
    if (!bytes)
        return std::nullopt;
    if (bytes->size() <= size_t(kMaxFieldNameLength))
        return bytes;
    // The file cuts a longer name, perhaps through a character.
    problem = IsMultiByte(set)
                  ? FromUtf8("A name has at most %1 bytes; in %2 a character may take two.")
                        .arg(kMaxFieldNameLength)
                        .arg(QString::fromUtf8(CharsetCaption(set).data(), qsizetype(CharsetCaption(set).size())))
                  : FromUtf8("A name has at most %1 characters.").arg(kMaxFieldNameLength);
    return std::nullopt;
}

}  // namespace quorvil
