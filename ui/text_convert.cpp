#include "text_convert.h"

#include "charset.h"

#include <QFile>

namespace quorvil {

namespace {

// The Western set without its tables: the most common case, cell by cell.
QString Cp1252ToQString(std::string_view bytes)
{
    QString text;
    text.reserve(qsizetype(bytes.size()));
    for (char c : bytes) {
        char32_t cp = Cp1252ToUnicode(static_cast<unsigned char>(c));
        text.append(QChar(char16_t(cp)));  // every code point of the set is in the BMP
    }
    return text;
}

}  // namespace

QString ToQString(std::string_view bytes, TCharset set)
{
    if (set == TCharset::Windows1252)
        return Cp1252ToQString(bytes);
    const std::u16string text = CharsetToUtf16(set, bytes);
    return QString::fromUtf16(text.data(), qsizetype(text.size()));
}

std::optional<std::string> FromQString(const QString& text, TCharset set, QString* refusal)
{
    TToCharset result = Utf16ToCharset(
        set, std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), size_t(text.size())));
    if (result.Whole())
        return std::move(result.Bytes);
    if (refusal)
        *refusal = QString::fromStdString(RefusalText(result, set));
    return std::nullopt;
}

QString PathToQString(const std::string& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}

std::string QStringToPath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

QString MessageText(const char* what)
{
    return QFile::decodeName(QByteArray(what));
}

}  // namespace quorvil
