#pragma once
// Icons by their freedesktop names: the desktop's icon theme first, then the
// bundled theme, then a picture of our own, then the style's own picture.
// The views and split have no freedesktop name: their "quorvil-" names are
// drawn here whatever the theme.
#include <QIcon>
#include <QStringList>
#include <QStyle>

namespace quorvil {

// `names` are tried in order in the themes; `fallback` is the style's
// picture used when neither a theme nor our own set has one.
QIcon NamedIcon(const QStringList& names, QStyle::StandardPixmap fallback);

// The pictures of our own, by the name a theme would give them; a null
// icon for a name we do not draw.
QIcon DrawnIcon(const QString& name);

}  // namespace quorvil
